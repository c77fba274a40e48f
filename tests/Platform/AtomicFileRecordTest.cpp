// The records of grouped saves: met after a newer save, planted, unreadable,
// or of the version before.
#include "GroupFixture.h"

#include <gtest/gtest.h>
#include <xxhash.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <iostream>
#include <filesystem>
#include <fstream>
#include <string>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace GroupTest;

// A commit killed between its renames leaves a record. The slot is then
// saved again: with new content, with the old files' bytes, or with the
// killed commit's own new bytes. Where the record was out of that save's
// sight (hidden here, or with its writer's id now a live process's too),
// the save goes ahead, and the record, met later, leaves it whole. Where the
// save meets the record it settles it first. Where the save meets it but
// cannot settle it now (it cannot be read, the killed commit's staging file
// cannot be read, or, without locks, its writer's id is a live process's),
// the save fails and changes nothing: the next plain scan finishes the
// killed commit whole, whatever bytes the refused save held.
TEST_F(Group, RecordMetAfterANewerSaveNeverChangesIt)
{
    writeOld();
    ASSERT_TRUE(stageAndCommit(-1, -1));
    const int calls = FileFaults::count();
    enum Way { Hidden, HiddenLivePid, MetBySave, Unreadable, StagingUnreadable, NoLocksLivePid, Ways };
    const char* const wayNames[] = {"hidden", "hidden, live pid", "met by the save", "record unreadable",
                                    "staging unreadable", "no locks, live pid"};
    const std::vector<std::string> newerKinds = {"newer", "old bytes", "new bytes"};
    for (int way = 0; way < Ways; ++way)
        for (const std::string& kind : newerKinds)
        {
            // Hidden records cannot tell a newer save from their own files
            // by content alone: there only a save of other bytes is tried.
            if (way <= HiddenLivePid && kind != "newer")
                continue;
            SCOPED_TRACE(std::string(wayNames[way]) + ", " + kind);
            // The first kill that leaves the targets mixed: between the renames.
            std::string mixed;
            for (int killAt = 0; killAt < calls && mixed != "mixed"; ++killAt)
            {
                writeOld();
                ASSERT_EQ(-SIGKILL, commitInChild(-1, killAt, true));
                mixed = state();
            }
            ASSERT_EQ("mixed", mixed);
            const bool livePid = way == HiddenLivePid || way == NoLocksLivePid;
            std::vector<std::pair<std::string, std::string>> records;
            std::string staging;
            for (const std::string& folder : {first, second})
                for (const auto& entry : fs::directory_iterator(folder))
                {
                    std::string name = entry.path().filename().string();
                    if (name.find(".tmp.") != std::string::npos)
                        staging = name.compare(0, 9, ".new.png.") == 0 ? name : staging;
                    else if (name.compare(0, 7, ".group-") == 0)
                    {
                        if (livePid) // the dead writer's id now a live process's
                            name = name.substr(0, name.find('.', 7) + 1) + "1" +
                                   name.substr(name.find('.', name.find('.', 7) + 1));
                        records.emplace_back(entry.path().string(), entry.path().parent_path().string() + "/" + name);
                    }
                }
            ASSERT_EQ(2u, records.size());
            ASSERT_FALSE(staging.empty()) << "the new file's rename was not made";
            const bool hidden = way <= HiddenLivePid;
            for (const auto& record : records)
                fs::rename(record.first, hidden ? root + fs::path(record.first).filename().string() : record.second);
            std::vector<std::string> newer;
            for (std::size_t i = 0; i < targets.size(); ++i)
                newer.push_back(kind == "new bytes"                  ? newContent(i)
                                : kind == "old bytes" && i != 1 ? (i == 0 ? "old a" : "old count")
                                                                     : "newer " + std::to_string(i));
            for (std::size_t i = 0; i < targets.size(); ++i)
                ASSERT_TRUE(writeFileAtomic(stageAtomic(targets[i].c_str()).c_str(), newer[i].data(), newer[i].size()));
            if (way == Unreadable)
                FileFaults::failOpensOf(fs::path(records.back().second).filename().c_str(), EACCES);
            if (way == StagingUnreadable)
                FileFaults::failReadsOf(staging.c_str(), EIO);
            FileFaults::refuseLocks(way == NoLocksLivePid);
            bool saved = false;
            const std::string said = TestSupport::printed([&] { saved = replaceStagedAtomic(targets); });
            FileFaults::failOpensOf("", 0);
            FileFaults::failReadsOf("", 0);
            FileFaults::refuseLocks(false);
            const bool kept = way > MetBySave;
            EXPECT_EQ(!kept, saved);
            if (kept)
            {
                EXPECT_EQ("mixed", state()) << "the refused save changed nothing";
                EXPECT_EQ(way == NoLocksLivePid ? 0 : 1, std::count(said.begin(), said.end(), '\n')) << said;
                EXPECT_EQ(way == NoLocksLivePid ? std::string::npos : 0u,
                          said.find(way == StagingUnreadable ? "Could not finish" : "The record of")) << said;
                EXPECT_NE(way == NoLocksLivePid ? 0u : std::string::npos,
                          said.find(std::strerror(way == Unreadable ? EACCES : EIO))) << said;
            }
            if (hidden)
                for (const auto& record : records)
                    fs::rename(root + fs::path(record.first).filename().string(), record.second);
            const std::string printed = TestSupport::printed([&] {
                removeStaleTemporariesAtomic(second.c_str());
                removeStaleTemporariesAtomic(first.c_str());
            });
            if (kept)
                EXPECT_EQ("new", state()) << "the killed commit is finished whole";
            else
                for (std::size_t i = 0; i < targets.size(); ++i)
                    EXPECT_EQ(newer[i], TestSupport::readFile(targets[i]));
            EXPECT_EQ(hidden ? 1 : 0, std::count(printed.begin(), printed.end(), '\n')) << printed;
            EXPECT_EQ(std::vector<std::string>(), leftovers());
        }
}

