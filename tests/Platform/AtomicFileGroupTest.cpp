// Files replaced together, with the writer killed or failing at every
// file-system call of the commit.
#include "support/DataRoot.h"
#include "support/FileFaults.h"

#include "AtomicFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
namespace fs = std::filesystem;

// Three files in two folders: two replace old ones, one is new.
struct Group : ::testing::Test
{
    void SetUp() override
    {
        first = TestSupport::freshFolder("group-first");
        second = TestSupport::freshFolder("group-second");
        ASSERT_EQ(0, ::chdir(TestSupport::scratchFolder().c_str()));
        targets = {first + "a.png", first + "new.png", second + "count.bin"};
    }
    void TearDown() override
    {
        FileFaults::disarm();
        fs::remove_all(first);
        fs::remove_all(second);
    }

    void writeOld()
    {
        for (const std::string& target : targets)
            fs::remove(target);
        ASSERT_TRUE(writeFileAtomic(targets[0].c_str(), "old a", 5));
        ASSERT_TRUE(writeFileAtomic(targets[2].c_str(), "old count", 9));
    }
    std::string newContent(std::size_t i) const { return "new " + fs::path(targets[i]).filename().string(); }

    // Stages the new files, then commits them with the faults armed.
    bool stageAndCommit(int failAt, int killAt, bool links = true)
    {
        for (std::size_t i = 0; i < targets.size(); ++i)
        {
            const std::string content = newContent(i);
            if (!writeFileAtomic(stageAtomic(targets[i].c_str()).c_str(), content.data(), content.size()))
                return false;
        }
        FileFaults::arm(failAt, EIO, killAt);
        FileFaults::refuseLinks(!links);
        const bool done = replaceStagedAtomic(targets);
        FileFaults::disarm();
        return done;
    }

    // Runs a commit in a child: its exit status, or -SIGKILL.
    int commitInChild(int failAt, int killAt, bool links)
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(stageAndCommit(failAt, killAt, links) ? 0 : 1);
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }

    // "old" or "new" when every target is wholly that; anything else is a fault.
    std::string state() const
    {
        bool old = true, fresh = true;
        for (std::size_t i = 0; i < targets.size(); ++i)
        {
            const bool there = fs::exists(targets[i]);
            const std::string content = there ? TestSupport::readFile(targets[i]) : std::string();
            fresh = fresh && content == newContent(i);
            old = old && (i == 1 ? !there : content == (i == 0 ? "old a" : "old count"));
        }
        return old ? "old" : fresh ? "new" : "mixed";
    }

    // Names in both folders other than the targets'.
    std::vector<std::string> leftovers() const
    {
        std::vector<std::string> names;
        for (const std::string& folder : {first, second})
            for (const auto& entry : fs::directory_iterator(folder))
                if (std::find(targets.begin(), targets.end(), entry.path().string()) == targets.end())
                    names.push_back(entry.path().string());
        return names;
    }

    std::string first, second;
    std::vector<std::string> targets;
};
}

