// The generated test title: every manifest entry is there and reads back with
// readers written from the documented file layouts.
#include "CMetaInfo.h"
#include "PngFile.h"
#include "TitleManifest.h"

#include <gtest/gtest.h>
#include <json/json.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace TovraneTools;

namespace
{
const std::string title = std::string(TOVRANE_TITLE_DIR) + "/";

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A cursor over little-endian bytes that refuses to read past the end.
struct Reader
{
    std::string bytes;
    size_t at = 0;
    bool failed = false;

    bool more() const { return !failed && at < bytes.size(); }
    std::int32_t int32()
    {
        std::uint32_t value = 0;
        failed = failed || at + 4 > bytes.size();
        for (int i = 0; i < 4 && !failed; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at++])) << (8 * i);
        return static_cast<std::int32_t>(value);
    }
    std::string text() // a length byte, then the characters
    {
        failed = failed || at >= bytes.size() || at + 1 + static_cast<unsigned char>(bytes[at]) > bytes.size();
        if (failed)
            return std::string();
        const size_t length = static_cast<unsigned char>(bytes[at]);
        at += 1 + length;
        return bytes.substr(at - length, length);
    }
};

// Sheet coordinates are 16.16 fixed point; the generator writes whole pixels.
struct Sprite
{
    std::string texture;
    std::int32_t flags, left, right, top, bottom, x, y;
};

// A sprite-sheet description: texture blocks to the end of the file. False on a cut file or a repeated name.
bool readTex(const std::string& path, std::map<std::string, Sprite>& sprites, std::vector<std::string>* textures = nullptr)
{
    Reader in{readBytes(path)};
    while (in.more())
    {
        const std::string texture = in.text();
        if (textures)
            textures->push_back(texture);
        for (std::int32_t i = 0, count = in.int32(); i < count && !in.failed; ++i)
        {
            const std::string name = in.text();
            Sprite s{texture, in.int32(), in.int32(), in.int32(), in.int32(), in.int32(), in.int32(), in.int32()};
            if (!sprites.emplace(name, s).second)
                return false;
        }
    }
    return !in.failed;
}

struct Animation
{
    std::string folder, name;
    std::int32_t frames;
};

// A character description: character records to the end of the file.
bool readChr(const std::string& path, std::map<std::string, std::vector<Animation>>& characters)
{
    Reader in{readBytes(path)};
    while (in.more())
    {
        std::vector<Animation>& animations = characters[in.text()];
        for (std::int32_t i = 0, count = in.int32(); i < count && !in.failed; ++i)
        {
            Animation a;
            a.folder = in.text();
            a.name = in.text();
            a.frames = in.int32();
            animations.push_back(a);
        }
    }
    return !in.failed;
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

class TitleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(manifest.load(TOVRANE_TITLE_MANIFEST)); }
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
    std::map<std::string, Sprite> shared;
    ASSERT_TRUE(readTex(title + "metadata/shared.tex", shared));
    EXPECT_TRUE(shared.count("shared/loading.png") && shared.count("shared/badge_pop_up.png"));
    std::map<std::string, std::vector<Animation>> characters;
    ASSERT_TRUE(readChr(title + "metadata/plumo.chr", characters));
    std::set<std::string> animations;
    for (const Animation& a : characters["logo"])
        animations.insert(a.name);
    EXPECT_EQ((std::set<std::string>{"off", "on"}), animations);
}