// Records that are not this system's own, or that name files their commit
// did not see, touch nothing they name: a pipe or a link under a record's
// name, text that is no record, an undo record with no backup and a commit
// record naming a missing or planted staging file, a record whose backup is
// a planted file, and member records leading out of the player's folders or
// to a commit that writes nothing there. Each is said in one line and goes.
TEST_F(Group, PlantedRecordsTouchNothingTheyName)
{
    writeOld();
    const std::string victim = second + "victim.txt", planted = second + ".victim.txt.tmp.999999.1";
    auto field = [](const std::string& text) { return std::to_string(text.size()) + " " + text + "\n"; };
    auto record = [&](const std::vector<std::string>& fields) {
        std::string text = "tovrane-atomic-group 3\n";
        for (const std::string& f : fields)
            text += field(f);
        return text + "end\n";
    };
    const std::string someone = "5 0123456789abcdef0123456789abcdef";
    // A file's size and the digest of its content, as a record holds them.
    auto identityOfText = [](const std::string& content) {
        XXH128_canonical_t canonical;
        XXH128_canonicalFromHash(&canonical, XXH3_128bits(content.data(), content.size()));
        std::string text = std::to_string(content.size()) + " ";
        for (unsigned char byte : canonical.digest)
            text += "0123456789abcdef"[byte >> 4], text += "0123456789abcdef"[byte & 15];
        return text;
    };
    auto identityOf = [&](const std::string& path) { return identityOfText(TestSupport::readFile(path)); };
    const std::string commit = ".group-commit.999999.7", undo = ".group-undo.999999.7", member = ".group-member.999999.7";
    struct Plant
    {
        std::string name, text;
        bool plantStaging;
        int lines;
    };
    const std::vector<Plant> plants = {
        {commit, "", false, 1},
        {commit, "not a record", false, 1},
        {undo, record({"commit", "1", "0", ".victim.txt.tmp.999999.1", "victim.txt", "", someone, ""}), false, 1},
        {commit, record({"commit", "1", "0", ".victim.txt.tmp.999999.1", "victim.txt", "", someone, ""}), true, 1},
        {undo, record({"commit", "1", "0", ".victim.txt.tmp.999999.2", "victim.txt", ".victim.txt.tmp.999999.1", someone, "planted"}), true, 1},
        {member, record({"member", "../../etc"}), false, 1},
        {member, record({"member", "/etc"}), false, 1},
        {member, "", false, 1},
        {member, record({"member", "../first"}), false, 0},
        // An undo record that would take away the victim, through a link
        // planted beside the first folder with a member record behind it.
        {undo, record({"commit", "2", "../evil", "1", ".victim.txt.tmp.999999.2", "victim.txt", "", identityOfText("victim"), ""}),
         false, 1},
        {commit, "fifo", false, 1},
        {commit, "link", false, 1},
    };
    for (int run = 0; run < 2 * static_cast<int>(plants.size()); ++run)
    {
        // Each plant as it is, then with every look at a file renumbered.
        const Plant& plant = plants[run % plants.size()];
        const bool renumbered = run >= static_cast<int>(plants.size());
        SCOPED_TRACE(plant.name + " " + plant.text + (renumbered ? " renumbered" : ""));
        ASSERT_TRUE(writeFileAtomic(victim.c_str(), "victim", 6));
        std::string text = plant.text;
        if (plant.plantStaging)
        {
            ASSERT_TRUE(writeFileAtomic(planted.c_str(), "planted", 7));
            const std::string::size_type at = text.find("planted");
            if (at != std::string::npos)
                text.replace(at, 7, identityOf(planted));
            else
                text.replace(text.find(someone), someone.size(), identityOf(planted));
        }
        std::string path = second + plant.name;
        if (text.find("../evil") != std::string::npos)
        {
            fs::create_directory_symlink(second, root + "evil");
            const std::string back = record({"member", "../first"});
            ASSERT_TRUE(writeFileAtomic((second + member).c_str(), back.data(), back.size()));
            path = first + plant.name;
        }
        if (text == "fifo")
            ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600));
        else if (text == "link")
            fs::create_symlink(victim, path);
        else
            ASSERT_TRUE(writeFileAtomic(path.c_str(), text.data(), text.size()));
        const std::string printed =
            TestSupport::printed([&] {
                FileFaults::renumber(renumbered);
                removeStaleTemporariesAtomic(fs::path(path).parent_path().c_str());
                FileFaults::renumber(false);
            });
        EXPECT_EQ(plant.lines, std::count(printed.begin(), printed.end(), '\n')) << printed;
        EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
        fs::remove(root + "evil");
        fs::remove(second + member);
        EXPECT_EQ("victim", TestSupport::readFile(victim));
        EXPECT_EQ("old", state());
        fs::remove(planted);
    }
}

