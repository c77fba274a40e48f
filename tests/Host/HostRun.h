#ifndef TESTS_HOST_HOSTRUN_H
#define TESTS_HOST_HOSTRUN_H

// Runs the real host program and reads back its output and its trace
// ("<frame> <ms> <event> <detail>" a line).

#include "PngFile.h"
#include "support/PictureDifference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct TraceLine
{
    unsigned int frame = 0;
    unsigned int time = 0;
    std::string event;
    std::string detail;
};

struct HostRun
{
    int status = -1;
    std::string output;
    std::vector<TraceLine> trace;

    // The lines of the event whose detail contains `part`.
    std::vector<TraceLine> all(const std::string& event, const std::string& part = std::string()) const
    {
        std::vector<TraceLine> found;
        for (const TraceLine& line : trace)
            if (line.event == event && line.detail.find(part) != std::string::npos)
                found.push_back(line);
        return found;
    }
    // The first such line; frame 0 and an empty event when there is none.
    TraceLine first(const std::string& event, const std::string& part = std::string()) const
    {
        std::vector<TraceLine> found = all(event, part);
        return found.empty() ? TraceLine() : found.front();
    }
    // Position of the first line of the event, or -1.
    int indexOf(const std::string& event) const
    {
        for (size_t i = 0; i < trace.size(); ++i)
            if (trace[i].event == event)
                return static_cast<int>(i);
        return -1;
    }
};

// A fixture with a fresh folder per test and process,
// `<binary dir>/<area>/<suite>.<test>-<pid>/`: two runs of the same test (two
// test commands on one build) never share one. It is removed after a test that
// passed and kept after one that failed.
class HostFolderTest : public ::testing::Test
{
protected:
    explicit HostFolderTest(const char* area) : area(area) {}
    void SetUp() override
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        std::replace(name.begin(), name.end(), '/', '.');
        folder = std::string(TOVRANE_BINARY_DIR) + "/" + area + "/" + name + "-" + std::to_string(::getpid()) + "/";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override
    {
        if (!HasFailure())
            std::filesystem::remove_all(folder);
    }
    std::string file(const std::string& name) const { return folder + name; }
    void script(const std::string& text) { std::ofstream(file("script.txt")) << text; }

    // The host, headless, with its data and trace in the test's folder.
    HostRun runHost(const std::string& options, const std::string& environment = std::string()) const
    {
        const std::string command = environment + " " + TOVRANE_HOST_PROGRAM + " --headless --data '" + file("data") +
                                    "' --trace '" + file("trace.txt") + "' " + options + " > '" + file("output.txt") +
                                    "' 2>&1";
        HostRun result;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::ifstream output(file("output.txt"));
        std::stringstream text;
        text << output.rdbuf();
        result.output = text.str();
        std::ifstream trace(file("trace.txt"));
        for (std::string line; std::getline(trace, line);)
        {
            std::istringstream words(line);
            TraceLine entry;
            words >> entry.frame >> entry.time >> entry.event;
            std::getline(words >> std::ws, entry.detail);
            result.trace.push_back(entry);
        }
        return result;
    }

    // The screenshot `shot` (a file of the test's folder) equals the reviewed
    // picture `golden` under tests/data/; with TOVRANE_WRITE_GOLDENS set a
    // missing one is written instead. A differing screenshot is kept beside
    // the build (failedPicturePath), since the test's folder is emptied when
    // it runs again.
    void expectShotGolden(const std::string& shot, const std::string& golden) const
    {
        const std::string path = std::string(TOVRANE_TEST_DATA) + "/" + golden;
        if (std::getenv("TOVRANE_WRITE_GOLDENS") && !std::filesystem::exists(path))
            std::filesystem::copy_file(file(shot), path);
        TovraneTools::Picture shown, expected;
        ASSERT_TRUE(TovraneTools::readPng(file(shot), shown)) << file(shot);
        ASSERT_TRUE(TovraneTools::readPng(path, expected)) << path;
        const std::string difference = TestSupport::pictureDifference(shown.data(), shown.width(), shown.height(),
            expected.data(), expected.width(), expected.height(), 4);
        if (difference.empty())
            return;
        const std::filesystem::path kept = TestSupport::failedPicturePath(path);
        std::filesystem::create_directories(kept.parent_path());
        std::filesystem::copy_file(file(shot), kept, std::filesystem::copy_options::overwrite_existing);
        ADD_FAILURE() << path << ": " << difference << "; the screenshot is " << kept.string();
    }

    // Two screenshots of the test's folder are the same picture.
    void expectSameShots(const std::string& shot, const std::string& other, const std::string& why) const
    {
        TovraneTools::Picture a, b;
        ASSERT_TRUE(TovraneTools::readPng(file(shot), a)) << file(shot);
        ASSERT_TRUE(TovraneTools::readPng(file(other), b)) << file(other);
        const std::string difference =
            TestSupport::pictureDifference(a.data(), a.width(), a.height(), b.data(), b.width(), b.height(), 4);
        EXPECT_TRUE(difference.empty()) << why << ": " << file(shot) << " against " << file(other) << ": "
                                        << difference;
    }

    const char* area;
    std::string folder;
};

#endif
