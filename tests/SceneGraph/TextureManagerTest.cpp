#include "Tovrane/System.h"
#include "Tovrane/Texture.h"
#include "Tovrane/TextureManager.h"

#include "CSystemData.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

using namespace Tovrane;
namespace fs = std::filesystem;

namespace
{
// The title folder of this test program, set up once before anything asks the
// platform for it. Its "images/" holds the pictures the tests write.
// Test programs run in parallel, one process per case, so every folder is
// this process's own and is removed when it ends.
const fs::path& scratch()
{
    static const struct Scratch
    {
        fs::path root = fs::path(TOVRANE_BINARY_DIR) / ("test-scenegraph-" + std::to_string(::getpid()));
        ~Scratch() { fs::remove_all(root); }
    } scratch;
    return scratch.root;
}

const std::string& titleFolder()
{
    static const std::string folder = [] {
        const fs::path root = scratch() / "title";
        fs::remove_all(root);
        fs::create_directories(root / "images" / "sub");
        CSystemData::Config config;
        config.titlePath = root.string() + "/";
        CSystemData::Configure(config);
        return System::getPath();
    }();
    return folder;
}

std::string imagesFolder() { return titleFolder() + "images/"; }

// An added folder (like downloaded content), made empty.
std::string addedFolder(const std::string& name)
{
    const fs::path folder = scratch() / "added" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string() + "/";
}

// A 2x1 RGBA picture whose first pixel has the given red value.
void writePicture(const std::string& path, unsigned char red)
{
    Texture picture(2, 1, PixelFormat::RGBA8888, true, 255);
    picture.setPixel(ColorRGBA<unsigned char>(red, 0, 0, 255), 0, 0);
    ASSERT_TRUE(picture.save(path)) << path;
}

unsigned char redOf(const TexturePtr& texture) { return texture->getPixel(0, 0).r; }

class TextureManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(titleFolder().empty()); }
};
}

TEST_F(TextureManagerTest, SearchesTheTitleImagesFolder)
{
    writePicture(imagesFolder() + "sub/title.png", 10);
    TextureManager manager;
    testing::internal::CaptureStdout();
    TexturePtr texture = manager.getTexture("sub/title.png");
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    ASSERT_TRUE(texture);
    EXPECT_EQ(10, redOf(texture));
    EXPECT_EQ(2, texture->getWidth());
}

TEST_F(TextureManagerTest, AHeldTextureIsSharedAndTheFileIsNotReadAgain)
{
    const std::string path = imagesFolder() + "shared.png";
    writePicture(path, 20);
    TextureManager manager;
    TexturePtr first = manager.getTexture("shared.png");
    ASSERT_TRUE(first);
    // With the file gone, only the cache can answer.
    fs::remove(path);
    testing::internal::CaptureStdout();
    TexturePtr second = manager.getTexture("shared.png");
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(first, second);
}

TEST_F(TextureManagerTest, AReleasedTextureIsLoadedAgain)
{
    const std::string path = imagesFolder() + "released.png";
    writePicture(path, 30);
    TextureManager manager;
    TexturePtr first = manager.getTexture("released.png");
    boost::weak_ptr<Texture> watched = first;
    first.reset();
    // The cache alone does not keep the texture.
    EXPECT_TRUE(watched.expired());

    writePicture(path, 31);
    TexturePtr again = manager.getTexture("released.png");
    ASSERT_TRUE(again);
    EXPECT_EQ(31, redOf(again));
    // And the renewed entry is cached as before.
    EXPECT_EQ(again, manager.getTexture("released.png"));
}

TEST_F(TextureManagerTest, NewestFolderIsSearchedFirst)
{
    writePicture(imagesFolder() + "both.png", 40);
    const std::string older = addedFolder("older"), newer = addedFolder("newer");
    writePicture(older + "both.png", 41);
    writePicture(newer + "both.png", 42);
    TextureManager manager;
    manager.addTexturePath(older);
    manager.addTexturePath(newer);
    testing::internal::CaptureStdout();
    TexturePtr texture = manager.getTexture("both.png");
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(42, redOf(texture));
}

