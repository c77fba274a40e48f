// Saves that fail part-way, and what writers killed part-way leave behind.
#include "ProfileTestSupport.h"

#include "AtomicFile.h"
#include "Tovrane/Texture.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <map>
#include <random>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
using FailedSaves = Fixture;
namespace fs = std::filesystem;

// A 320 x 240 picture whose first rows are noise and the rest one colour, so
// that its PNG file is anything from about a kilobyte to 300.
TexturePtr randomPicture(std::mt19937& random)
{
    TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888));
    const int noisyRows = random() % 2 ? static_cast<int>(random() % 240) : 0;
    const unsigned char flat = static_cast<unsigned char>(random());
    unsigned char* bytes = picture->getPixels();
    for (int i = 0; i < 320 * 240 * 4; ++i)
        bytes[i] = i < noisyRows * 320 * 4 ? static_cast<unsigned char>(random()) : flat;
    return picture;
}

// Names in a folder that start with a dot: temporaries and staging files.
std::vector<std::string> hidden(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string()[0] == '.')
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
}

// Each step saves random pictures or flipbooks under a random file size
// limit, as a disk filling up. The reference is the same save without a
// limit into a scratch slot (picture slot 5, animation slot 2): the save
// succeeds exactly when every file it writes fits, and otherwise every slot
// keeps its files, thumbnails and frame counts, and no temporary is left.
TEST_F(FailedSaves, LeaveEverySlotAsItWas)
{
    ScrivletPlayerPtr profile = loadProfile();
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit unlimited;
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    std::mt19937 random(11);
    std::map<std::string, std::string> model; // file -> content; absent when not there
    int counts[2] = {1, 1}, outcomes[2] = {0, 0};
    const std::string dataFolder = fs::path(profile->getAnimationDataPath()).parent_path().string();
    for (int step = 0; step < 30; ++step)
    {
        const bool flipbook = random() % 3 == 0;
        const int slot = static_cast<int>(random() % (flipbook ? 2 : 5)), count = 1 + static_cast<int>(random() % 14);
        std::vector<TexturePtr> pictures, copies;
        for (int f = 0; f < (flipbook ? 12 : 1); ++f)
            pictures.push_back(randomPicture(random)), copies.push_back(pictures.back()->copy());
        ASSERT_TRUE(flipbook ? profile->saveAnimation(copies, 2, count) : profile->saveImage(copies[0], 5));
        const auto path = [&](int s, int f) {
            return flipbook ? profile->toAnimationPath(s, f) : f ? profile->toThumbnailPath(s) : profile->toImagePath(s);
        };
        const struct rlimit limit = {1000 + random() % 150000, unlimited.rlim_max};
        bool fits = true, saved = false;
        for (int f = 0; f < (flipbook ? 12 : 2); ++f)
            fits = fits && TestSupport::readFile(path(flipbook ? 2 : 5, f)).size() <= limit.rlim_cur;
        const std::string printed = output([&] {
            ::setrlimit(RLIMIT_FSIZE, &limit);
            saved = flipbook ? profile->saveAnimation(pictures, slot, count) : profile->saveImage(pictures[0], slot);
            ::setrlimit(RLIMIT_FSIZE, &unlimited);
        });
        ASSERT_EQ(fits, saved) << "step " << step << ": " << printed;
        EXPECT_EQ(!saved, says(printed, "Could not save file " + profile->photosPath)) << printed;
        ++outcomes[saved];
        for (int f = 0; saved && f < (flipbook ? 12 : 2); ++f)
            model[path(slot, f)] = TestSupport::readFile(path(flipbook ? 2 : 5, f));
        if (saved && flipbook)
            counts[slot] = std::min(count, 12);

        for (int s = 0; s < 5; ++s)
            for (int f = 0; f < 12; ++f)
            {
                const std::string file = s < 2 ? profile->toAnimationPath(s, f) : profile->toImagePath(s);
                const std::string other = f < 2 ? (f ? profile->toThumbnailPath(s) : profile->toImagePath(s)) : file;
                ASSERT_TRUE(model[file] == TestSupport::readFile(file) && model[other] == TestSupport::readFile(other))
                    << "step " << step << ": " << file << " or " << other;
            }
        ASSERT_TRUE(profile->frameCounts[0] == counts[0] && profile->frameCounts[1] == counts[1]) << step;
        ASSERT_TRUE(hidden(profile->photosPath).empty() && hidden(dataFolder).empty()) << step;
    }
    EXPECT_TRUE(outcomes[0] > 3 && outcomes[1] > 3) << outcomes[0] << " failed, " << outcomes[1] << " saved";
    profile = loadProfile();
    EXPECT_TRUE(profile->frameCounts[0] == counts[0] && profile->frameCounts[1] == counts[1]) << "animation.bin";
}

// A writer killed part-way leaves temporaries that only a later save of the
// same file would remove; loading the profile removes those in the player's
// folders.
TEST_F(FailedSaves, TemporariesOfKilledWritersGoWhenTheProfileLoads)
{
    ScrivletPlayerPtr profile = loadProfile();
    const std::string data = profile->getAnimationDataPath(), picture = profile->toImagePath(2);
    const pid_t writer = ::fork();
    if (writer == 0)
        ::_exit(fopenAtomic(profile->toAnimationPath(1, 3).c_str(), "wb") && fopenAtomic(data.c_str(), "wb") &&
                        writeFileAtomic(stageAtomic(picture.c_str()).c_str(), "staged", 6)
                    ? 0
                    : 1);
    int status = -1;
    ASSERT_TRUE(::waitpid(writer, &status, 0) == writer && status == 0);
    EXPECT_EQ(2u, hidden(profile->photosPath).size());
    EXPECT_EQ(1u, hidden(fs::path(data).parent_path()).size());
    profile = loadProfile();
    EXPECT_TRUE(hidden(profile->photosPath).empty() && hidden(fs::path(data).parent_path()).empty());
    EXPECT_FALSE(profile->hasImage(2) || profile->hasAnimation(1));
}
