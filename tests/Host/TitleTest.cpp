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
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
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
    const std::string& bytes;
    size_t at = 0;
    bool failed = false;

    bool atEnd() const { return at >= bytes.size(); }
    std::int32_t int32()
    {
        if (at + 4 > bytes.size())
        {
            failed = true;
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
        at += 4;
        return static_cast<std::int32_t>(value);
    }
    std::string text()
    {
        if (at >= bytes.size())
        {
            failed = true;
            return std::string();
        }
        size_t length = static_cast<unsigned char>(bytes[at++]);
        if (at + length > bytes.size())
        {
            failed = true;
            return std::string();
        }
        std::string value = bytes.substr(at, length);
        at += length;
        return value;
    }
};

struct Sprite
{
    std::string texture;
    std::int32_t flags, left, right, top, bottom, x, y;
};

// Sprite-sheet description: texture blocks to the end of the file.
bool readTex(const std::string& path, std::map<std::string, Sprite>& sprites, std::vector<std::string>& textures)
{
    std::string bytes = readBytes(path);
    Reader in{bytes};
    while (!in.atEnd())
    {
        std::string texture = in.text();
        std::int32_t count = in.int32();
        textures.push_back(texture);
        for (std::int32_t i = 0; i < count && !in.failed; ++i)
        {
            std::string name = in.text();
            Sprite s;
            s.texture = texture;
            s.flags = in.int32();
            s.left = in.int32();
            s.right = in.int32();
            s.top = in.int32();
            s.bottom = in.int32();
            s.x = in.int32();
            s.y = in.int32();
            if (!sprites.emplace(name, s).second)
                return false;  // the generator never repeats a name
        }
        if (in.failed)
            return false;
    }
    return true;
}

struct Animation
{
    std::string folder, name;
    std::int32_t frames;
};

// Character description: character records to the end of the file.
bool readChr(const std::string& path, std::map<std::string, std::vector<Animation>>& characters)
{
    std::string bytes = readBytes(path);
    Reader in{bytes};
    while (!in.atEnd())
    {
        std::string name = in.text();
        std::int32_t count = in.int32();
        std::vector<Animation> animations;
        for (std::int32_t i = 0; i < count && !in.failed; ++i)
        {
            Animation a;
            a.folder = in.text();
            a.name = in.text();
            a.frames = in.int32();
            animations.push_back(a);
        }
        if (in.failed)
            return false;
        characters[name] = animations;
    }
    return true;
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
    static void SetUpTestSuite()
    {
        manifest = new TitleManifest;
        ASSERT_TRUE(manifest->load(TOVRANE_TITLE_MANIFEST));
    }
    static void TearDownTestSuite()
    {
        delete manifest;
        manifest = nullptr;
    }
    static TitleManifest* manifest;
};

TitleManifest* TitleTest::manifest = nullptr;
}

TEST_F(TitleTest, EveryManifestEntryIsInTheTitle)
{
    std::string stamp = readBytes(title + ".generated");
    for (const std::string& file : manifest->files())
    {
        EXPECT_EQ(0, ::access((title + file).c_str(), R_OK)) << file;
        EXPECT_NE(std::string::npos, stamp.find(file + "\n")) << file;
    }
}

TEST_F(TitleTest, TheGameStartsWithWhatItLoads)
{
    // What the first screens load, by the names the code uses.
    std::vector<std::string> listed = manifest->files();
    std::set<std::string> files(listed.begin(), listed.end());
    for (const char* name : {"metadata/shared.tex", "metadata/plumo.tex", "metadata/plumo.chr", "fonts/DadUzo.png",
             "audio/h_KROM_WrongAnswerSfx_6.ogg", "audio/h_KROM_DeadClickSfx_6.ogg",
             "audio/h_KROM_CorrectAnswerSfx_6.ogg", "audio/h_KROM_AchievementNtfctnSfx_6.ogg",
             "audio/h_KROM_LimitSfx_6.ogg", "audio/h_SX_DeveloperLogoSfx_6.ogg", "coloring_book/download.json"})
        EXPECT_TRUE(files.count(name)) << name;
    std::map<std::string, Sprite> sprites;
    std::vector<std::string> textures;
    ASSERT_TRUE(readTex(title + "metadata/shared.tex", sprites, textures));
    EXPECT_TRUE(sprites.count("shared/loading.png"));
    EXPECT_TRUE(sprites.count("shared/badge_pop_up.png"));
    std::map<std::string, std::vector<Animation>> characters;
    ASSERT_TRUE(readChr(title + "metadata/plumo.chr", characters));
    ASSERT_TRUE(characters.count("logo"));
    std::set<std::string> animations;
    for (const Animation& a : characters["logo"])
        animations.insert(a.name);
    EXPECT_TRUE(animations.count("on"));
    EXPECT_TRUE(animations.count("off"));
}