// A record that cannot be read now stays, and is said once in a run however
// often its folders are scanned, its folder named as it is (not as a sibling
// reached from the first); once it can be read, the next scan settles it.
// The same for the member record in the second folder, and for a commit
// whose staging files cannot be read in that run. Meanwhile it holds back
// the saves of the files its writer was saving, naming itself, and no other
// file of either folder. Records may be read by whoever may read the files
// they guard (the group, under a umask that gives new files to the owner
// alone), and written by their writer alone (under no umask at all).
TEST_F(Group, RecordThatCannotBeReadIsSaidOnce)
{
    writeOld();
    ASSERT_TRUE(stageAndCommit(-1, -1));
    const int calls = FileFaults::count();
    const mode_t umask = ::umask(077);
    for (const std::string which : {"commit", "member", "staging"})
    {
        SCOPED_TRACE(which);
        const bool member = which == "member", open = which == "staging";
        ::umask(open ? 0 : 077);
        std::string record;
        for (int killAt = 0; killAt < calls && record.empty(); ++killAt)
        {
            writeOld();
            for (const std::size_t i : {0, 2})
                ASSERT_EQ(0, ::chmod(targets[i].c_str(), open ? 0666 : 0640));
            ASSERT_EQ(-SIGKILL, commitInChild(-1, killAt, true));
            for (const auto& entry : fs::directory_iterator(first))
                if (entry.path().filename().string().compare(0, 14, ".group-commit.") == 0 &&
                    entry.path().filename().string().find(".tmp.") == std::string::npos)
                    record = entry.path().filename().string();
        }
        ASSERT_FALSE(record.empty());
        for (const std::string& path : {first + record, second + ".group-member." + record.substr(14)})
            EXPECT_EQ(fs::perms(open ? 0644 : 0640), fs::status(path).permissions() & fs::perms::all) << path;
        const std::string unread = member ? ".group-member." + record.substr(14) : which == "staging" ? ".a.png.tmp.*" : record;
        const std::string printed = TestSupport::printed([&] {
            FileFaults::failReadsOf(unread.c_str(), EIO);
            for (int scan = 0; scan < 4; ++scan)
                for (const std::string& folder : {first, second})
                {
                    removeStaleTemporariesAtomic(folder.c_str());
                    EXPECT_TRUE(writeFileAtomic((folder + "other.bin").c_str(), "other", 5)) << folder;
                }
            const std::string& held = targets[member ? 2 : 0];
            EXPECT_FALSE(writeFileAtomic(held.c_str(), "held", 4)) << held;
            EXPECT_EQ(std::string("the interrupted save recorded in ") + (member && which != "staging" ? second + unread : first + record) +
                          " holds it back (" + std::strerror(EIO) + ")",
                      atomicFailure(errno));
            FileFaults::failReadsOf("", 0);
        });
        for (const std::string& folder : {first, second})
            fs::remove(folder + "other.bin");
        EXPECT_EQ(1, std::count(printed.begin(), printed.end(), '\n')) << printed;
        EXPECT_NE(std::string::npos,
                  printed.find(which == "staging" ? "Could not finish the interrupted save of " + first + "a.png:"
                                                  : (member ? second : first) + unread + " cannot be read now"))
            << printed;
        EXPECT_NE(std::string::npos, printed.find(std::strerror(EIO))) << printed;
        EXPECT_TRUE(fs::exists(first + record));
        removeStaleTemporariesAtomic(second.c_str());
        EXPECT_NE("mixed", state());
        EXPECT_EQ(std::vector<std::string>(), leftovers());
    }
    ::umask(umask);
}