// Each run fails one call of the commit (or none) and kills the writer at a
// later one, with hard links and, as on a filesystem without them, where the
// commit moves the old files aside instead. After the next scan of either folder, whichever comes first,
// the three files are all old or all new, and nothing else is left. A live
// failure always leaves them old, a commit that returns true new.
TEST_F(Group, KilledOrFailingAtAnyCallEveryFileIsOldOrEveryFileNew)
{
    writeOld();
    ASSERT_TRUE(stageAndCommit(-1, -1));
    const int calls = FileFaults::count();
    ASSERT_GT(calls, 10);
    int runs = 0, outcomes[2] = {0, 0};
    for (bool links : {true, false})
    {
        for (int failAt = -1; failAt < calls; ++failAt)
            for (int killAt = failAt + 1;; ++killAt)
            {
                SCOPED_TRACE(std::string(links ? "" : "no links, ") + "fail at " + std::to_string(failAt) +
                             ", kill at " + std::to_string(killAt));
                writeOld();
                const int status = commitInChild(failAt, killAt, links);
                ASSERT_TRUE(status == 0 || status == 1 || status == -SIGKILL) << status;
                const std::string after = state();
                if (status != -SIGKILL)
                {
                    EXPECT_EQ(status == 0 ? "new" : "old", after) << "as the commit said";
                }
                // Every third killed commit is first met by a scan that itself
                // fails at one of its calls: what it could not finish, the
                // next scan does.
                if (status == -SIGKILL && runs % 3 == 0)
                    TestSupport::printed([&] {
                        FileFaults::arm(runs / 3 % 40, EIO);
                        removeStaleTemporariesAtomic(runs % 2 ? second.c_str() : first.c_str());
                        FileFaults::disarm();
                    });
                // Either folder first, named whole or from the working folder.
                const bool secondFirst = runs % 2 == 1, relative = runs++ % 4 >= 2;
                std::vector<std::string> scans = {secondFirst ? second : first, secondFirst ? first : second};
                for (std::string& folder : scans)
                    folder = relative ? fs::path(folder).parent_path().filename().string() : folder;
                const std::string printed = TestSupport::printed([&] {
                    for (const std::string& folder : scans)
                        removeStaleTemporariesAtomic(folder.c_str());
                });
                EXPECT_EQ("", printed) << "every record left is whole and this system's own";
                const std::string recovered = state();
                ASSERT_NE("mixed", recovered);
                if (status != -SIGKILL)
                {
                    EXPECT_EQ(after, recovered);
                }
                ++outcomes[recovered == "new"];
                ASSERT_EQ(std::vector<std::string>(), leftovers());
                if (status != -SIGKILL)
                    break;
            }
    }
    std::cout << runs << " runs over " << calls << " calls: " << outcomes[0] << " old, " << outcomes[1] << " new\n";
    EXPECT_GT(outcomes[0], 10);
    EXPECT_GT(outcomes[1], 10);
}

// Once every file is in place the commit has succeeded: a folder that
// cannot be synced afterwards is said, and changes nothing.
TEST_F(Group, FolderThatCannotBeSyncedFailsNothing)
{
    writeOld();
    FileFaults::failFolderSyncs(true);
    bool done = false;
    const std::string printed = TestSupport::printed([&] {
        done = stageAndCommit(-1, -1) && writeFileAtomic(targets[0].c_str(), "alone", 5);
    });
    FileFaults::disarm();
    EXPECT_TRUE(done);
    EXPECT_NE(std::string::npos, printed.find("Could not sync the folder " + first.substr(0, first.size() - 1)))
        << printed;
    EXPECT_EQ("alone", TestSupport::readFile(targets[0]));
    EXPECT_EQ(std::vector<std::string>(), leftovers());
}

// Records that are not this system's own (a pipe under a record's name, text
// that is no record, a record naming a file that is not a temporary of its
// target) are removed with one line, nothing they name is touched, and no
// scan waits on them.
TEST_F(Group, RecordsThatAreNotOursAreRemovedAndNothingTheyNameIsTouched)
{
    writeOld();
    const std::string record = first + ".group-commit." + std::to_string(::getpid()) + ".1";
    const std::string victim = second + "victim.txt";
    auto field = [](const std::string& text) { return std::to_string(text.size()) + " " + text + "\n"; };
    const std::string header = "tovrane-atomic-group 1\n";
    const std::vector<std::string> records = {
        "", "not a record", header + field(victim) + field(targets[0]) + field("") + "end\n",
        header + field(first + ".a.png.tmp.1.1") + field(victim) + field("") + "end\n"};
    for (std::size_t i = 0; i <= records.size(); ++i)
    {
        SCOPED_TRACE(i);
        ASSERT_TRUE(writeFileAtomic(victim.c_str(), "victim", 6));
        if (i == records.size())
            ASSERT_EQ(0, ::mkfifo(record.c_str(), 0600));
        else
            ASSERT_TRUE(writeFileAtomic(record.c_str(), records[i].data(), records[i].size()));
        const std::string printed = TestSupport::printed([&] { removeStaleTemporariesAtomic(first.c_str()); });
        EXPECT_EQ("Could not read the record of an interrupted save " + record + "\n", printed);
        EXPECT_FALSE(fs::exists(record));
        EXPECT_EQ("victim", TestSupport::readFile(victim));
        EXPECT_EQ("old", state());
    }
}