TEST_F(TitleTest, SheetsDescribeWhereEverySpriteIs)
{
    for (const SheetEntry& sheet : manifest->sheets)
    {
        SCOPED_TRACE(sheet.scene);
        std::map<std::string, Sprite> sprites;
        std::vector<std::string> textures;
        ASSERT_TRUE(readTex(title + "metadata/" + sheet.scene + ".tex", sprites, textures));
        EXPECT_EQ(sheet.sprites.size(), sprites.size());

        std::map<std::string, Picture> pages;
        for (const std::string& texture : textures)
        {
            ASSERT_TRUE(readPng(title + "images/" + texture, pages[texture])) << texture;
            EXPECT_EQ(512, pages[texture].width());
            EXPECT_EQ(512, pages[texture].height());
        }
        for (const SpriteEntry& entry : sheet.sprites)
        {
            ASSERT_TRUE(sprites.count(entry.name)) << entry.name;
            const Sprite& s = sprites[entry.name];
            // Whole pixels, inside the 512 x 512 sheet.
            for (std::int32_t edge : {s.left, s.right, s.top, s.bottom, s.x, s.y})
                EXPECT_EQ(0, edge % 65536) << entry.name;
            int left = s.left / 65536, right = s.right / 65536, top = s.top / 65536, bottom = s.bottom / 65536;
            EXPECT_GE(left, 0);
            EXPECT_LE(right, 512);
            EXPECT_GE(top, 0);
            EXPECT_LE(bottom, 512);
            // A rotated sprite is stored turned: its width runs down the sheet.
            bool rotated = (s.flags & 1) != 0;
            EXPECT_EQ(entry.rotated, rotated);
            EXPECT_EQ(rotated ? entry.look.height : entry.look.width, right - left) << entry.name;
            EXPECT_EQ(rotated ? entry.look.width : entry.look.height, bottom - top) << entry.name;
            EXPECT_EQ(entry.x, s.x / 65536);
            EXPECT_EQ(entry.y, s.y / 65536);
            EXPECT_TRUE(hasInk(pages[s.texture], left, top, right - left, bottom - top)) << entry.name;
        }
        // No two sprites of a page overlap.
        for (auto a = sprites.begin(); a != sprites.end(); ++a)
            for (auto b = std::next(a); b != sprites.end(); ++b)
            {
                if (a->second.texture != b->second.texture)
                    continue;
                bool apart = a->second.right <= b->second.left || b->second.right <= a->second.left ||
                             a->second.bottom <= b->second.top || b->second.bottom <= a->second.top;
                EXPECT_TRUE(apart) << a->first << " and " << b->first;
            }
    }
}

TEST_F(TitleTest, CharactersNameFramesOfTheirSheet)
{
    for (const SheetEntry& sheet : manifest->sheets)
    {
        if (sheet.characters.empty())
            continue;
        std::map<std::string, Sprite> sprites;
        std::vector<std::string> textures;
        ASSERT_TRUE(readTex(title + "metadata/" + sheet.scene + ".tex", sprites, textures));
        std::map<std::string, std::vector<Animation>> characters;
        ASSERT_TRUE(readChr(title + "metadata/" + sheet.scene + ".chr", characters));
        EXPECT_EQ(sheet.characters.size(), characters.size());
        for (const auto& character : characters)
            for (const Animation& animation : character.second)
            {
                EXPECT_GE(animation.frames, 2) << "a few frames per animation";
                for (int n = 1; n <= animation.frames; ++n)
                    EXPECT_TRUE(sprites.count(frameName(animation.folder, character.first, animation.name, n)))
                        << frameName(animation.folder, character.first, animation.name, n);
                EXPECT_FALSE(
                    sprites.count(frameName(animation.folder, character.first, animation.name, animation.frames + 1)));
            }
    }
}

