// Grouped saves on a real exFAT volume (an image file on a loop device,
// mounted through FUSE over the data folder), where inode numbers are made
// up when a file is looked up and change whenever the kernel forgets a file,
// and in data folders copied file by file: a save killed at any of its
// renames is settled whole at the next load, and a save the kernel forgets
// its files during goes through.
#include "ExfatVolume.h"
#include "ProfileTestSupport.h"

#include "support/FileFaults.h"
#include "Tovrane/Texture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
namespace files = std::filesystem;

// Hidden files (temporaries, staging files, backups, records) anywhere in
// the data folder.
std::vector<std::string> hiddenFiles()
{
    std::vector<std::string> paths;
    for (const auto& entry : files::recursive_directory_iterator(root() + "/data"))
        if (entry.path().filename().string()[0] == '.')
            paths.push_back(entry.path().string());
    return paths;
}

// What a broken run left and said, on one line: the names of the hidden
// files, and the lines printed.
std::string leftAndSaid(const std::vector<std::string>& left, std::string printed)
{
    std::string line;
    for (const std::string& path : left)
        line += (line.empty() ? ", left " : " ") + files::path(path).filename().string();
    while (!printed.empty() && printed.back() == '\n')
        printed.pop_back();
    std::replace(printed.begin(), printed.end(), '\n', ' ');
    return line + (printed.empty() ? "" : "; said: " + printed);
}

// The save of picture slot 2 (and its thumbnail) or of animation slot 1 (12
// small frames and the frame counts), in one of two versions.
struct SlotSave
{
    bool flipbook;
    const char* name() const { return flipbook ? "flipbook" : "picture"; }
    bool save(ScrivletPlayer& profile, int version) const { return saveSlotVersion(profile, flipbook, version); }
    std::vector<std::string> paths(const ScrivletPlayer& profile) const
    {
        std::vector<std::string> paths;
        for (int f = 0; f < (flipbook ? 12 : 1); ++f)
            paths.push_back(flipbook ? profile.toAnimationPath(1, f) : profile.toImagePath(2));
        paths.push_back(flipbook ? profile.getAnimationDataPath() : profile.toThumbnailPath(2));
        return paths;
    }
    // The content of each file of the slot ("" for a missing one) and, for a
    // flipbook, its frame count as loaded.
    std::vector<std::string> slot(const ScrivletPlayer& profile) const
    {
        std::vector<std::string> contents;
        for (const std::string& path : paths(profile))
            contents.push_back(TestSupport::readFile(path));
        if (flipbook)
            contents.push_back(std::to_string(profile.frameCounts[1]));
        return contents;
    }
};

// The slot's two versions, with version 0 left in place.
bool makeVersions(const SlotSave& kind, std::vector<std::string> (&versions)[2])
{
    for (int version : {1, 0})
    {
        if (!kind.save(*Fixture::loadProfile(), version))
            return false;
        versions[version] = kind.slot(*Fixture::loadProfile());
    }
    for (std::size_t i = 0; i < versions[0].size(); ++i)
        if (versions[0][i] == versions[1][i])
            return false;
    return true;
}

