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

using namespace Tovrane;
using namespace CharacterTestSupport;
using SpriteTestSupport::freshFolder;
using SpriteTestSupport::writeFile;

namespace
{
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

    // Reads the bytes as a description; the names of the characters now known.
    static std::vector<std::string> read(SceneManager& manager, const std::string& bytes, bool* whole = nullptr)
    {
        std::istringstream in(bytes);
        const bool result = manager.readCharacterInfo(static_cast<std::istream&>(in));
        if (whole)
            *whole = result;
        std::vector<std::string> names;
        for (const auto& entry : manager.getCharacterInfo())
            names.push_back(entry.first);
        return names;
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
    EXPECT_EQ(2, character->getChildQuantity());
    EXPECT_FALSE(character->hasAnimation("talk"));
    const int frames[] = {12, 3};
    for (int a = 0; a < 2; ++a)
    {
        const char* name = a ? "blink" : "idle";
        AnimatedSpritePtr sprite = spriteOf(character->getAnimation(name));
        ASSERT_TRUE(sprite) << name;
        EXPECT_EQ(character->getChild(a), sprite);
        EXPECT_EQ(CullingMode::Hide, sprite->cullingMode) << name;
        ASSERT_EQ(frames[a], sprite->getFrameCount());
        // Frames 001 on in child order from the animation's own folder, frame 0
        // shown within the sprite.
        for (int i = 0; i < frames[a]; ++i)
        {
            SpatialPtr frame = sprite->getChild(i);
            EXPECT_EQ(i + 1, frameNumberOf(frame));
            EXPECT_EQ(a, frame->getPosition().y.toInt() - 4);
            EXPECT_EQ(i == 0 ? CullingMode::Show : CullingMode::Hide, frame->cullingMode) << i;
            GeometryPtr geometry = boost::dynamic_pointer_cast<Geometry>(frame);
            ASSERT_TRUE(geometry && geometry->getTexture());
            EXPECT_EQ(PixelFormat::RGBA4444, geometry->getTexture()->getFormat());
        }
        ASSERT_EQ(1, sprite->getControllerQuantity());
        AnimationControllerPtr controller = character->getAnimationController(sprite);
        ASSERT_TRUE(controller);
        EXPECT_EQ(&AnimationController::RuntimeType, &controller->getType());
        EXPECT_FALSE(controller->isPlaying());
        EXPECT_EQ(83u, controller->getMillisecondsPerFrame());
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
    for (const char* file : {"one.chr", "two.chr", "dog.chr"})
        manager.addCharacterInfo(file);

    CharacterPtr hero = manager.getCharacter("hero");
    ASSERT_TRUE(hero);
    EXPECT_TRUE(hero->hasAnimation("wave"));
    EXPECT_FALSE(hero->hasAnimation("jump"));
    EXPECT_TRUE(manager.getCharacter("cat")) << "a file only the older folder holds is still found";
    CharacterPtr dog = manager.getCharacter("dog");
    ASSERT_TRUE(dog);
    EXPECT_TRUE(dog->hasAnimation("new"));
    EXPECT_FALSE(dog->hasAnimation("old"));
    EXPECT_EQ(3u, manager.getCharacterInfo().size()) << "nothing of the older dog.chr";
}

TEST(SceneManagerTitleTest, AnAddedMetadataFolderShadowsTheTitlesOwnAndMissingFilesAreQuiet)
{
    const std::string title = SpriteTestSupport::titleFolder();
    if (title.empty())
        GTEST_SKIP() << "another test of this program fixed an empty title folder";
    const std::string added = freshFolder("shadowing");
    writeFile(title + "metadata/shadowed.chr", encode({Record{"titlehero", {{"t", "title", 1}}}}));
    writeFile(title + "metadata/titleonly.chr", encode({Record{"titlecat", {{"t", "nap", 1}}}}));
    writeFile(added + "shadowed.chr", encode({Record{"titlehero", {{"t", "added", 1}}}}));
    SceneManager manager;
    manager.addMetadataPath(added);
    testing::internal::CaptureStdout();
    for (const char* file : {"shadowed.chr", "titleonly.chr", "nothing.chr"})
        manager.addCharacterInfo(file);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    ASSERT_EQ(2u, manager.getCharacterInfo().size());
    const SceneManager::CharacterInfo& hero = manager.getCharacterInfo().at("titlehero");
    ASSERT_EQ(1u, hero.animations.size());
    EXPECT_EQ("added", hero.animations[0].name);
    EXPECT_EQ(1u, manager.getCharacterInfo().count("titlecat"));

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
    EXPECT_EQ((std::vector<std::string>{"hero", "next"}), read(manager, encode({record, after}), &whole));
    const std::string messages = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(whole);

    const SceneManager::CharacterInfo& hero = manager.getCharacterInfo().at("hero");
    ASSERT_EQ(2u, hero.animations.size());
    EXPECT_EQ("one", hero.animations[0].name);
    EXPECT_EQ(1, hero.animations[0].frameCount);
    EXPECT_EQ("d", hero.animations[0].directory);
    EXPECT_EQ("most", hero.animations[1].name);
    EXPECT_EQ(999, hero.animations[1].frameCount);
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
        const std::vector<std::string> names = read(fresh, bytes.substr(0, cut), &whole);
        std::vector<std::string> expected;
        if (cut >= bytes.size())
            expected = {"cat", "hero"};
        else if (cut >= heroSize)
            expected = {"hero"};
        EXPECT_EQ(expected, names) << cut;
        EXPECT_EQ(cut == 0 || cut == heroSize || cut == bytes.size(), whole) << cut;
        if (!expected.empty())
        {
            EXPECT_EQ(2u, fresh.getCharacterInfo().at("hero").animations.size()) << cut;
        }
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
    // A count far beyond the data: the data ends first, nothing is reserved
    // for it and the record is dropped.
    Record greedy{"greedy", {{"d", "a", 1}}};
    greedy.count = INT_MAX;
    bool whole = true;
    EXPECT_TRUE(read(manager, encode({greedy}), &whole).empty());
    EXPECT_FALSE(whole);

    // Counts of zero or less: a character without animations, and reading
    // goes on.
    Record none{"none", {}};
    none.count = 0;
    Record negative{"negative", {}};
    negative.count = INT_MIN;
    const Record longest{std::string(255, 'x'), {{std::string(255, 'd'), std::string(255, 'n'), 3}}};
    const Record unnamed{"", {{"", "", 1}}};
    SceneManager fresh;
    EXPECT_EQ((std::vector<std::string>{"", "negative", "none", std::string(255, 'x')}),
              read(fresh, encode({none, negative, longest, unnamed}), &whole));
    EXPECT_TRUE(whole);
    EXPECT_TRUE(fresh.getCharacterInfo().at("none").animations.empty());
    EXPECT_TRUE(fresh.getCharacterInfo().at("negative").animations.empty());
    EXPECT_EQ(std::string(255, 'n'), fresh.getCharacterInfo().at(std::string(255, 'x')).animations[0].name);

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
