// The generated test title: every manifest entry is there and the engine's
// own sprite and scene managers read it as the manifest says.
#include "Tovrane/Character.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/SceneManager.h"
#include "Tovrane/Texture.h"
#include "Tovrane/VertexBuffer.h"

#include "CMetaInfo.h"
#include "CSystemData.h"
#include "PngFile.h"
#include "TitleFiles.h"
#include "TitleManifest.h"

#include <gtest/gtest.h>
#include <json/json.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace TovraneTools;

namespace
{
const std::string title = std::string(TOVRANE_BINARY_DIR) + "/title/";

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A sprite as the manager builds it: its rectangle on the sheet in pixels,
// its displayed size and the placement of its lower-left corner.
struct Placed
{
    Tovrane::TexturePtr sheet;
    int left = 0, right = 0, top = 0, bottom = 0, width = 0, height = 0, x = 0, y = 0;
    bool rotated = false;
};

Placed place(Tovrane::SpriteManager& manager, const std::string& name)
{
    Placed p;
    Tovrane::GeometryPtr quad = manager.getSprite(name, Tovrane::PixelFormat::RGBA8888);
    p.sheet = quad->getTexture();
    if (!p.sheet)
        return p;
    const tFixed* c = quad->vertexBuffer->getTextureCoordinates();
    const tFixed* v = quad->vertexBuffer->getPositions();
    auto pixels = [](tFixed a, tFixed b, bool high) {
        return static_cast<int>(std::lround((high ? std::max(a, b) : std::min(a, b)).toFloat() * 512));
    };
    p.left = pixels(c[0], c[6], false);
    p.right = pixels(c[0], c[6], true);
    p.top = pixels(c[1], c[7], false);
    p.bottom = pixels(c[1], c[7], true);
    // A turned sprite's first two corners share the sheet's right edge.
    p.rotated = c[0] == c[2] && c[1] != c[3];
    p.width = (v[3] * tFixed(2)).toInt();
    p.height = (v[1] * tFixed(2)).toInt();
    p.x = (quad->getPosition().x - v[3]).toInt();
    p.y = (quad->getPosition().y - v[1]).toInt();
    return p;
}

// The sheet's pixels in the sprite's rectangle.
std::vector<Tovrane::ColorRGBA<unsigned char>> pixelsOf(const Placed& p)
{
    std::vector<Tovrane::ColorRGBA<unsigned char>> pixels;
    for (int y = p.top; y < p.bottom; ++y)
        for (int x = p.left; x < p.right; ++x)
            pixels.push_back(p.sheet->getPixel(x, y));
    return pixels;
}

std::string frameName(const std::string& folder, const std::string& character, const std::string& animation, int n)
{
    char number[16];
    std::snprintf(number, sizeof(number), "%03d", n);
    return folder + "/" + character + "_" + animation + "_" + number + ".png";
}

bool hasInk(const Picture& picture, int x, int y, int w, int h)
{
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px)
            if (picture.get(px, py).a != 0)
                return true;
    return false;
}

// A folder of this process's own, removed when the process ends.
std::string scratch(const std::string& name)
{
    static std::vector<std::string> made;
    static const struct Cleaner
    {
        ~Cleaner()
        {
            for (const std::string& folder : made)
                std::filesystem::remove_all(folder);
        }
    } cleaner;
    made.push_back(std::string(TOVRANE_BINARY_DIR) + "/" + name + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(made.back());
    return made.back();
}

class TitleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(manifest.load(TOVRANE_TITLE_MANIFEST));
        CSystemData::Config config;
        config.titlePath = title;
        CSystemData::Configure(config);
    }
    static TitleManifest manifest;
};

TitleManifest TitleTest::manifest;
}

