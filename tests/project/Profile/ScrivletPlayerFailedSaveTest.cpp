// Saves that fail part-way, and what writers killed part-way leave behind.
#include "ProfileTestSupport.h"

#include "AtomicFile.h"
#include "support/FileFaults.h"
#include "Tovrane/Texture.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

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
        EXPECT_EQ(!saved, says(printed, ": File too large\n")) << "the line gives the reason: " << printed;
        EXPECT_TRUE(saved || (printed.find("Could not") == printed.rfind("Could not") && !says(printed, ".tmp.")))
            << "one line, naming the slot's own file: " << printed;
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

namespace
{
// A save of picture slot 2 (with its thumbnail) or of animation slot 1 (12
// small frames and a frame count), in one of two versions.
struct GroupedSave
{
    bool flipbook;
    bool save(ScrivletPlayer& profile, int version) const { return saveSlotVersion(profile, flipbook, version); }
    // The slot's files and, for a flipbook, its frame count.
    std::vector<std::string> slot(const ScrivletPlayer& profile) const
    {
        std::vector<std::string> files;
        for (int f = 0; f < (flipbook ? 12 : 2); ++f)
            files.push_back(TestSupport::readFile(flipbook ? profile.toAnimationPath(1, f)
                                                           : f ? profile.toThumbnailPath(2) : profile.toImagePath(2)));
        if (flipbook)
            files.push_back(std::to_string(profile.frameCounts[1]));
        return files;
    }
};
}

// A save killed before any file-system call of it, from its staging to its
// last clean-up: at the next load, also of the data folder moved, the slot is
// wholly the old save or wholly the new, and no temporary is left in any of
// the player's folders.
TEST_F(FailedSaves, KilledAtAnyInstantTheSlotIsWholeAtTheNextLoad)
{
    for (const GroupedSave kind : {GroupedSave{false}, GroupedSave{true}})
    {
        SCOPED_TRACE(kind.flipbook ? "flipbook" : "picture");
        std::vector<std::string> versions[2];
        for (int version : {1, 0})
        {
            ScrivletPlayerPtr profile = loadProfile();
            ASSERT_TRUE(kind.save(*profile, version));
            versions[version] = kind.slot(*loadProfile());
        }
        ASSERT_NE(versions[0], versions[1]);
        int outcomes[2] = {0, 0};
        for (int killAt = 0;; ++killAt)
        {
            const pid_t writer = ::fork();
            if (writer == 0)
            {
                ScrivletPlayerPtr profile = loadProfile();
                FileFaults::arm(-1, 0, killAt);
                ::_exit(kind.save(*profile, 1) ? 0 : 1);
            }
            int status = -1;
            ASSERT_EQ(writer, ::waitpid(writer, &status, 0));
            // Every other start finds the data folder moved, and reaches it
            // through a link under its old name.
            const std::string data = root() + "/data", moved = root() + "/data-moved";
            if (killAt % 2)
            {
                fs::rename(data, moved);
                fs::create_directory_symlink(moved, data);
            }
            ScrivletPlayerPtr profile = loadProfile();
            if (killAt % 2)
            {
                fs::remove(data);
                fs::rename(moved, data);
            }
            const std::vector<std::string> now = kind.slot(*profile);
            ASSERT_TRUE(now == versions[0] || now == versions[1]) << "killed at call " << killAt;
            ++outcomes[now == versions[1]];
            ASSERT_TRUE(hidden(profile->photosPath).empty() &&
                        hidden(fs::path(profile->getAnimationDataPath()).parent_path()).empty())
                << killAt;
            if (WIFEXITED(status))
            {
                EXPECT_EQ(0, WEXITSTATUS(status));
                EXPECT_EQ(versions[1], now);
                break;
            }
            ASSERT_TRUE(kind.save(*profile, 0));
        }
        std::cout << (kind.flipbook ? "flipbook" : "picture") << ": " << outcomes[0] << " old, " << outcomes[1]
                  << " new\n";
        EXPECT_TRUE(outcomes[0] > 5 && outcomes[1] > 5) << outcomes[0] << " old, " << outcomes[1] << " new";
    }
}

// A flipbook whose record of the save cannot be made durable (the folder's
// sync fails with EIO) is not saved: every file and the frame count stay the
// old ones, in memory, on disk and in the next save of another slot. A folder
// that cannot be synced at all (EINVAL) counts as synced.
TEST_F(FailedSaves, FoldersThatCannotBeSyncedStopTheSaveBeforeAnythingChanges)
{
    for (int error : {EIO, EINVAL})
    {
        SCOPED_TRACE(error);
        ScrivletPlayerPtr profile = loadProfile();
        ASSERT_TRUE(GroupedSave{true}.save(*profile, 0));
        const std::vector<std::string> old = GroupedSave{true}.slot(*profile);
        FileFaults::failFolderSyncs(true, error);
        bool saved = false;
        const std::string printed = output([&] { saved = GroupedSave{true}.save(*profile, 1); });
        FileFaults::disarm();
        EXPECT_EQ(error == EINVAL, saved) << printed;
        EXPECT_EQ(error == EIO, says(printed, "Could not save")) << printed;
        EXPECT_FALSE(says(printed, "Could not sync the folder")) << printed;
        EXPECT_EQ(error == EIO ? 3 : 7, profile->frameCounts[1]);
        std::vector<TexturePtr> frames(12, TexturePtr(new Texture(64, 48, PixelFormat::RGBA8888)));
        ASSERT_TRUE(profile->saveAnimation(frames, 0, 2));
        profile = loadProfile();
        EXPECT_TRUE(profile->frameCounts[0] == 2 && profile->frameCounts[1] == (error == EIO ? 3 : 7));
        if (error == EIO)
        {
            EXPECT_EQ(old, GroupedSave{true}.slot(*profile));
        }
    }
}