TEST_F(TitleTest, TheLogoVisiblyMoves)
{
    std::map<std::string, Sprite> sprites;
    std::vector<std::string> textures;
    ASSERT_TRUE(readTex(title + "metadata/plumo.tex", sprites, textures));
    std::map<std::string, Picture> pages;
    for (const std::string& texture : textures)
        ASSERT_TRUE(readPng(title + "images/" + texture, pages[texture]));
    for (const char* animation : {"on", "off"})
    {
        std::vector<std::vector<std::uint8_t>> frames;
        for (int n = 1; sprites.count(frameName("plumo", "logo", animation, n)); ++n)
        {
            const Sprite& s = sprites[frameName("plumo", "logo", animation, n)];
            Picture frame(s.right / 65536 - s.left / 65536, s.bottom / 65536 - s.top / 65536);
            for (int y = 0; y < frame.height(); ++y)
                for (int x = 0; x < frame.width(); ++x)
                    frame.set(x, y, pages[s.texture].get(s.left / 65536 + x, s.top / 65536 + y));
            frames.push_back(frame.bytes());
        }
        ASSERT_GE(frames.size(), 2u) << animation;
        for (size_t i = 1; i < frames.size(); ++i)
            EXPECT_NE(frames[i - 1], frames[i]) << animation << " frame " << i + 1 << " looks like the one before";
    }
}

TEST_F(TitleTest, DadUzoAtlasHasInkInEveryGlyph)
{
    ASSERT_FALSE(manifest->fonts.empty());
    Picture atlas;
    ASSERT_TRUE(readPng(title + manifest->fonts[0], atlas));
    struct Cell
    {
        int x, y, w, h;
    };
    const Cell cells[] = {{0, 0, 10, 11}, {10, 0, 10, 11}, {20, 0, 10, 11}, {30, 0, 10, 11}, {40, 0, 9, 11},
        {49, 0, 8, 11}, {0, 11, 9, 11}, {9, 11, 10, 11}, {19, 11, 4, 11}, {23, 11, 10, 11}, {33, 11, 10, 11},
        {43, 11, 8, 11}, {51, 11, 12, 11}, {0, 22, 10, 11}, {10, 22, 11, 12}, {21, 22, 9, 12}, {30, 22, 11, 14},
        {41, 22, 10, 11}, {51, 22, 10, 11}, {0, 36, 9, 11}, {9, 36, 10, 11}, {19, 36, 10, 11}, {29, 36, 12, 11},
        {41, 36, 10, 11}, {51, 36, 10, 11}, {0, 47, 10, 11}, {9, 47, 4, 11}, {13, 47, 6, 11}};
    Picture covered(atlas.width(), atlas.height());
    for (const Cell& c : cells)
    {
        EXPECT_TRUE(hasInk(atlas, c.x, c.y, c.w, c.h)) << c.x << "," << c.y;
        covered.fillRect(c.x, c.y, c.w, c.h, Colour{1, 1, 1, 1});
    }
    // Ink only inside glyph cells: a copy of a cell never picks up a neighbour.
    for (int y = 0; y < atlas.height(); ++y)
        for (int x = 0; x < atlas.width(); ++x)
            EXPECT_TRUE(atlas.get(x, y).a == 0 || covered.get(x, y).a != 0) << x << "," << y;
}

TEST_F(TitleTest, PicturesHaveTheirSizes)
{
    for (const PictureEntry& entry : manifest->pictures)
    {
        Picture picture;
        ASSERT_TRUE(readPng(title + "images/" + entry.name, picture)) << entry.name;
        EXPECT_EQ(entry.look.width, picture.width());
        EXPECT_EQ(entry.look.height, picture.height());
    }
}

TEST_F(TitleTest, SoundsDecodeWithTheirLengths)
{
    ASSERT_FALSE(manifest->sounds.empty());
    for (const SoundEntry& sound : manifest->sounds)
    {
        SCOPED_TRACE(sound.name);
        OggVorbis_File file;
        ASSERT_EQ(0, ov_fopen((title + "audio/" + sound.name).c_str(), &file));
        double seconds = ov_time_total(&file, -1);
        EXPECT_NEAR(sound.seconds, seconds, 0.01);
        // A tone is audible; silence is silent.
        float** pcm = nullptr;
        int section = 0;
        float peak = 0.0f;
        long read;
        while ((read = ov_read_float(&file, &pcm, 1024, &section)) > 0)
            for (long i = 0; i < read; ++i)
                peak = std::max(peak, std::abs(pcm[0][i]));
        ov_clear(&file);
        if (sound.silent)
        {
            EXPECT_LT(peak, 0.01f);
        }
        else
        {
            EXPECT_GT(peak, 0.1f);
        }
    }
}