TEST_F(TitleTest, EveryManifestEntryAndWhatTheGameLoadsIsInTheTitle)
{
    const std::string stamp = readBytes(title + ".generated");
    const std::vector<std::string> listed = manifest.files();
    for (const std::string& file : listed)
    {
        EXPECT_EQ(0, ::access((title + file).c_str(), R_OK)) << file;
        EXPECT_NE(std::string::npos, stamp.find(file + "\n")) << file;
    }
    // What the first screens load, by the names the code uses.
    const std::set<std::string> files(listed.begin(), listed.end());
    for (const char* name : {"metadata/shared.tex", "metadata/plumo.tex", "metadata/plumo.chr", "fonts/DadUzo.png",
                             "audio/h_KROM_WrongAnswerSfx_6.ogg", "audio/h_KROM_DeadClickSfx_6.ogg",
                             "audio/h_KROM_CorrectAnswerSfx_6.ogg", "audio/h_KROM_AchievementNtfctnSfx_6.ogg",
                             "audio/h_KROM_LimitSfx_6.ogg", "audio/h_SX_DeveloperLogoSfx_6.ogg",
                             "coloring_book/download.json"})
        EXPECT_TRUE(files.count(name)) << name;
    Tovrane::SceneManager manager;
    manager.addSceneInfo("shared");
    manager.addSceneInfo("plumo");
    EXPECT_TRUE(place(manager, "shared/loading.png").sheet && place(manager, "shared/badge_pop_up.png").sheet);
    Tovrane::CharacterPtr logo = manager.getCharacter("logo");
    ASSERT_TRUE(logo);
    EXPECT_TRUE(logo->hasAnimation("on") && logo->hasAnimation("off"));
    EXPECT_EQ(2u, manager.getCharacterInfo().at("logo").animations.size());
}

TEST_F(TitleTest, SheetsPlaceEverySpriteAndCharactersNameFramesThatMove)
{
    for (const SheetEntry& sheet : manifest.sheets)
    {
        SCOPED_TRACE(sheet.scene);
        Tovrane::SceneManager manager;
        manager.addSceneInfo(sheet.scene);
        std::vector<std::pair<std::string, Placed>> placed;
        for (const SpriteEntry& entry : sheet.sprites)
        {
            const Placed s = place(manager, entry.name);
            ASSERT_TRUE(s.sheet) << entry.name;
            EXPECT_TRUE(s.sheet->getWidth() == 512 && s.sheet->getHeight() == 512);
            EXPECT_TRUE(s.left >= 0 && s.top >= 0 && s.right <= 512 && s.bottom <= 512) << entry.name;
            // A rotated sprite is stored turned: its width runs down the sheet.
            EXPECT_EQ(entry.rotated, s.rotated) << entry.name;
            EXPECT_EQ(entry.rotated ? entry.look.height : entry.look.width, s.right - s.left) << entry.name;
            EXPECT_EQ(entry.rotated ? entry.look.width : entry.look.height, s.bottom - s.top) << entry.name;
            EXPECT_TRUE(s.width == entry.look.width && s.height == entry.look.height) << entry.name;
            EXPECT_TRUE(s.x == entry.x && s.y == entry.y) << entry.name;
            const auto pixels = pixelsOf(s);
            EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](const auto& c) { return c.a != 0; }))
                << entry.name;
            placed.emplace_back(entry.name, s);
        }
        for (auto a = placed.begin(); a != placed.end(); ++a) // no two sprites of a page overlap
            for (auto b = std::next(a); b != placed.end(); ++b)
                EXPECT_TRUE(a->second.sheet != b->second.sheet || a->second.right <= b->second.left ||
                            b->second.right <= a->second.left || a->second.bottom <= b->second.top ||
                            b->second.bottom <= a->second.top)
                    << a->first << " and " << b->first;

        // Every frame of every animation is a sprite of the sheet, and no frame looks like the one before.
        EXPECT_EQ(sheet.characters.size(), manager.getCharacterInfo().size());
        for (const auto& character : manager.getCharacterInfo())
            for (const auto& animation : character.second.animations)
            {
                EXPECT_GE(animation.frameCount, 2) << "a few frames per animation";
                std::vector<Tovrane::ColorRGBA<unsigned char>> before;
                for (int n = 1; n <= animation.frameCount; ++n)
                {
                    const std::string name = frameName(animation.directory, character.first, animation.name, n);
                    const Placed frame = place(manager, name);
                    ASSERT_TRUE(frame.sheet) << name;
                    EXPECT_NE(before, pixelsOf(frame)) << name;
                    before = pixelsOf(frame);
                }
            }
    }
}