// A killed commit some of whose files are gone at the next scan says what
// it did in one line, and leaves each file old or new with nothing else: a
// staging file gone takes it back, or drops it when nothing was in place
// yet; with the backup of a file it had replaced gone too, it can go
// neither way, and what stands stays.
TEST_F(Group, ACommitMissingItsFilesSaysWhatItDid)
{
    writeOld();
    ASSERT_TRUE(stageAndCommit(-1, -1));
    const int calls = FileFaults::count();
    // What the kill leaves ("old", with the record written, or "mixed"), whether a.png's backup goes too, the
    // line, and what a.png ends as (new.png absent, count.bin old).
    struct Row { const char *killedWith; bool backupGone; const char *said; std::string endsAs; };
    for (const Row& row : {Row{"mixed", false, "count.bin cannot be finished: a file it wrote is gone; it is taken back", "old a"},
                           Row{"mixed", true, "a.png can be neither finished nor taken back", newContent(0)},
                           Row{"old", false, "count.bin cannot be finished: a file it wrote is gone; it had put no file in place, and is dropped", "old a"}})
    {
        SCOPED_TRACE(row.said);
        auto recorded = [this] {
            const std::vector<std::string> names = leftovers();
            return std::any_of(names.begin(), names.end(), [](const std::string& n) {
                return n.find("/.group-commit.") != std::string::npos && n.find(".tmp.") == std::string::npos; });
        };
        for (int killAt = 0; killAt < calls && !(killAt > 0 && recorded() && state() == row.killedWith); ++killAt)
        {
            writeOld();
            ASSERT_EQ(-SIGKILL, commitInChild(-1, killAt, true));
        }
        ASSERT_EQ(row.killedWith, state());
        // count.bin's new file goes; a.png's old one too, with backupGone.
        for (const std::string& name : leftovers())
            if ((name.find("/.count.bin") != std::string::npos && TestSupport::readFile(name) == newContent(2)) ||
                (row.backupGone && name.find("/.a.png") != std::string::npos && TestSupport::readFile(name) == "old a"))
                fs::remove(name);
        const std::string printed = TestSupport::printed([&] {
            for (const std::string& folder : {second, first})
                removeStaleTemporariesAtomic(folder.c_str());
        });
        EXPECT_EQ(1, std::count(printed.begin(), printed.end(), '\n')) << printed;
        EXPECT_NE(std::string::npos, printed.find(row.said)) << printed;
        EXPECT_EQ(row.endsAs, TestSupport::readFile(targets[0]));
        EXPECT_TRUE(!fs::exists(targets[1]) && TestSupport::readFile(targets[2]) == "old count");
        EXPECT_EQ(std::vector<std::string>(), leftovers());
    }
}

