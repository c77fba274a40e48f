#include "CharacterTestSupport.h"

#include "Tovrane/AnimationController.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/SceneManager.h"
#include "Tovrane/Texture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace Tovrane;
using namespace CharacterTestSupport;
using SpriteTestSupport::freshFolder;
using SpriteTestSupport::writeFile;

namespace
{
// The characters known, "name: dir/animation frames, ... | name: ...".
std::string known(const SceneManager& manager)
{
    std::string out;
    for (const auto& entry : manager.getCharacterInfo())
    {
        out += (out.empty() ? "" : " | ") + entry.first + ":";
        for (const SceneManager::AnimationInfo& a : entry.second.animations)
            out += " " + a.directory + "/" + a.name + " " + std::to_string(a.frameCount);
    }
    return out;
}

// A scene manager on folders of the test's own: "metadata/" and "images/"
// are added to its search paths, "images/sheet.png" is the one sheet.
class SceneManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = freshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        metadata = folder + "metadata/";
        images = folder + "images/";
        SpriteTestSupport::savePicture(
            SpriteTestSupport::solidPicture(16, 16, ColorRGBA<unsigned char>(255, 0, 0, 255)), images + "sheet.png");
        manager.addMetadataPath(metadata);
        manager.addTexturePath(images);
    }

    // scene.tex with a sprite for every frame of the records, scene.chr with
    // the records.
    void writeScene(const std::string& scene, const std::vector<Record>& records)
    {
        writeFile(metadata + scene + ".tex", SpriteTestSupport::encode({frameSprites("sheet.png", records)}));
        writeFile(metadata + scene + ".chr", encode(records));
    }

    // Reads the bytes as a description (whether whole into `whole`).
    static std::string read(SceneManager& manager, const std::string& bytes, bool* whole = nullptr)
    {
        std::istringstream in(bytes);
        const bool result = manager.readCharacterInfo(static_cast<std::istream&>(in));
        if (whole)
            *whole = result;
        return known(manager);
    }
    std::string folder, metadata, images;
    SceneManager manager;
};

const Record hero{"hero", {{"hero", "idle", 12}, {"fx", "blink", 3}}};
}

TEST_F(SceneManagerTest, ACharacterHasEveryAnimationOfItsDescriptionHiddenAndStopped)
{
    writeScene("town", {hero});
    testing::internal::CaptureStdout();
    manager.addSceneInfo("town");
    CharacterPtr character = manager.getCharacter("hero");
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    ASSERT_TRUE(character);
    EXPECT_EQ("idle 12@0 hide A stop | blink 3@0 hide A stop", state(*character, {"idle", "blink", "talk"}));
    // Frames 001 on in child order from the animation's own folder, frame 0
    // shown within the sprite, 83 ms each.
    for (const char* name : {"idle", "blink"})
    {
        AnimatedSpritePtr sprite = spriteOf(character->getAnimation(name));
        for (int i = 0; i < sprite->getFrameCount(); ++i)
        {
            GeometryPtr frame = boost::dynamic_pointer_cast<Geometry>(sprite->getChild(i));
            ASSERT_TRUE(frame && frame->getTexture());
            EXPECT_EQ(i + 1, frameNumberOf(frame));
            EXPECT_EQ(name[0] == 'b', frame->getPosition().y.toInt() - 4);
            EXPECT_EQ(i == 0 ? CullingMode::Show : CullingMode::Hide, frame->cullingMode) << i;
            EXPECT_EQ(PixelFormat::RGBA4444, frame->getTexture()->getFormat());
        }
        EXPECT_EQ(83u, character->getAnimationController(sprite)->getMillisecondsPerFrame());
    }
    // Each call builds a new character.
    CharacterPtr again = manager.getCharacter("hero");
    EXPECT_NE(character, again);
    EXPECT_NE(character->getAnimation("idle"), again->getAnimation("idle"));
}