TEST_F(TitleTest, DadUzoAtlasHasInkInEveryGlyphAndNowhereElse)
{
    ASSERT_FALSE(manifest.fonts.empty());
    Picture atlas;
    ASSERT_TRUE(readPng(title + manifest.fonts[0], atlas));
    const int cells[][4] = {{0, 0, 10, 11}, {10, 0, 10, 11}, {20, 0, 10, 11}, {30, 0, 10, 11}, {40, 0, 9, 11},
        {49, 0, 8, 11}, {0, 11, 9, 11}, {9, 11, 10, 11}, {19, 11, 4, 11}, {23, 11, 10, 11}, {33, 11, 10, 11},
        {43, 11, 8, 11}, {51, 11, 12, 11}, {0, 22, 10, 11}, {10, 22, 11, 12}, {21, 22, 9, 12}, {30, 22, 11, 14},
        {41, 22, 10, 11}, {51, 22, 10, 11}, {0, 36, 9, 11}, {9, 36, 10, 11}, {19, 36, 10, 11}, {29, 36, 12, 11},
        {41, 36, 10, 11}, {51, 36, 10, 11}, {0, 47, 10, 11}, {9, 47, 4, 11}, {13, 47, 6, 11}};
    Picture covered(atlas.width(), atlas.height());
    for (const auto& c : cells)
    {
        EXPECT_TRUE(hasInk(atlas, c[0], c[1], c[2], c[3])) << c[0] << "," << c[1];
        covered.fillRect(c[0], c[1], c[2], c[3], Colour{1, 1, 1, 1});
    }
    // Ink only inside glyph cells: a copy of a cell never picks up a neighbour.
    for (int y = 0; y < atlas.height(); ++y)
        for (int x = 0; x < atlas.width(); ++x)
            EXPECT_TRUE(atlas.get(x, y).a == 0 || covered.get(x, y).a != 0) << x << "," << y;
}

TEST_F(TitleTest, PicturesSoundsAndTextFilesRead)
{
    for (const PictureEntry& entry : manifest.pictures)
    {
        Picture picture;
        ASSERT_TRUE(readPng(title + entry.folder + entry.name, picture)) << entry.name;
        EXPECT_TRUE(entry.look.width == picture.width() && entry.look.height == picture.height()) << entry.name;
        // The colour type byte of the header: 3 palette, 2 RGB, 6 RGBA.
        EXPECT_EQ(entry.palette ? 3 : entry.rgb ? 2 : 6, readBytes(title + entry.folder + entry.name).at(25))
            << entry.name;
    }

    ASSERT_FALSE(manifest.sounds.empty());
    for (const SoundEntry& sound : manifest.sounds)
    {
        SCOPED_TRACE(sound.name);
        OggVorbis_File file;
        ASSERT_EQ(0, ov_fopen((title + "audio/" + sound.name).c_str(), &file));
        EXPECT_NEAR(sound.seconds, ov_time_total(&file, -1), 0.01);
        float** pcm = nullptr;
        int section = 0;
        float peak = 0.0f;
        for (long read; (read = ov_read_float(&file, &pcm, 1024, &section)) > 0;)
            for (long i = 0; i < read; ++i)
                peak = std::max(peak, std::abs(pcm[0][i]));
        ov_clear(&file);
        EXPECT_TRUE(sound.silent ? peak < 0.01f : peak > 0.1f) << "a tone is audible, silence silent: " << peak;
    }

    for (const TextEntry& entry : manifest.jsonFiles)
    {
        std::ifstream in(title + entry.name);
        Json::Value root;
        std::string errors;
        ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &root, &errors)) << entry.name << ": " << errors;
        if (entry.name.size() < 13 || entry.name.compare(entry.name.size() - 13, 13, "download.json") != 0)
            continue;
        static const std::set<std::string> types = {"Frame", "Stamp", "Frandel", "ColoringBook", "Task"};
        EXPECT_TRUE(types.count(root["type"].asString())) << entry.name;
        EXPECT_TRUE(root["type"].asString() != "ColoringBook" || root["pageCount"].asInt() > 0) << entry.name;
    }
    // The platform's reader finds the title's meta information where it looks.
    ASSERT_EQ(1u, manifest.metaFiles.size());
    EXPECT_EQ(std::string(XQM::CMetaInfo::FileName), manifest.metaFiles[0].name);
    XQM::CMetaInfo meta(title);
    EXPECT_EQ(62014ul, meta.GetProductId());
    EXPECT_EQ("PN-62014-0001", meta.GetPartNumber().raw());
    EXPECT_EQ("1.0.0", meta.GetPackageVersion().raw());
}

