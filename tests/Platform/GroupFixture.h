#ifndef TESTS_PLATFORM_GROUPFIXTURE_H
#define TESTS_PLATFORM_GROUPFIXTURE_H

// Three files in two folders replaced together, with faults armed and the
// writer run in a forked child, for the tests of grouped saves and of their
// records.
#include "support/DataRoot.h"
#include "support/FileFaults.h"

#include "AtomicFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace GroupTest
{
namespace fs = std::filesystem;

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Three files in two folders: two replace old ones, one is new.
struct Group : ::testing::Test
{
    void SetUp() override
    {
        root = TestSupport::freshFolder("group");
        first = root + "first/";
        second = root + "second/";
        fs::create_directories(first);
        fs::create_directories(second);
        ASSERT_EQ(0, ::chdir(TestSupport::scratchFolder().c_str()));
        targets = {first + "a.png", first + "new.png", second + "count.bin"};
    }
    void TearDown() override
    {
        FileFaults::disarm();
        fs::remove_all(root);
        fs::remove(TestSupport::scratchFolder() + "group-link");
    }

    void writeOld()
    {
        // What an earlier killed commit left is settled first, so that it
        // does not act after the old files are written.
        for (const std::string& folder : {first, second})
            removeStaleTemporariesAtomic(folder.c_str());
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
        FileFaults::renumber(renumbered);
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

    // The two folders as a later start may name them, by spellings that
    // differ as text: whole, from the working folder, through a link, from
    // a folder beside it, and with the data folder moved (`moved` tells
    // where it went: it is moved back by `restore`).
    std::vector<std::string> spelled(int spelling, std::string& moved) const
    {
        const std::string scratch = TestSupport::scratchFolder();
        const std::string base = fs::path(scratch).parent_path().filename().string();
        moved.clear();
        switch (spelling % 5)
        {
        case 1:
            return {"./group//first/.", "group/second/"};
        case 2:
            fs::create_directory_symlink(root, scratch + "group-link");
            return {scratch + "group-link/first", scratch + "group-link//second"};
        case 3:
            return {"../" + base + "/group/first", "../" + base + "/./group/second"};
        case 4:
            moved = scratch + "group-moved";
            fs::rename(root, moved);
            return {moved + "/first", moved + "/second/"};
        }
        return {first, second};
    }
    void restore(const std::string& moved) const
    {
        fs::remove(TestSupport::scratchFolder() + "group-link");
        if (!moved.empty())
            fs::rename(moved, root);
    }

    std::string root, first, second;
    std::vector<std::string> targets;
    // Every look at a file gives it a new inode number, in the commit and in
    // the scans after it.
    bool renumbered = false;
};
}

#endif
