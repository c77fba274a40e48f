// Grouped saves on a real exFAT volume (an image file on a loop device,
// mounted through FUSE over the data folder), where inode numbers are made
// up when a file is looked up and change whenever the kernel forgets a file,
// and in data folders copied file by file: a save killed at any of its
// renames is settled whole at the next load, and a save the kernel forgets
// its files during goes through.
#include "ExfatVolume.h"
#include "KilledSlotSaves.h"

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
using namespace KilledSaves;

namespace
{
namespace files = std::filesystem;

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
// the next load leaves the slot wholly old or wholly new. The same for the
// slot's first saves: nothing or all of it.
TEST_F(ExfatSaves, KilledAtEachRenameTheSlotIsWholeAfterARemount)
{
    Outcomes outcomes;
    killAtEachRename(false, "remounted", [&] { return volume->remount(); }, outcomes, false, true);
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
        killAtEachRename(noLinks, "copied", copyPlayers, outcomes, false, true);
    expectWhole("ordinary disk, copied after the kill", outcomes);
}

// A save killed at each of its renames where old files are moved aside (no
// hard links), then its records damaged: no file of the slot goes missing
// with them. After the next load, and the one after it, each file is old or
// new, and nothing hidden is left. Another gone writer's temporary of the
// same file is never put in place for it.
TEST_F(CopiedDataFolders, DamagedRecordsLeaveNoFileMissing)
{
    Outcomes outcomes;
    for (int how = 0; how < 5; ++how)
        killAtEachRename(true, damages[how], [how] { return damageRecords(how); }, outcomes, true);
    expectWhole("ordinary disk without hard links, records damaged", outcomes);
}

// The same on the volume, records zero-filled, alone and beside another
// writer's temporaries.
TEST_F(ExfatSaves, DamagedRecordsLeaveNoFileMissing)
{
    Outcomes outcomes;
    for (int how : {0, 4})
        killAtEachRename(false, damages[how], [how] { return damageRecords(how); }, outcomes, true);
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