TEST_F(SceneManagerTest, FrameNumbersCarryIntoTheTensAndHundreds)
{
    const Record many{"hero", {{"hero", "walk", 100}}};
    writeScene("town", {many});
    manager.addSceneInfo("town");
    CharacterPtr character = manager.getCharacter("hero");
    ASSERT_TRUE(character);
    AnimatedSpritePtr walk = spriteOf(character->getAnimation("walk"));
    ASSERT_EQ(100, walk->getFrameCount());
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(i + 1, frameNumberOf(walk->getChild(i))) << i;

    // The name is left with the number after the last frame.
    std::string name = frameName("hero", "hero", "walk", 1);
    manager.getAnimation(name, 12);
    EXPECT_EQ(frameName("hero", "hero", "walk", 13), name);
    name = frameName("hero", "hero", "walk", 98);
    AnimatedSpritePtr tail = manager.getAnimation(name, 2);
    EXPECT_EQ(frameName("hero", "hero", "walk", 100), name);
    EXPECT_EQ(98, frameNumberOf(tail->getChild(0)));
    EXPECT_EQ(99, frameNumberOf(tail->getChild(1)));

    // A name without a number is asked for again and again, never changed.
    SpriteTestSupport::savePicture(SpriteTestSupport::solidPicture(4, 4, ColorRGBA<unsigned char>(0, 0, 0, 255)),
                                   images + "a.png");
    name = "a.png";
    EXPECT_EQ(2, manager.getAnimation(name, 2)->getFrameCount());
    EXPECT_EQ("a.png", name);
    // Only the three characters before the extension count, and a carry
    // stops at one that is not a digit.
    SpriteTestSupport::savePicture(SpriteTestSupport::solidPicture(4, 4, ColorRGBA<unsigned char>(0, 0, 0, 255)),
                                   images + "b_x99.png");
    name = "b_x99.png";
    EXPECT_EQ(1, manager.getAnimation(name, 1)->getFrameCount());
    EXPECT_EQ("b_x00.png", name);

    // No frames: an empty sprite.
    name = frameName("hero", "hero", "walk", 1);
    EXPECT_EQ(0, manager.getAnimation(name, 0)->getFrameCount());
    EXPECT_EQ(0, manager.getAnimation(name, -5)->getFrameCount());
}

TEST_F(SceneManagerTest, TheFirstRecordOfANameWinsAndOnlyTheNewestFolderHoldingAFileIsRead)
{
    const Record first{"hero", {{"hero", "wave", 1}}};
    const Record second{"hero", {{"hero", "jump", 1}}};
    const Record other{"cat", {{"cat", "nap", 1}}};
    const Record newer{"dog", {{"dog", "new", 1}}};
    const Record older{"dog", {{"dog", "old", 1}}};
    writeFile(metadata + "sprites.tex",
              SpriteTestSupport::encode({frameSprites("sheet.png", {first, second, other, newer, older})}));
    manager.addSpriteInfo("sprites.tex");
    writeFile(metadata + "one.chr", encode({first, second}));
    writeFile(metadata + "two.chr", encode({second, other}));
    writeFile(metadata + "dog.chr", encode({older, Record{"ghost", {{"g", "x", 1}}}}));
    const std::string added = folder + "added/";
    writeFile(added + "dog.chr", encode({newer}));
    manager.addMetadataPath(added);
    testing::internal::CaptureStdout();
    for (const char* file : {"one.chr", "two.chr", "dog.chr", "nothing.chr"})
        manager.addCharacterInfo(file);
    EXPECT_EQ("", testing::internal::GetCapturedStdout()) << "a file no folder holds is passed over quietly";

    // A file only the older folder holds is still found; nothing of the older dog.chr.
    EXPECT_EQ("cat: cat/nap 1 | dog: dog/new 1 | hero: hero/wave 1", known(manager));
    EXPECT_TRUE(manager.getCharacter("dog")->hasAnimation("new"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(manager.getCharacter("nobody"));
    EXPECT_EQ("Could not load character: nobody\n", testing::internal::GetCapturedStdout());
}

TEST_F(SceneManagerTest, FrameCountsOutsideOneTo999AreRefusedAndTheRestOfTheRecordKept)
{
    const Record record{"hero", {{"d", "none", 0}, {"d", "one", 1}, {"d", "negative", -1}, {"d", "most", 999},
                                 {"d", "toomany", 1000}, {"d", "huge", INT_MAX}, {"d", "least", INT_MIN}}};
    const Record after{"next", {{"d", "ok", 2}}};
    testing::internal::CaptureStdout();
    bool whole = false;
    EXPECT_EQ("hero: d/one 1 d/most 999 | next: d/ok 2", read(manager, encode({record, after}), &whole));
    const std::string messages = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(whole);
    for (const char* refused : {"none", "negative", "toomany", "huge", "least"})
        EXPECT_NE(std::string::npos, messages.find(std::string("Animation ") + refused + " of character hero"))
            << refused;
    EXPECT_EQ(5, std::count(messages.begin(), messages.end(), '\n'));
}

TEST_F(SceneManagerTest, ACutDescriptionKeepsTheWholeRecordsBeforeTheCut)
{
    const Record cat{"cat", {{"c", "nap", 2}}};
    const std::string bytes = encode({hero, cat});
    const size_t heroSize = encode({hero}).size();
    for (size_t cut = 0; cut <= bytes.size(); ++cut)
    {
        SceneManager fresh;
        bool whole = false;
        // Only whole records are kept, each with both its animations.
        const std::string names = read(fresh, bytes.substr(0, cut), &whole);
        EXPECT_EQ(cut == bytes.size() ? "cat: c/nap 2 | hero: hero/idle 12 fx/blink 3"
                  : cut >= heroSize   ? "hero: hero/idle 12 fx/blink 3"
                                      : "",
                  names)
            << cut;
        EXPECT_EQ(cut == 0 || cut == heroSize || cut == bytes.size(), whole) << cut;
    }

    // On disk, the cut is reported with the file's path.
    writeFile(metadata + "cut.chr", bytes.substr(0, bytes.size() - 1));
    testing::internal::CaptureStdout();
    manager.addCharacterInfo("cut.chr");
    EXPECT_EQ("Character description cut short: " + metadata + "cut.chr\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(1u, manager.getCharacterInfo().size());
}

TEST_F(SceneManagerTest, HostileCountsAndNames)
{
    // Counts of zero or less: a character without animations, and reading
    // goes on. (A count far beyond the data is among the committed files.)
    Record none{"none", {}};
    none.count = 0;
    Record negative{"negative", {}};
    negative.count = INT_MIN;
    const Record longest{std::string(255, 'x'), {{std::string(255, 'd'), std::string(255, 'n'), 3}}};
    const Record unnamed{"", {{"", "", 1}}};
    SceneManager fresh;
    bool whole = false;
    const std::string x(255, 'x'), d(255, 'd'), n(255, 'n');
    EXPECT_EQ(": / 1 | negative: | none: | " + x + ": " + d + "/" + n + " 3",
              read(fresh, encode({none, negative, longest, unnamed}), &whole));
    EXPECT_TRUE(whole);

    // A character without animations is an empty node.
    testing::internal::CaptureStdout();
    CharacterPtr empty = fresh.getCharacter("none");
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    ASSERT_TRUE(empty);
    EXPECT_EQ(0, empty->getChildQuantity());
}

// Committed broken descriptions (cut in a name, in an entry, a count far past
// the data) read what they can and say they were cut.
TEST(SceneManagerFiles, MalformedDescriptionsAreReportedCut)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TOVRANE_TEST_DATA) + "/chr/malformed"))
    {
        SceneManager manager;
        std::ifstream in(entry.path(), std::ios::binary);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(manager.readCharacterInfo(static_cast<std::istream&>(in))) << entry.path();
        testing::internal::GetCapturedStdout();
        ++files;
    }
    EXPECT_GE(files, 3);
}