TEST_F(TitleTest, JsonAndMetaFilesRead)
{
    for (const TextEntry& entry : manifest->jsonFiles)
    {
        std::ifstream in(title + entry.name);
        Json::Value root;
        Json::CharReaderBuilder builder;
        std::string errors;
        ASSERT_TRUE(Json::parseFromStream(builder, in, &root, &errors)) << entry.name << ": " << errors;
        if (entry.name.size() >= 13 && entry.name.compare(entry.name.size() - 13, 13, "download.json") == 0)
        {
            ASSERT_TRUE(root.isObject());
            static const std::set<std::string> types = {"Frame", "Stamp", "Frandel", "ColoringBook", "Task"};
            EXPECT_TRUE(types.count(root["type"].asString())) << entry.name;
            if (root["type"].asString() == "ColoringBook")
            {
                EXPECT_GT(root["pageCount"].asInt(), 0);
            }
        }
    }
    // The platform's reader finds the title's meta information where it looks.
    ASSERT_EQ(1u, manifest->metaFiles.size());
    EXPECT_EQ(std::string(XQM::CMetaInfo::FileName), manifest->metaFiles[0].name);
    XQM::CMetaInfo meta(title);
    EXPECT_EQ(62014ul, meta.GetProductId());
    EXPECT_EQ("PN-62014-0001", meta.GetPartNumber().raw());
    EXPECT_EQ("1.0.0", meta.GetPackageVersion().raw());
}

TEST(TitleGeneratorTest, SameManifestSameBytes)
{
    std::string a = std::string(TOVRANE_BINARY_DIR) + "/title-gen-test/a";
    std::string b = std::string(TOVRANE_BINARY_DIR) + "/title-gen-test/b";
    std::system(("rm -rf " + std::string(TOVRANE_BINARY_DIR) + "/title-gen-test").c_str());
    for (const std::string& out : {a, b})
        ASSERT_EQ(0, std::system((std::string(TOVRANE_TITLE_GENERATOR) + " " + TOVRANE_TITLE_MANIFEST + " " + out +
                                  " > /dev/null")
                                     .c_str()));
    EXPECT_EQ(0, std::system(("diff -r " + a + " " + b + " > /dev/null").c_str())) << "the title must be reproducible";
}

TEST(TitleGeneratorTest, BrokenLinesAreReportedAndTheRestIsWritten)
{
    std::string folder = std::string(TOVRANE_BINARY_DIR) + "/title-gen-broken";
    std::system(("rm -rf " + folder + " && mkdir -p " + folder).c_str());
    {
        std::ofstream manifest(folder + "/manifest.txt");
        manifest << "picture ok.png size=10x10\n"
                    "picture ok.png size=10x10\n"
                    "picture big.png size=900x10\n"
                    "sprite early.png size=4x4\n"
                    "sound s.ogg\n"
                    "json bad.json {\"type\": \n"
                    "teapot t\n"
                    "sheet scene\n"
                    "sprite turned.png size=30x10 rotated at=5,6\n"
                    "movie flash/M.swf\n";
    }
    std::string output = folder + "/output.txt";
    int status = std::system((std::string(TOVRANE_TITLE_GENERATOR) + " " + folder + "/manifest.txt " + folder +
                              "/title > " + output)
                                 .c_str());
    EXPECT_NE(0, status);
    std::string messages = readBytes(output);
    for (const char* expected : {"manifest.txt:2: images/ok.png is listed twice", "manifest.txt:3:",
             "manifest.txt:4: sprite early.png comes before any sheet", "manifest.txt:5:", "manifest.txt:6:",
             "manifest.txt:7: unknown kind \"teapot\""})
        EXPECT_NE(std::string::npos, messages.find(expected)) << expected << " in\n" << messages;

    Picture ok;
    EXPECT_TRUE(readPng(folder + "/title/images/ok.png", ok));
    std::map<std::string, Sprite> sprites;
    std::vector<std::string> textures;
    ASSERT_TRUE(readTex(folder + "/title/metadata/scene.tex", sprites, textures));
    ASSERT_TRUE(sprites.count("turned.png"));
    const Sprite& turned = sprites["turned.png"];
    EXPECT_EQ(1, turned.flags);
    EXPECT_EQ(10 * 65536, turned.right - turned.left);
    EXPECT_EQ(30 * 65536, turned.bottom - turned.top);
    EXPECT_EQ(5 * 65536, turned.x);
    EXPECT_EQ(6 * 65536, turned.y);
    EXPECT_EQ(0, ::access((folder + "/title/flash/M.swf").c_str(), R_OK));
}