// The colour screen tints exact black; the light rim and nothing else stays.
TEST_F(TitleTest, ColourMasksAreExactBlackWithALightRim)
{
    Tovrane::SpriteManager manager;
    manager.addSpriteInfo("color_masks.tex");
    for (const char* name : {"color_masks/mask_small_toolbar.png", "color_masks/mask_medium_toolbar.png",
                             "color_masks/mask_large_toolbar.png"})
    {
        int black = 0, rim = 0, other = 0;
        for (const Tovrane::ColorRGBA<unsigned char>& c : pixelsOf(place(manager, name)))
            (c == Tovrane::ColorRGBA<unsigned char>(0, 0, 0, 255)           ? black
             : c == Tovrane::ColorRGBA<unsigned char>(240, 240, 240, 255) ? rim
                                                                            : other) += c.a != 0;
        EXPECT_TRUE(black > rim && rim > 0 && other == 0) << name;
    }
}

// The game writes its text on the badge pop-up: the picture is one colour.
TEST_F(TitleTest, TheBadgePopUpCarriesNoTextOfItsOwn)
{
    Tovrane::SpriteManager manager;
    manager.addSpriteInfo("shared.tex");
    std::set<std::vector<unsigned char>> colours;
    for (const Tovrane::ColorRGBA<unsigned char>& c : pixelsOf(place(manager, "shared/badge_pop_up.png")))
        if (c.a != 0)
            colours.insert({c.r, c.g, c.b, c.a});
    EXPECT_EQ(1u, colours.size());
}

// Placeholder labels: the file's name without folders, extension and button
// state, or the manifest's own ("_" drawn as a space; empty: none).
TEST(TitlePlaceholderTest, LabelsAreReadableNamesUnlessTheManifestGivesOne)
{
    for (const auto& name : {std::make_pair("menu_slot/slot_arrow_left_down.png", "slot arrow left"),
             std::make_pair("file_dialog/close_up.png", "close"), std::make_pair("a/b/c.d.png", "c.d"),
             std::make_pair("pickup.png", "pickup"), std::make_pair("_up.png", " up"), std::make_pair("no_dot", "no dot")})
        EXPECT_EQ(name.second, readableName(name.first)) << name.first;
    TitleManifest manifest;
    ASSERT_TRUE(manifest.parse("sheet s\nsprite a/b_up.png size=8x8\nsprite c.png size=8x8 label=\n"
                               "picture d/e_f.png size=8x8\npicture g.png size=8x8 label=HI_THERE\n",
        "labels.txt"));
    ASSERT_TRUE(manifest.sheets.at(0).sprites.size() == 2 && manifest.pictures.size() == 2);
    EXPECT_EQ("b", manifest.sheets[0].sprites[0].label);
    EXPECT_EQ("", manifest.sheets[0].sprites[1].label);
    EXPECT_EQ("e f", manifest.pictures[0].label);
    EXPECT_EQ("HI_THERE", manifest.pictures[1].label);
    Look look;
    look.width = 40;
    look.height = 12;
    look.shape = "rect";
    EXPECT_EQ(drawPlaceholder(look, "HI THERE").bytes(), drawPlaceholder(look, "HI_THERE").bytes());
    EXPECT_EQ(Picture(40, 12, look.colour).bytes(), drawPlaceholder(look, "").bytes());
}

