#ifndef TESTS_PROFILE_KILLEDSLOTSAVES_H
#define TESTS_PROFILE_KILLEDSLOTSAVES_H

// Saves of a picture slot or a flipbook slot killed at each of their renames
// (or settled by a load failing at each of its calls), and what the next
// load leaves of the slot: wholly old, wholly new, or broken.
#include "ExfatVolume.h"
#include "ProfileTestSupport.h"

#include "support/FileFaults.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace KilledSaves
{
namespace files = std::filesystem;
using namespace Tovrane;
using namespace ProfileTest;

// Hidden files (temporaries, staging files, backups, records) anywhere in
// the data folder.
inline std::vector<std::string> hiddenFiles()
{
    std::vector<std::string> paths;
    for (const auto& entry : files::recursive_directory_iterator(root() + "/data"))
        if (entry.path().filename().string()[0] == '.')
            paths.push_back(entry.path().string());
    return paths;
}

// What a broken run left and said, on one line: the names of the hidden
// files, and the lines printed.
inline std::string leftAndSaid(const std::vector<std::string>& left, std::string printed)
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
// small frames and the frame counts), in one of two versions. The first
// save of a slot has no files for its old version.
struct SlotSave
{
    bool flipbook;
    bool first = false;
    std::string name() const { return std::string(first ? "first " : "") + (flipbook ? "flipbook" : "picture"); }
    bool save(ScrivletPlayer& profile, int version) const { return saveSlotVersion(profile, flipbook, version); }
    // Puts the old version back.
    bool putOld(ScrivletPlayer& profile) const
    {
        if (!first)
            return save(profile, 0);
        for (const std::string& path : paths(profile))
            files::remove(path);
        return true;
    }
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
inline bool makeVersions(const SlotSave& kind, std::vector<std::string> (&versions)[2])
{
    for (int version : {1, 0})
    {
        if (!(version == 1 ? kind.save(*Fixture::loadProfile(), 1) : kind.putOld(*Fixture::loadProfile())))
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
inline std::string slotPattern(const std::vector<std::string>& now, const std::vector<std::string> (&versions)[2])
{
    std::string pattern;
    for (std::size_t i = 0; i < now.size(); ++i)
        pattern += now[i] == versions[1][i] ? 'n' : now[i] == versions[0][i] ? 'o' : now[i].empty() ? '-' : '?';
    return pattern;
}

inline std::string joined(const std::vector<std::string>& lines)
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
inline int killSave(const SlotSave& kind, bool noLinks, int killAt)
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
inline void killAtEachRenameOf(const SlotSave& kind, bool noLinks, const std::string& where,
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
        ASSERT_TRUE(kind.putOld(*profile));
        ASSERT_EQ(versions[0], kind.slot(*Fixture::loadProfile()));
    }
}

// How many of the slot's files hold version 1, read as they stand (no load,
// which would settle a killed save).
inline std::size_t newFiles(const std::vector<std::string>& paths, const std::vector<std::string> (&versions)[2])
{
    std::size_t placed = 0;
    for (std::size_t i = 0; i < paths.size(); ++i)
        placed += TestSupport::readFile(paths[i]) == versions[1][i];
    return placed;
}

// Puts version 0 back whole, whatever a run left.
inline void restoreOld(const SlotSave& kind, const std::vector<std::string> (&versions)[2])
{
    for (const std::string& name : hiddenFiles())
        files::remove(name);
    ASSERT_TRUE(kind.putOld(*Fixture::loadProfile()));
    ASSERT_EQ(versions[0], kind.slot(*Fixture::loadProfile()));
}

// Kills the save of version 1 over version 0 once `placed` of its files are
// in place (six frames of a flipbook, a picture without its thumbnail), then
// loads the profile with its file call numbered F (an open, a read, a look
// at a file...) failing with EIO, for every F of that load in turn, then
// loads it plainly: the slot must then be wholly old or wholly new, with
// nothing hidden left. No line may call the killed save out of date (nothing
// saved since), and a line about a kept save names the failed call's EIO.
inline void failEachCallOfTheLoad(const SlotSave& kind, bool noLinks, std::size_t placed, const std::string& where,
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

// The same for a picture, then a flipbook; with `firstSaves`, then for
// each as the slot's first save.
inline void killAtEachRename(bool noLinks, const std::string& where, const std::function<bool()>& between,
                             Outcomes& outcomes, bool perFile = false, bool firstSaves = false)
{
    for (const SlotSave kind : {SlotSave{false}, SlotSave{true}, SlotSave{false, true}, SlotSave{true, true}})
    {
        if (kind.first && !firstSaves)
            break;
        killAtEachRenameOf(kind, noLinks, where, between, outcomes, perFile);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

// Prints how the runs ended and fails with the broken ones; unless
// `bothWays`, every run must have ended new.
inline void expectWhole(const std::string& what, const Outcomes& outcomes, bool bothWays = true)
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
inline bool copyPlayers()
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
// format, cut short, or gone; or zero-filled with, beside each of the
// save's temporaries, a temporary of the same file that another writer,
// long gone, made later.
inline const char* const damages[] = {"records zero-filled", "records of a later format", "records cut short",
                                      "records gone", "records zero-filled, another writer's files"};
inline bool damageRecords(int how)
{
    for (const std::string& path : hiddenFiles())
        if (how == 4 && path.find(".tmp.") != std::string::npos && path.find("/.group-") == std::string::npos)
            writeText(path.substr(0, path.rfind(".tmp.")) + ".tmp.2147480000.18000000000000000000", "another writer's");
    how %= 4;
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
}

#endif