// A save file that is there but cannot be opened or read at the load is said
// in one line, and the defaults the profile goes on with never replace it:
// "data.bin" and "lesson.bin" are not saved in that run, "animation.bin" and
// "achievements.bin" are read again before they are written and keep what
// they held besides this run's changes, or are not saved either while they
// still cannot be read (and are at the next save once they can). The first
// two are said once, at the first save. The next clean load has the old values.
TEST_F(FailedSaves, ASaveFileThatCannotBeReadIsNeverReplacedByTheDefaults)
{
    const char* const names[4] = {"data.bin", "lesson.bin", "animation.bin", "achievements.bin"};
    const auto flipbook = [](ScrivletPlayer& profile, int slot, int count) {
        return profile.saveAnimation(std::vector<TexturePtr>(12, TexturePtr(new Texture(8, 8, PixelFormat::RGBA8888))),
                                     slot, count);
    };
    // One value of each file, in file order: what the first run saves, then
    // what the second adds (and a frame count it sets alone).
    const auto old = [](const ScrivletPlayer& p) {
        return std::vector<bool>{p.locationStates[LocationName::Firehouse] == TaskState::Complete,
                                 p.lessonStates[3] == TaskState::Complete, p.frameCounts[1] == 12,
                                 p.hasBadge(BadgeName::Library)};
    };
    const auto added = [](const ScrivletPlayer& p) {
        return std::vector<bool>{p.locationStates[LocationName::Library] == TaskState::Complete,
                                 p.lessonStates[7] == TaskState::Complete, p.frameCounts[0] == 7,
                                 p.hasBadge(BadgeName::Firehouse), p.frameCounts[2] == 5};
    };
    for (int file = 0; file < 4; ++file)
        for (const std::pair<bool, int>& fault : {std::pair{false, EIO}, std::pair{false, EACCES}, std::pair{true, EIO}})
            for (const bool still : {false, true}) // the file still cannot be read when it is saved
            {
                const bool reads = fault.first;
                const int error = fault.second;
                SCOPED_TRACE(std::string(names[file]) + (reads ? " read: " : " open: ") + std::strerror(error) +
                             (still ? ", still at the save" : ""));
                fs::remove_all(root() + "/data");
                ScrivletPlayerPtr profile = loadProfile();
                profile->setLocationState(LocationName::Firehouse, TaskState::Complete);
                profile->setLessonState(3, TaskState::Complete);
                ASSERT_TRUE(flipbook(*profile, 0, 12) && flipbook(*profile, 1, 12));
                profile->unlockBadge(BadgeName::Library);
                profile->save();
                const std::string path = fs::path(profile->getPlayerDataPath()).replace_filename(names[file]).string();
                const std::string before = TestSupport::readFile(path);
                ASSERT_FALSE(before.empty());

                const auto failing = [&](bool on) {
                    (reads ? FileFaults::failReadsOf : FileFaults::failOpensOf)(names[file], on ? error : 0);
                };
                failing(true);
                std::string printed;
                profile = loadProfile(&printed);
                failing(still);
                EXPECT_EQ("Could not read file " + path + ": " + std::strerror(error) +
                              "; the game goes on without what it holds and leaves it as it is\n",
                          printed);
                std::vector<bool> defaulted(4, true);
                defaulted[file] = false;
                EXPECT_EQ(defaulted, old(*profile));

                bool flipbookSaved = false;
                printed = output([&] {
                    profile->setLocationState(LocationName::Library, TaskState::Complete);
                    profile->setLessonState(7, TaskState::Complete);
                    profile->setNumberOfFrames(2, 5);
                    flipbookSaved = flipbook(*profile, 0, 7);
                    profile->unlockBadge(BadgeName::Firehouse);
                    profile->save();
                    profile->save();
                });
                failing(false);
                const bool left = file < 2 || still;
                EXPECT_EQ(left, before == TestSupport::readFile(path));
                EXPECT_EQ(file != 2 || !still, flipbookSaved);
                std::istringstream lines(printed);
                int said = 0;
                for (std::string line; std::getline(lines, line); ++said)
                    EXPECT_EQ(0u, line.find("Could not save file " + path + ": it could not be read")) << line;
                EXPECT_EQ(left, said > 0) << printed;
                if (file < 2)
                {
                    EXPECT_EQ(1, said) << "once a run, not at every save: " << printed;
                }
                if (still)
                {
                    // "data.bin" and "lesson.bin" stay unsaved, and unsaid; the others are read again.
                    EXPECT_FALSE(says(output([&] { profile->save(); }), "Could not save file " + path));
                    EXPECT_EQ(file < 2, before == TestSupport::readFile(path));
                }

                profile = loadProfile(&printed);
                EXPECT_EQ("", printed);
                EXPECT_EQ(std::vector<bool>(4, true), old(*profile));
                std::vector<bool> kept(5, true);
                kept[file] = file > 2 || (file == 2 && !still);
                EXPECT_EQ(kept, added(*profile));
            }
}