// A record of the version before (files known by inode number, size and
// modification time), left by a save killed between its renames where old
// files are moved aside, is still finished after an update: by size and
// modification time, whatever inode numbers the files have now. Also when
// an old file not yet replaced has the new file's size and was written in
// the same second as it: its staging file, still there, proves that its
// rename had not happened.
TEST_F(Group, RecordOfTheVersionBeforeIsFinished)
{
    for (const bool stamped : {false, true})
    {
        SCOPED_TRACE(stamped ? "old count stamped in the new one's second" : "plain");
        writeOld();
        const std::string pid = ".tmp.999999.";
        const std::vector<std::string> staging = {".a.png" + pid + "1", ".new.png" + pid + "2", ".count.bin" + pid + "3"};
        for (std::size_t i = 0; i < targets.size(); ++i)
            writeText(fs::path(targets[i]).parent_path().string() + "/" + staging[i], newContent(i));
        if (stamped)
        {
            // As long as the new count, and in the same second.
            writeText(targets[2], std::string(newContent(2).size(), 'o'));
            struct stat written;
            ASSERT_EQ(0, ::stat((second + staging[2]).c_str(), &written));
            const struct timespec times[2] = {written.st_mtim, written.st_mtim};
            ASSERT_EQ(0, ::utimensat(AT_FDCWD, targets[2].c_str(), times, 0));
        }
        auto was = [](const std::string& path) {
            struct stat status;
            ::lstat(path.c_str(), &status);
            return std::to_string(status.st_ino) + " " + std::to_string(status.st_size) + " " +
                   std::to_string(status.st_mtim.tv_sec) + " " + std::to_string(status.st_mtim.tv_nsec);
        };
        const std::string countWas = was(targets[2]);
        fs::rename(targets[0], first + ".a.png" + pid + "4"); // moved aside; the others not yet
        const std::vector<std::string> fields = {
            "commit", "2", "../second",
            "0", staging[0], "a.png", ".a.png" + pid + "4", was(first + staging[0]), was(first + ".a.png" + pid + "4"),
            "0", staging[1], "new.png", "", was(first + staging[1]), "",
            "1", staging[2], "count.bin", ".count.bin" + pid + "5", was(second + staging[2]), countWas};
        auto record = [](const std::vector<std::string>& fields) {
            std::string text = "tovrane-atomic-group 2\n";
            for (const std::string& f : fields)
                text += std::to_string(f.size()) + " " + f + "\n";
            return text + "end\n";
        };
        writeText(first + ".group-commit.999999.7", record(fields));
        writeText(second + ".group-member.999999.7", record({"member", "../first"}));
        const std::string printed = TestSupport::printed([&] {
            FileFaults::renumber(true);
            removeStaleTemporariesAtomic(second.c_str());
            FileFaults::renumber(false);
        });
        EXPECT_EQ("", printed);
        EXPECT_EQ("new", state());
        EXPECT_EQ(std::vector<std::string>(), leftovers());
    }
}