TEST(TitleGeneratorTest, SameManifestSameBytes)
{
    const std::string folder = scratch("title-gen-test");
    for (const char* out : {"/a", "/b"})
        ASSERT_EQ(0, std::system((std::string(TOVRANE_TITLE_GENERATOR) + " " + TOVRANE_TITLE_MANIFEST + " " + folder +
                                  out + " > /dev/null").c_str()));
    EXPECT_EQ(0, std::system(("diff -r " + folder + "/a " + folder + "/b > /dev/null").c_str()))
        << "the title must be reproducible";
}

TEST(TitleGeneratorTest, BrokenLinesAreReportedAndTheRestIsWritten)
{
    const std::string folder = scratch("title-gen-broken");
    std::ofstream(folder + "/manifest.txt") << "picture ok.png size=10x10\n"
                                               "picture ok.png size=10x10\n"
                                               "picture big.png size=2000x2000\n"
                                               "sprite early.png size=4x4\n"
                                               "sound s.ogg\n"
                                               "json bad.json {\"type\": \n"
                                               "teapot t\n"
                                               "sheet scene\n"
                                               "sprite turned.png size=30x10 rotated at=5,6\n"
                                               "movie flash/M.swf\n"
                                               "mask m.png size=8x8 grain=0\n"
                                               "palette p.png size=8x8 design=plaid\n"
                                               "picture wheel.png size=160x160 shape=wheel\n"
                                               "sheet other\n"
                                               "sheet scene\n"
                                               "sprite tall.png size=20x60\n";
    EXPECT_NE(0, std::system((std::string(TOVRANE_TITLE_GENERATOR) + " " + folder + "/manifest.txt " + folder +
                              "/title > " + folder + "/output.txt").c_str()));
    const std::string messages = readBytes(folder + "/output.txt");
    for (const char* expected : {"manifest.txt:2: images/ok.png is listed twice", "manifest.txt:3:",
                                 "manifest.txt:4: sprite early.png comes before any sheet", "manifest.txt:5:",
                                 "manifest.txt:6:", "manifest.txt:7: unknown kind \"teapot\"",
                                 "manifest.txt:11: m.png: grain must be", "manifest.txt:12: p.png: design must be one of"})
        EXPECT_NE(std::string::npos, messages.find(expected)) << expected << " in\n" << messages;

    Picture ok;
    EXPECT_TRUE(readPng(folder + "/title/images/ok.png", ok));
    Tovrane::SpriteManager manager;
    manager.addMetadataPath(folder + "/title/metadata/");
    manager.addTexturePath(folder + "/title/images/");
    manager.addSpriteInfo("scene.tex");
    const Placed turned = place(manager, "turned.png");
    EXPECT_TRUE(turned.rotated);
    EXPECT_TRUE(turned.width == 30 && turned.height == 10 && turned.x == 5 && turned.y == 6);
    EXPECT_TRUE(turned.right - turned.left == 10 && turned.bottom - turned.top == 30);
    EXPECT_EQ(0, ::access((folder + "/title/flash/M.swf").c_str(), R_OK));
    // A sheet named again takes more sprites, placed after the earlier ones.
    EXPECT_TRUE(turned.left == 0 && turned.top == 0 && place(manager, "tall.png").left > 0);
    // The colour wheel by its rule: empty middle, dark below, light above, green to the right, red lower left.
    Picture wheel;
    ASSERT_TRUE(readPng(folder + "/title/images/wheel.png", wheel));
    const Colour expected[] = {{0, 0, 0, 0}, {64, 64, 64, 255}, {255, 255, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}};
    const int at[][2] = {{80, 80}, {80, 108}, {80, 52}, {130, 80}, {40, 110}};
    for (int i = 0; i < 5; ++i)
    {
        const Colour c = wheel.get(at[i][0], at[i][1]);
        EXPECT_EQ(0, std::memcmp(&expected[i], &c, 4)) << i;
    }
}