TEST_F(TextureManagerTest, AFolderLackingThePictureIsReportedAndSkipped)
{
    writePicture(imagesFolder() + "fallback.png", 50);
    const std::string added = addedFolder("lacking");
    TextureManager manager;
    manager.addTexturePath(added);
    testing::internal::CaptureStdout();
    TexturePtr texture = manager.getTexture("fallback.png");
    EXPECT_EQ("Could not find file " + added + "fallback.png\n", testing::internal::GetCapturedStdout());
    ASSERT_TRUE(texture);
    EXPECT_EQ(50, redOf(texture));
}

TEST_F(TextureManagerTest, ACachedNameIgnoresFoldersAddedLater)
{
    writePicture(imagesFolder() + "kept.png", 60);
    const std::string added = addedFolder("later");
    writePicture(added + "kept.png", 61);
    TextureManager manager;
    TexturePtr held = manager.getTexture("kept.png");
    manager.addTexturePath(added);
    EXPECT_EQ(60, redOf(manager.getTexture("kept.png")));
    // findTexture itself does not look at the cache.
    EXPECT_EQ(61, redOf(manager.findTexture("kept.png")));
}

TEST_F(TextureManagerTest, TwoManagersLoadTheirOwnTextures)
{
    writePicture(imagesFolder() + "twice.png", 70);
    TextureManager a, b;
    TexturePtr fromA = a.getTexture("twice.png");
    TexturePtr fromB = b.getTexture("twice.png");
    ASSERT_TRUE(fromA && fromB);
    EXPECT_NE(fromA, fromB);
}

TEST_F(TextureManagerTest, PictureMissingWithAddedFoldersGivesAnEmptyPointer)
{
    const std::string added = addedFolder("broken");
    TextureManager manager;
    manager.addTexturePath(added);
    testing::internal::CaptureStdout();
    TexturePtr texture = manager.getTexture("nowhere.png");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(texture);
    EXPECT_EQ("Could not find file " + added + "nowhere.png\nCould not find file " + imagesFolder() + "nowhere.png\n",
              output);
    // Asked again, it looks again (the picture may have arrived meanwhile).
    writePicture(added + "nowhere.png", 80);
    TexturePtr arrived = manager.getTexture("nowhere.png");
    ASSERT_TRUE(arrived);
    EXPECT_EQ(80, redOf(arrived));
}

TEST_F(TextureManagerTest, BrokenFileInAnAddedFolderFallsBackToTheTitle)
{
    writePicture(imagesFolder() + "damaged.png", 90);
    const std::string added = addedFolder("damaged");
    {
        FILE* file = std::fopen((added + "damaged.png").c_str(), "wb");
        ASSERT_NE(nullptr, file);
        std::fputs("\x89PNG\r\n\x1a\n truncated", file);
        std::fclose(file);
    }
    TextureManager manager;
    manager.addTexturePath(added);
    testing::internal::CaptureStdout();
    TexturePtr texture = manager.getTexture("damaged.png");
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(texture);
    EXPECT_EQ(90, redOf(texture));
}

TEST(TextureManagerDeathTest, PictureMissingFromTheTitleStops)
{
    ASSERT_FALSE(titleFolder().empty());
    TextureManager manager;
    EXPECT_DEATH(manager.getTexture("not-installed.png"), "Could not find the texture");
}

// A loader thread fills the cache, the main thread uses it afterwards.
TEST(TextureManagerThreadTest, CacheHandedFromTheLoaderThreadToTheMainThread)
{
    writePicture(imagesFolder() + "loaded.png", 100);
    TextureManager* manager = nullptr;
    TexturePtr held;
    std::thread loader([&] {
        manager = new TextureManager();
        held = manager->getTexture("loaded.png");
    });
    loader.join();
    EXPECT_EQ(held, manager->getTexture("loaded.png"));
    delete manager;
}

// Each loading state has its own manager; two may load at once.
TEST(TextureManagerThreadTest, ManagersOnTwoThreadsAtOnce)
{
    writePicture(imagesFolder() + "parallel.png", 110);
    TexturePtr results[2];
    std::thread threads[2];
    for (int i = 0; i < 2; ++i)
        threads[i] = std::thread([&results, i] {
            TextureManager manager;
            for (int n = 0; n < 20; ++n)
                results[i] = manager.getTexture("parallel.png");
        });
    for (std::thread& t : threads)
        t.join();
    ASSERT_TRUE(results[0] && results[1]);
    EXPECT_NE(results[0], results[1]);
    EXPECT_EQ(110, redOf(results[0]));
}
