// The line a failed picture save says: the file it failed on and why.
#include "ProfileTestSupport.h"

#include "support/FileFaults.h"
#include "Tovrane/Texture.h"

#include <sys/stat.h>

#include <cstring>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
using SaveReasons = Fixture;
namespace fs = std::filesystem;

TexturePtr picture(unsigned char shade)
{
    return TexturePtr(new Texture(320, 240, PixelFormat::RGBA8888, true, shade));
}
}

// Something other than a file under the picture's or the thumbnail's name:
// the save fails, names that file and says what stands there, and changes
// nothing.
TEST_F(SaveReasons, SomethingElseUnderASlotsNameIsNamedAndSaid)
{
    ScrivletPlayerPtr profile = loadProfile();
    ASSERT_TRUE(profile->saveImage(picture(10), 2));
    const std::string image = profile->toImagePath(2), thumbnail = profile->toThumbnailPath(2);
    const std::string oldImage = TestSupport::readFile(image);
    struct Case
    {
        bool thumbnail;
        const char* kind;
        const char* said;
    };
    for (const Case& c : {Case{false, "folder", "it is a folder"}, Case{true, "folder", "it is a folder"},
                          Case{true, "pipe", "it is a pipe"}, Case{true, "link", "it is a link"}})
    {
        SCOPED_TRACE(std::string(c.thumbnail ? "thumbnail " : "picture ") + c.kind);
        const std::string blocked = c.thumbnail ? thumbnail : image;
        const std::string aside = blocked + ".aside";
        fs::rename(blocked, aside);
        if (std::string(c.kind) == "folder")
            fs::create_directory(blocked);
        else if (std::string(c.kind) == "pipe")
            ASSERT_EQ(0, ::mkfifo(blocked.c_str(), 0600));
        else
            fs::create_symlink(aside, blocked);
        bool saved = true;
        const std::string printed = output([&] { saved = profile->saveImage(picture(20), 2); });
        EXPECT_FALSE(saved);
        EXPECT_EQ("Could not save file " + blocked + " and the files saved with it: " + c.said + "\n", printed);
        fs::remove(blocked);
        fs::rename(aside, blocked);
        EXPECT_EQ(oldImage, TestSupport::readFile(image));
    }
}

// A save failing at any one call with EIO says so, whichever call it is:
// the clean-up after the failure never puts its own reason in the line.
TEST_F(SaveReasons, AFailingCallGivesItsOwnReason)
{
    ScrivletPlayerPtr profile = loadProfile();
    ASSERT_TRUE(profile->saveImage(picture(10), 2));
    FileFaults::arm(-1, 0);
    ASSERT_TRUE(profile->saveImage(picture(30), 2));
    const int calls = FileFaults::count();
    FileFaults::disarm();
    int failed = 0;
    for (int failAt = 0; failAt < calls; ++failAt)
    {
        bool saved = true;
        const std::string printed = output([&] {
            FileFaults::arm(failAt, EIO);
            saved = profile->saveImage(picture(static_cast<unsigned char>(40 + failAt % 2)), 2);
            FileFaults::disarm();
        });
        failed += !saved;
        if (!saved)
        {
            EXPECT_TRUE(says(printed, std::string(": ") + std::strerror(EIO) + "\n") ||
                        says(printed, std::string(" (") + std::strerror(EIO) + ")\n"))
                << "failing at call " << failAt << ": " << printed;
        }
    }
    EXPECT_GT(failed, 5);
}