TEST_F(TitleTest, SheetsPlaceEverySpriteAndCharactersNameFramesThatMove)
{
    for (const SheetEntry& sheet : manifest.sheets)
    {
        SCOPED_TRACE(sheet.scene);
        std::map<std::string, Sprite> sprites;
        std::vector<std::string> textures;
        ASSERT_TRUE(readTex(title + "metadata/" + sheet.scene + ".tex", sprites, &textures));
        EXPECT_EQ(sheet.sprites.size(), sprites.size());
        std::map<std::string, Picture> pages;
        for (const std::string& texture : textures)
        {
            ASSERT_TRUE(readPng(title + "images/" + texture, pages[texture])) << texture;
            EXPECT_TRUE(pages[texture].width() == 512 && pages[texture].height() == 512);
        }
        for (const SpriteEntry& entry : sheet.sprites)
        {
            ASSERT_TRUE(sprites.count(entry.name)) << entry.name;
            const Sprite& s = sprites[entry.name];
            for (std::int32_t edge : {s.left, s.right, s.top, s.bottom, s.x, s.y})
                EXPECT_EQ(0, edge % 65536) << entry.name;
            const int left = s.left / 65536, right = s.right / 65536, top = s.top / 65536, bottom = s.bottom / 65536;
            EXPECT_TRUE(left >= 0 && top >= 0 && right <= 512 && bottom <= 512) << entry.name;
            // A rotated sprite is stored turned: its width runs down the sheet.
            const bool rotated = (s.flags & 1) != 0;
            EXPECT_EQ(entry.rotated, rotated);
            EXPECT_EQ(rotated ? entry.look.height : entry.look.width, right - left) << entry.name;
            EXPECT_EQ(rotated ? entry.look.width : entry.look.height, bottom - top) << entry.name;
            EXPECT_EQ(entry.x * 65536, s.x);
            EXPECT_EQ(entry.y * 65536, s.y);
            EXPECT_TRUE(hasInk(pages[s.texture], left, top, right - left, bottom - top)) << entry.name;
        }
        for (auto a = sprites.begin(); a != sprites.end(); ++a) // no two sprites of a page overlap
            for (auto b = std::next(a); b != sprites.end(); ++b)
                EXPECT_TRUE(a->second.texture != b->second.texture || a->second.right <= b->second.left ||
                            b->second.right <= a->second.left || a->second.bottom <= b->second.top ||
                            b->second.bottom <= a->second.top)
                    << a->first << " and " << b->first;
        if (sheet.characters.empty())
            continue;

        // Every frame of every animation is a sprite of the sheet, and no frame looks like the one before.
        std::map<std::string, std::vector<Animation>> characters;
        ASSERT_TRUE(readChr(title + "metadata/" + sheet.scene + ".chr", characters));
        EXPECT_EQ(sheet.characters.size(), characters.size());
        for (const auto& character : characters)
            for (const Animation& animation : character.second)
            {
                EXPECT_GE(animation.frames, 2) << "a few frames per animation";
                EXPECT_FALSE(sprites.count(frameName(animation.folder, character.first, animation.name, animation.frames + 1)));
                std::vector<std::uint8_t> before;
                for (int n = 1; n <= animation.frames; ++n)
                {
                    const std::string name = frameName(animation.folder, character.first, animation.name, n);
                    ASSERT_TRUE(sprites.count(name)) << name;
                    const Sprite& s = sprites[name];
                    Picture frame(s.right / 65536 - s.left / 65536, s.bottom / 65536 - s.top / 65536);
                    frame.paste(pages[s.texture], -s.left / 65536, -s.top / 65536);
                    EXPECT_NE(before, frame.bytes()) << name;
                    before = frame.bytes();
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
        ASSERT_TRUE(readPng(title + "images/" + entry.name, picture)) << entry.name;
        EXPECT_TRUE(entry.look.width == picture.width() && entry.look.height == picture.height()) << entry.name;
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
    std::map<std::string, Sprite> sprites;
    ASSERT_TRUE(readTex(title + "metadata/color_masks.tex", sprites));
    for (const char* name : {"color_masks/mask_small_toolbar.png", "color_masks/mask_medium_toolbar.png",
                             "color_masks/mask_large_toolbar.png"})
    {
        ASSERT_TRUE(sprites.count(name)) << name;
        const Sprite& s = sprites[name];
        Picture page;
        ASSERT_TRUE(readPng(title + "images/" + s.texture, page));
        std::map<std::string, int> kinds;
        for (int y = s.top / 65536; y < s.bottom / 65536; ++y)
            for (int x = s.left / 65536; x < s.right / 65536; ++x)
            {
                const Colour c = page.get(x, y);
                ++kinds[c.a == 0 ? "clear" : (c.a == 255 && c.r == 0 && c.g == 0 && c.b == 0) ? "black"
                                           : (c.a == 255 && c.r == 240 && c.g == 240 && c.b == 240) ? "rim" : "other"];
            }
        EXPECT_TRUE(kinds["black"] > kinds["rim"] && kinds["rim"] > 0 && kinds["other"] == 0) << name;
    }
}

TEST(TitleGeneratorTest, SameManifestSameBytes)
{
    const std::string folder = std::string(TOVRANE_BINARY_DIR) + "/title-gen-test";
    std::system(("rm -rf " + folder).c_str());
    for (const char* out : {"/a", "/b"})
        ASSERT_EQ(0, std::system((std::string(TOVRANE_TITLE_GENERATOR) + " " + TOVRANE_TITLE_MANIFEST + " " + folder +
                                  out + " > /dev/null").c_str()));
    EXPECT_EQ(0, std::system(("diff -r " + folder + "/a " + folder + "/b > /dev/null").c_str()))
        << "the title must be reproducible";
}

TEST(TitleGeneratorTest, BrokenLinesAreReportedAndTheRestIsWritten)
{
    const std::string folder = std::string(TOVRANE_BINARY_DIR) + "/title-gen-broken";
    std::system(("rm -rf " + folder + " && mkdir -p " + folder).c_str());
    std::ofstream(folder + "/manifest.txt") << "picture ok.png size=10x10\n"
                                               "picture ok.png size=10x10\n"
                                               "picture big.png size=900x10\n"
                                               "sprite early.png size=4x4\n"
                                               "sound s.ogg\n"
                                               "json bad.json {\"type\": \n"
                                               "teapot t\n"
                                               "sheet scene\n"
                                               "sprite turned.png size=30x10 rotated at=5,6\n"
                                               "movie flash/M.swf\n"
                                               "picture wheel.png size=160x160 shape=wheel\n"
                                               "sheet other\n"
                                               "sheet scene\n"
                                               "sprite tall.png size=20x60\n";
    EXPECT_NE(0, std::system((std::string(TOVRANE_TITLE_GENERATOR) + " " + folder + "/manifest.txt " + folder +
                              "/title > " + folder + "/output.txt").c_str()));
    const std::string messages = readBytes(folder + "/output.txt");
    for (const char* expected : {"manifest.txt:2: images/ok.png is listed twice", "manifest.txt:3:",
                                 "manifest.txt:4: sprite early.png comes before any sheet", "manifest.txt:5:",
                                 "manifest.txt:6:", "manifest.txt:7: unknown kind \"teapot\""})
        EXPECT_NE(std::string::npos, messages.find(expected)) << expected << " in\n" << messages;

    Picture ok;
    EXPECT_TRUE(readPng(folder + "/title/images/ok.png", ok));
    std::map<std::string, Sprite> sprites;
    ASSERT_TRUE(readTex(folder + "/title/metadata/scene.tex", sprites));
    ASSERT_TRUE(sprites.count("turned.png"));
    const Sprite& turned = sprites["turned.png"];
    EXPECT_EQ(1, turned.flags);
    EXPECT_EQ(10 * 65536, turned.right - turned.left);
    EXPECT_EQ(30 * 65536, turned.bottom - turned.top);
    EXPECT_EQ(5 * 65536, turned.x);
    EXPECT_EQ(6 * 65536, turned.y);
    EXPECT_EQ(0, ::access((folder + "/title/flash/M.swf").c_str(), R_OK));
    // A sheet named again takes more sprites, placed after the earlier ones.
    EXPECT_TRUE(turned.left == 0 && turned.top == 0 && sprites.count("tall.png") && sprites["tall.png"].left > 0);
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