// What the slot holds, one letter a file: 'o' old, 'n' new, '-' missing,
// '?' anything else.
std::string slotPattern(const std::vector<std::string>& now, const std::vector<std::string> (&versions)[2])
{
    std::string pattern;
    for (std::size_t i = 0; i < now.size(); ++i)
        pattern += now[i] == versions[1][i] ? 'n' : now[i] == versions[0][i] ? 'o' : now[i].empty() ? '-' : '?';
    return pattern;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// How the slots ended over the runs of a test: wholly old, wholly new, or
// broken (each broken run described in a line).
struct Outcomes
{
    int old = 0, fresh = 0;
    std::vector<std::string> broken;
};

// Saves version 1 over version 0 in a forked child (without hard links when
// `noLinks`), killed at its rename numbered `killAt`: the wait status.
int killSave(const SlotSave& kind, bool noLinks, int killAt)
{
    const pid_t writer = ::fork();
    if (writer == 0)
    {
        ScrivletPlayerPtr profile = Fixture::loadProfile();
        FileFaults::refuseLinks(noLinks);
        FileFaults::armRenames(killAt);
        ::_exit(kind.save(*profile, 1) ? 0 : 1);
    }
    int status = -1;
    return ::waitpid(writer, &status, 0) == writer ? status : -1;
}

// Kills the save of version 1 over version 0 at each of its renames in turn
// (in a forked child; without hard links when `noLinks`), then runs
// `between` on the data folder and loads the profile, which settles the
// killed save: the slot must be wholly old or wholly new (with `perFile`,
// each file old or new, also after a second load), with nothing hidden
// left. Ends with the run that was not killed, which must have saved.
void killAtEachRenameOf(const SlotSave& kind, bool noLinks, const std::string& where,
                        const std::function<bool()>& between, Outcomes& outcomes, bool perFile = false)
{
    std::vector<std::string> versions[2];
    ASSERT_TRUE(makeVersions(kind, versions));
    for (int killAt = 0;; ++killAt)
    {
        ASSERT_LT(killAt, 100) << "a save never gets that far";
        const int status = killSave(kind, noLinks, killAt);
        ASSERT_NE(-1, status);
        ASSERT_TRUE(between()) << "killed at rename " << killAt;
        std::string printed;
        ScrivletPlayerPtr profile = Fixture::loadProfile(&printed);
        const std::string pattern = slotPattern(kind.slot(*profile), versions);
        const std::vector<std::string> left = hiddenFiles();
        const bool old = pattern.find_first_not_of('o') == std::string::npos,
                   fresh = pattern.find_first_not_of('n') == std::string::npos,
                   each = perFile && pattern.find_first_not_of("on") == std::string::npos &&
                          slotPattern(kind.slot(*Fixture::loadProfile()), versions) == pattern;
        outcomes.old += old && left.empty();
        outcomes.fresh += fresh && left.empty();
        const std::string run = std::string(kind.name()) + (noLinks ? " without hard links" : "") + ", " + where;
        if (!(old || fresh || each) || !left.empty())
            outcomes.broken.push_back(run + ", killed at rename " + std::to_string(killAt) + ": slot " + pattern +
                                      leftAndSaid(left, printed));
        if (!WIFSIGNALED(status))
        {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << run << ": the save failed";
            EXPECT_TRUE(fresh) << run << ": the save did not put its files in place";
            break;
        }
        // The next run starts from the old version again, whatever this one
        // left.
        for (const std::string& name : left)
            files::remove(name);
        ASSERT_TRUE(kind.save(*profile, 0));
        ASSERT_EQ(versions[0], kind.slot(*Fixture::loadProfile()));
    }
}

// How many of the slot's files hold version 1, read as they stand (no load,
// which would settle a killed save).
std::size_t newFiles(const std::vector<std::string>& paths, const std::vector<std::string> (&versions)[2])
{
    std::size_t placed = 0;
    for (std::size_t i = 0; i < paths.size(); ++i)
        placed += TestSupport::readFile(paths[i]) == versions[1][i];
    return placed;
}

// Puts version 0 back whole, whatever a run left.
void restoreOld(const SlotSave& kind, const std::vector<std::string> (&versions)[2])
{
    for (const std::string& name : hiddenFiles())
        files::remove(name);
    ASSERT_TRUE(kind.save(*Fixture::loadProfile(), 0));
    ASSERT_EQ(versions[0], kind.slot(*Fixture::loadProfile()));
}

// Kills the save of version 1 over version 0 once `placed` of its files are
// in place (six frames of a flipbook, a picture without its thumbnail), then
// loads the profile with its file call numbered F (an open, a read, a look
// at a file...) failing with EIO, for every F of that load in turn, then
// loads it plainly: the slot must then be wholly old or wholly new, with
// nothing hidden left. No line may call the killed save out of date (nothing
// saved since), and a line about a kept save names the failed call's EIO.
void failEachCallOfTheLoad(const SlotSave& kind, bool noLinks, std::size_t placed, const std::string& where,
                           Outcomes& outcomes, int error = EIO)
{
    std::vector<std::string> versions[2];
    ASSERT_TRUE(makeVersions(kind, versions));
    const std::vector<std::string> paths = kind.paths(*Fixture::loadProfile());
    int killAt = 0;
    for (;; ++killAt)
    {
        ASSERT_LT(killAt, 100) << "no kill leaves " << placed << " files in place";
        killSave(kind, noLinks, killAt);
        const std::size_t now = newFiles(paths, versions);
        restoreOld(kind, versions);
        if (now == placed)
            break;
    }
    const std::string run = std::string(kind.name()) + (noLinks ? " without hard links" : "") + ", " + where;
    for (int failAt = 0;; ++failAt)
    {
        killSave(kind, noLinks, killAt);
        int calls = 0;
        std::string failing, plain;
        ScrivletPlayerPtr profile(new ScrivletPlayer);
        failing = output([&] {
            FileFaults::watchLooks(true);
            FileFaults::arm(failAt, error);
            profile->load();
            calls = FileFaults::count();
            FileFaults::disarm();
        });
        profile = Fixture::loadProfile(&plain);
        const std::string pattern = slotPattern(kind.slot(*profile), versions);
        const std::vector<std::string> left = hiddenFiles();
        const bool old = pattern.find_first_not_of('o') == std::string::npos,
                   fresh = pattern.find_first_not_of('n') == std::string::npos;
        bool linesRight = plain.find("out of date") == std::string::npos;
        std::istringstream lines(failing);
        for (std::string line; std::getline(lines, line);)
            linesRight = linesRight && (line.find("interrupted save") == std::string::npos ||
                                        (line.find("out of date") == std::string::npos &&
                                         line.find(std::strerror(error)) != std::string::npos));
        outcomes.old += old && left.empty() && linesRight;
        outcomes.fresh += fresh && left.empty() && linesRight;
        if (!(old || fresh) || !left.empty() || !linesRight)
            outcomes.broken.push_back(run + ", load failing with " + std::strerror(error) + " at call " + std::to_string(failAt) + ": slot " + pattern +
                                      leftAndSaid(left, failing + plain));
        if (failAt >= calls)
            break; // that load made no more calls: each was failed in turn
        restoreOld(kind, versions);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

// The same for a picture, then a flipbook.
void killAtEachRename(bool noLinks, const std::string& where, const std::function<bool()>& between,
                      Outcomes& outcomes, bool perFile = false)
{
    for (const SlotSave kind : {SlotSave{false}, SlotSave{true}})
    {
        killAtEachRenameOf(kind, noLinks, where, between, outcomes, perFile);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

// Prints how the runs ended and fails with the broken ones; unless
// `bothWays`, every run must have ended new.
void expectWhole(const std::string& what, const Outcomes& outcomes, bool bothWays = true)
{
    std::cout << what << ": " << outcomes.old << " old, " << outcomes.fresh << " new, " << outcomes.broken.size()
              << " broken\n";
    EXPECT_TRUE(outcomes.broken.empty()) << outcomes.broken.size() << " runs broke the slot ('o' old file, 'n' new, "
                                         << "'-' missing, '?' other):\n" << joined(outcomes.broken);
    EXPECT_TRUE(bothWays ? outcomes.old > 0 && outcomes.fresh > 0 : outcomes.old == 0 && outcomes.fresh > 0)
        << outcomes.old << " old, " << outcomes.fresh << " new";
}

// The data folder's players copied with `cp -a` to a new place in it, the
// originals removed and the copy moved back: every file is another one with
// the same names, content and times.
bool copyPlayers()
{
    const std::string players = root() + "/data/players", copy = root() + "/data/players-copied";
    std::string printed;
    if (runProgram({programPath("cp"), "-a", players, copy}, printed) != 0)
        return std::cout << "cp -a failed: " << printed << "\n", false;
    files::remove_all(players);
    files::rename(copy, players);
    return true;
}

// The records of grouped saves in the data folder made no longer this
// system's: zero-filled (a damaged card), under the header of a later
// format, cut short, or gone.
const char* const damages[] = {"records zero-filled", "records of a later format", "records cut short", "records gone"};
bool damageRecords(int how)
{
    for (const std::string& path : hiddenFiles())
    {
        const std::string name = files::path(path).filename().string();
        if (name.compare(0, 7, ".group-") != 0 || name.find(".tmp.") != std::string::npos)
            continue;
        std::string text = TestSupport::readFile(path);
        if (how == 3)
            files::remove(path);
        else
            writeText(path, how == 0 ? std::string(text.size(), '\0')
                            : how == 1 ? "tovrane-atomic-group 9\n" + text.substr(text.find('\n') + 1)
                                       : text.substr(0, text.size() / 2));
    }
    return true;
}

// Player 0 with its data folder on an exFAT volume of this test's own.
struct ExfatSaves : Fixture
{
    void SetUp() override
    {
        Fixture::SetUp();
        if (IsSkipped())
            return;
        volume.reset(new ExfatVolume(root() + "/data"));
        if (!volume->unavailable.empty())
            GTEST_SKIP() << "no exFAT volume can be mounted here: " << volume->unavailable;
    }
    void TearDown() override
    {
        volume.reset();
        Fixture::TearDown();
    }
    std::unique_ptr<ExfatVolume> volume;
};

using CopiedDataFolders = Fixture;

// The kernel's and the FUSE daemon's inode numbers of the files change at
// the drop below; counts how often that of `probe` was seen to change.
struct Forgetting
{
    std::string probe;
    int drops = 0, renumbered = 0;
} forgetting;

// Makes the kernel forget every file it need not keep (what the FUSE daemon
// then forgets too, a moment later), as it may under memory pressure.
void forgetFiles()
{
    struct stat before, after;
    const bool seen = ::stat(forgetting.probe.c_str(), &before) == 0;
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    const bool dropped = fd >= 0 && ::write(fd, "2\n", 2) == 2;
    if (fd >= 0)
        ::close(fd);
    ::usleep(20000);
    forgetting.drops += dropped;
    forgetting.renumbered += seen && ::stat(forgetting.probe.c_str(), &after) == 0 && after.st_ino != before.st_ino;
}
}

// A picture and a flipbook save killed at each of their renames, then the
// volume unmounted and mounted again (every file has a new inode number):
// the next load leaves the slot wholly old or wholly new.
TEST_F(ExfatSaves, KilledAtEachRenameTheSlotIsWholeAfterARemount)
{
    Outcomes outcomes;
    killAtEachRename(false, "remounted", [&] { return volume->remount(); }, outcomes);
    expectWhole("exFAT, remounted after the kill", outcomes);
}

// The same with the player's files copied anew on the volume instead.
TEST_F(ExfatSaves, KilledAtEachRenameTheSlotIsWholeInACopiedDataFolder)
{
    Outcomes outcomes;
    killAtEachRename(false, "copied", copyPlayers, outcomes);
    expectWhole("exFAT, copied after the kill", outcomes);
}

// The same on the ordinary disk, with hard links and without (old files
// moved aside instead, as on exFAT).
TEST_F(CopiedDataFolders, KilledAtEachRenameTheSlotIsWholeInTheCopy)
{
    Outcomes outcomes;
    for (const bool noLinks : {false, true})
        killAtEachRename(noLinks, "copied", copyPlayers, outcomes);
    expectWhole("ordinary disk, copied after the kill", outcomes);
}

// A save killed at each of its renames where old files are moved aside (no
// hard links), then its records damaged: no file of the slot goes missing
// with them. After the next load, and the one after it, each file is old or
// new, and nothing hidden is left.
TEST_F(CopiedDataFolders, DamagedRecordsLeaveNoFileMissing)
{
    Outcomes outcomes;
    for (int how = 0; how < 4; ++how)
        killAtEachRename(true, damages[how], [how] { return damageRecords(how); }, outcomes, true);
    expectWhole("ordinary disk without hard links, records damaged", outcomes);
}

// The same on the volume, records zero-filled.
TEST_F(ExfatSaves, DamagedRecordsLeaveNoFileMissing)
{
    Outcomes outcomes;
    killAtEachRename(false, damages[0], [] { return damageRecords(0); }, outcomes, true);
    expectWhole("exFAT, records zero-filled", outcomes);
}

// A flipbook save killed after six of its frames were put in place, and a
// picture save after its picture, then a load failing at each of its file
// calls in turn and a plain load: the slot is whole, on the volume. The
// record was written before the kill: every run ends new.
TEST_F(ExfatSaves, LoadFailingAtEachCallLeavesAKilledSaveWhole)
{
    Outcomes outcomes;
    failEachCallOfTheLoad(SlotSave{true}, false, 6, "exFAT", outcomes);
    failEachCallOfTheLoad(SlotSave{false}, false, 1, "exFAT", outcomes);
    expectWhole("exFAT, load failing at each call", outcomes, false);
}

// The same on the ordinary disk, and for the flipbook without hard links
// (old files moved aside, as on exFAT) with each call failing with
// ENAMETOOLONG, which no listed name or folder of the save can truly give.
TEST_F(CopiedDataFolders, LoadFailingAtEachCallLeavesAKilledSaveWhole)
{
    Outcomes outcomes;
    failEachCallOfTheLoad(SlotSave{true}, false, 6, "ordinary disk", outcomes);
    failEachCallOfTheLoad(SlotSave{false}, false, 1, "ordinary disk", outcomes);
    failEachCallOfTheLoad(SlotSave{true}, true, 6, "ordinary disk", outcomes, ENAMETOOLONG);
    expectWhole("ordinary disk, load failing at each call", outcomes, false);
}

// A picture save killed once its record is written, before any file is in
// place, and a flipbook save killed once two frames are. In the next run the
// record cannot be read (EACCES), and the child saves the slot again, with
// the very bytes it still shows: the save fails in one line naming the
// record, and changes nothing, for the record would take it for the old
// files. The record holds back nothing else: the player's progress and
// another picture are saved, only a flipbook's frame counts (its own file)
// wait. The plain start after it finishes the killed save whole.
TEST_F(CopiedDataFolders, ASaveWaitsForARecordThatCannotBeReadNow)
{
    for (const std::pair<SlotSave, std::size_t> row : {std::make_pair(SlotSave{false}, 0), std::make_pair(SlotSave{true}, 2)})
    {
        const SlotSave kind = row.first;
        SCOPED_TRACE(kind.name());
        std::vector<std::string> versions[2];
        ASSERT_TRUE(makeVersions(kind, versions));
        const std::vector<std::string> paths = kind.paths(*loadProfile());
        std::string record;
        for (int killAt = 1; record.empty(); ++killAt)
        {
            ASSERT_LT(killAt, 100);
            restoreOld(kind, versions);
            killSave(kind, false, killAt);
            for (const std::string& name : hiddenFiles())
                if (files::path(name).filename().string().compare(0, 14, ".group-commit.") == 0 &&
                    newFiles(paths, versions) == row.second)
                    record = files::path(name).filename().string();
        }
        FileFaults::failOpensOf(record.c_str(), EACCES);
        std::string loading;
        ScrivletPlayerPtr profile = loadProfile(&loading);
        const std::vector<std::string> shown = kind.slot(*profile);
        bool saved = true, other = false;
        const std::string saving = output([&] { saved = kind.save(*profile, 0); });
        const std::string progress = output([&] {
            profile->onSavePlayer();
            profile->onSavePersistent();
            profile->onSaveAchievements();
            other = profile->saveImage(TexturePtr(new Texture(320, 240, PixelFormat::RGBA8888, true, 99)), 3);
        });
        FileFaults::failOpensOf("", 0);
        EXPECT_FALSE(saved);
        EXPECT_EQ(shown, kind.slot(*profile)) << "the refused save changed nothing";
        EXPECT_TRUE(other);
        EXPECT_TRUE(std::count(loading.begin(), loading.end(), '\n') == 1 && says(loading, "cannot be read now (Permission denied)"))
            << loading;
        const std::string held = " holds it back (Permission denied)\n";
        EXPECT_TRUE(says(saving, " and the files saved with it: the interrupted save recorded in " + profile->photosPath +
                                     record + held) && std::count(saving.begin(), saving.end(), '\n') == 1)
            << saving;
        EXPECT_EQ(kind.flipbook ? "Could not save file " + profile->getAnimationDataPath() +
                                      ": the interrupted save recorded in " + profile->photosPath + record + held
                                : "",
                  progress);
        for (const std::string& path : {profile->getPlayerDataPath(), profile->getLessonDataPath(),
                                        profile->getAchievementDataPath(), profile->toImagePath(3)})
            EXPECT_TRUE(files::exists(path)) << path;
        std::string plain;
        profile = loadProfile(&plain);
        EXPECT_EQ(versions[1], kind.slot(*profile)) << plain;
        EXPECT_EQ("", plain);
        EXPECT_TRUE(hiddenFiles().empty());
    }
}

// Saves on the volume during which the kernel forgets the files, just
// before each rename of the save in turn: each goes through and leaves the
// slot wholly new, with nothing hidden.
TEST_F(ExfatSaves, SavesGoThroughWhenTheKernelForgetsTheFilesMidway)
{
    if (::access("/proc/sys/vm/drop_caches", W_OK) != 0)
        GTEST_SKIP() << "the kernel's caches cannot be dropped here (/proc/sys/vm/drop_caches)";
    Outcomes outcomes;
    for (const SlotSave kind : {SlotSave{false}, SlotSave{true}})
    {
        std::vector<std::string> versions[2];
        ASSERT_TRUE(makeVersions(kind, versions));
        FileFaults::armRenames(-1);
        ASSERT_TRUE(kind.save(*loadProfile(), 1));
        const int renames = FileFaults::renames();
        ASSERT_TRUE(kind.save(*loadProfile(), 0));
        for (int at = 0; at < renames; ++at)
        {
            ScrivletPlayerPtr profile = loadProfile();
            forgetting.probe = kind.paths(*profile)[0];
            bool saved = false;
            const std::string printed = output([&] {
                FileFaults::armRenames(-1, at, forgetFiles);
                saved = kind.save(*profile, 1);
                FileFaults::disarm();
            });
            const std::string pattern = slotPattern(kind.slot(*profile), versions);
            const std::vector<std::string> left = hiddenFiles();
            if (saved && pattern.find_first_not_of('n') == std::string::npos && left.empty())
                ++outcomes.fresh;
            else
                outcomes.broken.push_back(std::string(kind.name()) + ", forgotten before rename " + std::to_string(at) +
                                          ": " + (saved ? "saved" : "failed") + ", slot " + pattern +
                                          leftAndSaid(left, printed));
            for (const std::string& name : left)
                files::remove(name);
            ASSERT_TRUE(kind.save(*profile, 0));
            ASSERT_EQ(versions[0], kind.slot(*loadProfile()));
        }
    }
    std::cout << "inode numbers changed at " << forgetting.renumbered << " of " << forgetting.drops << " drops\n";
    EXPECT_GT(forgetting.renumbered, 0) << "the kernel kept every file: nothing was tried";
    std::cout << "exFAT, files forgotten during the save: " << outcomes.fresh << " saved whole, "
              << outcomes.broken.size() << " broken\n";
    EXPECT_TRUE(outcomes.broken.empty()) << outcomes.broken.size() << " saves broke the slot ('o' old file, 'n' new, "
                                         << "'-' missing, '?' other):\n" << joined(outcomes.broken);
}
