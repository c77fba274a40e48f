// The texture cache: search order of the picture folders, sharing while a
// texture is held, and loading on other threads.
#include "SceneGraph/SpriteTestSupport.h"

#include "Tovrane/TextureManager.h"

#include <algorithm>
#include <thread>

using namespace Tovrane;
using namespace SpriteTestSupport;

namespace
{
std::string imagesFolder() { return titleFolder() + "images/"; }

// A 2 x 1 picture whose first pixel has the given red value.
void writePicture(const std::string& path, unsigned char red)
{
    savePicture(solidPicture(2, 1, ColorRGBA<unsigned char>(red, 0, 0, 255)), path);
}

unsigned char redOf(const TexturePtr& texture) { return texture->getPixel(0, 0).r; }

// What `manager` gives for `name`, and what it printed.
TexturePtr get(TextureManager& manager, const std::string& name, std::string* printed = nullptr)
{
    testing::internal::CaptureStdout();
    TexturePtr texture = manager.getTexture(name);
    const std::string output = testing::internal::GetCapturedStdout();
    if (printed)
        *printed = output;
    return texture;
}
}

TEST(TextureManagerTest, AHeldTextureIsSharedAndAReleasedOneIsLoadedAgain)
{
    const std::string path = imagesFolder() + "sub/shared.png";
    writePicture(path, 20);
    TextureManager manager;
    std::string printed;
    TexturePtr first = get(manager, "sub/shared.png", &printed);
    EXPECT_EQ("", printed);
    ASSERT_TRUE(first);
    EXPECT_EQ(20, redOf(first));
    // With the file replaced, only the cache can answer.
    writePicture(path, 21);
    EXPECT_EQ(first, get(manager, "sub/shared.png"));

    // The cache alone does not keep the texture.
    boost::weak_ptr<Texture> watched = first;
    first.reset();
    EXPECT_TRUE(watched.expired());
    TexturePtr again = get(manager, "sub/shared.png");
    ASSERT_TRUE(again);
    EXPECT_EQ(21, redOf(again));
    EXPECT_EQ(again, get(manager, "sub/shared.png"));
}

TEST(TextureManagerTest, NewestFolderFirstAndFoldersLackingThePictureAreReported)
{
    writePicture(imagesFolder() + "both.png", 40);
    const std::string older = freshFolder("older"), newer = freshFolder("newer"), lacking = freshFolder("lacking");
    writePicture(older + "both.png", 41);
    writePicture(newer + "both.png", 42);
    TextureManager manager;
    manager.addTexturePath(older);
    manager.addTexturePath(newer);
    std::string printed;
    EXPECT_EQ(42, redOf(get(manager, "both.png", &printed)));
    EXPECT_EQ("", printed);

    writePicture(imagesFolder() + "fallback.png", 50);
    manager.addTexturePath(lacking);
    EXPECT_EQ(50, redOf(get(manager, "fallback.png", &printed)));
    EXPECT_EQ("Could not find file " + lacking + "fallback.png\nCould not find file " + newer +
                  "fallback.png\nCould not find file " + older + "fallback.png\n",
              printed);
}

TEST(TextureManagerTest, ACachedNameIgnoresFoldersAddedLater)
{
    writePicture(imagesFolder() + "kept.png", 60);
    const std::string added = freshFolder("later");
    writePicture(added + "kept.png", 61);
    TextureManager manager;
    TexturePtr held = get(manager, "kept.png");
    manager.addTexturePath(added);
    EXPECT_EQ(60, redOf(get(manager, "kept.png")));
    // findTexture itself does not look at the cache.
    EXPECT_EQ(61, redOf(manager.findTexture("kept.png")));
}

TEST(TextureManagerTest, PictureMissingFromAddedFoldersIsEmptyUntilItArrivesAndABrokenOneFallsBackToTheTitle)
{
    const std::string images = imagesFolder(), added = freshFolder("broken");
    TextureManager manager;
    manager.addTexturePath(added);
    std::string printed;
    EXPECT_FALSE(get(manager, "nowhere.png", &printed));
    EXPECT_EQ("Could not find file " + added + "nowhere.png\nCould not find file " + images + "nowhere.png\n", printed);
    // The manager does not try (and report) a failed name again; the next
    // state's manager finds the picture once it is there.
    writePicture(added + "nowhere.png", 80);
    EXPECT_FALSE(get(manager, "nowhere.png", &printed));
    EXPECT_EQ("", printed);
    TextureManager next;
    next.addTexturePath(added);
    TexturePtr arrived = get(next, "nowhere.png");
    ASSERT_TRUE(arrived);
    EXPECT_EQ(80, redOf(arrived));

    // A broken copy in the added folder: the title's is used.
    writePicture(images + "damaged.png", 90);
    writeFile(added + "damaged.png", "\x89PNG\r\n\x1a\n truncated");
    EXPECT_EQ(90, redOf(get(manager, "damaged.png")));
}

// A broken picture shown by many sprites is read, and reported, once.
TEST(TextureManagerTest, APictureThatCouldNotBeReadIsReportedOnce)
{
    const std::string added = freshFolder("unreadable");
    writeFile(added + "cut.png", "\x89PNG\r\n\x1a\n cut");
    writeFile(imagesFolder() + "cut.png", "not a picture\n");
    TextureManager manager;
    manager.addTexturePath(added);
    std::string first, later;
    EXPECT_FALSE(get(manager, "cut.png", &first));
    EXPECT_EQ(2u, std::count(first.begin(), first.end(), '\n')) << first << ": one line for each folder";
    for (int sprite = 0; sprite < 5; ++sprite)
    {
        EXPECT_FALSE(get(manager, "cut.png", &later));
        EXPECT_EQ("", later);
    }
}

TEST(TextureManagerDeathTest, PictureMissingFromTheTitleStops)
{
    titleFolder();
    TextureManager manager;
    EXPECT_DEATH(manager.getTexture("not-installed.png"), "Could not find the texture");
}

// A loader thread fills the cache, the main thread uses it afterwards.
TEST(TextureManagerThreadTest, CacheHandedFromTheLoaderThreadToTheMainThread)
{
    writePicture(imagesFolder() + "loaded.png", 100);
    std::unique_ptr<TextureManager> manager;
    TexturePtr held;
    std::thread loader([&] {
        manager.reset(new TextureManager());
        held = manager->getTexture("loaded.png");
    });
    loader.join();
    EXPECT_EQ(held, manager->getTexture("loaded.png"));
}

// Each loading state has its own manager, with textures of its own; two may load at once.
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

TEST(TextureManagerTest, ANameWithAParentComponentIsRefusedWithoutLookingAnywhere)
{
    // A picture that such a name would reach from the added folder.
    writePicture(titleFolder() + "outside.png", 70);
    writePicture(imagesFolder() + "a..b.png", 71);
    const std::string added = freshFolder("parent");
    TextureManager manager;
    manager.addTexturePath(added);
    struct Case
    {
        const char* name;
        bool refused;
    } const cases[] = {{"../outside.png", true}, {"sub/../../outside.png", true}, {"..", true},
                       {"x/..", true},           {"a..b.png", false},             {"..png", false}};
    for (const Case& c : cases)
    {
        std::string printed;
        TexturePtr texture = get(manager, c.name, &printed);
        if (c.refused)
        {
            EXPECT_FALSE(texture) << c.name;
            EXPECT_EQ(std::string("Refused picture name ") + c.name + ": it leads outside its folder\n", printed);
        }
        else
            EXPECT_EQ(std::string::npos, printed.find("Refused")) << c.name;
    }
}