// A pipe or folder under a description's name is not waited on nor read: it
// is said once and taken as an empty description, and the older folders'
// copies are not read in its place.
TEST_F(SceneManagerTest, OnlyARegularFileIsReadAsADescription)
{
    const std::string older = folder + "older/", added = folder + "added/";
    writeFile(older + "pipe.chr", encode({hero}));
    writeFile(older + "folder.chr", encode({hero}));
    std::filesystem::create_directories(added + "folder.chr");
    ASSERT_EQ(0, ::mkfifo((added + "pipe.chr").c_str(), 0644));
    SceneManager fresh;
    fresh.addMetadataPath(older);
    fresh.addMetadataPath(added);
    testing::internal::CaptureStdout();
    fresh.addCharacterInfo("pipe.chr");
    fresh.addCharacterInfo("folder.chr");
    EXPECT_EQ("Could not read file " + added + "pipe.chr: it is a pipe\nCould not read file " + added +
                  "folder.chr: it is a folder\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ("", known(fresh));
}

// A few bytes ask for up to 999 frames: past MaxFramesInAll frames of one
// description, an animation is refused like a bad count, and when asked the
// first refusal is handed back rather than printed.
TEST_F(SceneManagerTest, TheFramesOfADescriptionAreBoundedInAll)
{
    const Record big{"big", {{"d", "a", 999}, {"d", "b", 999}, {"d", "c", 999}, {"d", "d", 999}, {"d", "e", 999}}};
    const Record rest{"rest", {{"d", "f", 100}, {"d", "g", 1}}};
    testing::internal::CaptureStdout();
    EXPECT_EQ("big: d/a 999 d/b 999 d/c 999 d/d 999 | rest: d/f 100", read(manager, encode({big, rest})));
    EXPECT_EQ("Animation e of character big refused: 999 frames, past 4096 in all\n"
              "Animation g of character rest refused: 1 frames, past 4096 in all\n",
              testing::internal::GetCapturedStdout());

    SceneManager quiet;
    std::istringstream in(encode({Record{"k", {{"d", "walk", 0}, {"d", "run", 1000}}}}));
    std::string refused;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(quiet.readCharacterInfo(static_cast<std::istream&>(in), &refused));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ("animation walk of character k has 0 frames (1 to 999 allowed)", refused);
}
