// The real host program, run headless with a fixed step on the test module.
#include "PngFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
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

    std::vector<TraceLine> all(const std::string& event) const
    {
        std::vector<TraceLine> found;
        for (const TraceLine& line : trace)
            if (line.event == event)
                found.push_back(line);
        return found;
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

class HostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::string(TOVRANE_BINARY_DIR) + "/host-test/" + info->name() + "/";
        std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str());
    }

    std::string file(const std::string& name) const { return folder + name; }

    void writeScript(const std::string& text)
    {
        std::ofstream out(file("script.txt"));
        out << text;
    }

    // Runs the host on the test module with the plan and the extra options.
    HostRun run(const std::string& plan, const std::string& options, bool withModule = true)
    {
        setenv("TOVRANE_TEST_MODULE", plan.c_str(), 1);
        std::string command = std::string(TOVRANE_HOST_PROGRAM) + " --headless --data '" + file("data") +
                              "' --trace '" + file("trace.txt") + "' " +
                              (withModule ? std::string("--module ") + TOVRANE_TEST_MODULE_FILE + " " : "") + options +
                              " > '" + file("output.txt") + "' 2>&1";
        HostRun result;
        int raw = std::system(command.c_str());
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

    std::string folder;
};

unsigned int firstNumber(const std::string& text) { return static_cast<unsigned int>(std::stoul(text)); }
}

TEST_F(HostTest, RunsTheRequestedFramesAndExitsCleanly)
{
    HostRun r = run("", "--fixed-step 20 --frames 10 --locale en-gb --player 2 --cheats --title '" + file("t") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    std::vector<TraceLine> updates = r.all("module-update");
    ASSERT_EQ(10u, updates.size());
    for (unsigned int i = 0; i < updates.size(); ++i)
    {
        EXPECT_EQ(i + 1, updates[i].frame);
        EXPECT_EQ(i + 1, firstNumber(updates[i].detail));
    }
    // Enter, the updates, Exit, then the object is released.
    EXPECT_LT(r.indexOf("module-enter"), r.indexOf("module-update"));
    EXPECT_LT(r.indexOf("module-update"), r.indexOf("module-exit"));
    EXPECT_LT(r.indexOf("module-exit"), r.indexOf("module-destroyed"));
    EXPECT_EQ(1u, r.all("module-exit").size());
    EXPECT_EQ("frames", r.all("Exit").at(0).detail);
    // The host's options reached the platform before the module started.
    EXPECT_EQ(file("t/"), r.all("module-title").at(0).detail) << "title paths end in /";
    EXPECT_EQ("en-gb 2 cheats", r.all("module-system").at(0).detail);
}

TEST_F(HostTest, FixedStepClockStartsAboveZeroAndAdvancesPerFrame)
{
    HostRun r = run("", "--fixed-step 16 --frames 5");
    ASSERT_EQ(0, r.status) << r.output;
    std::vector<TraceLine> updates = r.all("module-update");
    ASSERT_EQ(5u, updates.size());
    std::istringstream first(updates[0].detail);
    unsigned int count = 0, start = 0;
    first >> count >> start;
    EXPECT_GT(start, 0u);
    for (unsigned int i = 0; i < updates.size(); ++i)
    {
        std::istringstream words(updates[i].detail);
        unsigned int n = 0, time = 0;
        words >> n >> time;
        EXPECT_EQ(start + 16 * i, time) << "the module's clock at frame " << i + 1;
        EXPECT_EQ(time, updates[i].time) << "the trace shows the same clock";
    }
}

TEST_F(HostTest, ScriptedTouchesAndButtonsArriveAtTheirFrames)
{
    writeScript("# touches and buttons\n"
                "3 tap 100 50\n"
                "5 down 10 20\n"
                "5 move 11 21\n"
                "6 up 12 22\n"
                "200ms press enter   # frame 11 at 20 ms a frame\n"
                "13 release enter\n"
                "14 click 0x200\n"
                "15 bogus line\n");
    HostRun r = run("", "--fixed-step 20 --frames 16 --script '" + file("script.txt") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("script.txt:9: unknown action \"bogus\""));

    std::vector<TraceLine> touches = r.all("module-touch");
    ASSERT_EQ(5u, touches.size());
    EXPECT_EQ(3u, touches[0].frame);
    EXPECT_EQ("1 100 50", touches[0].detail);
    EXPECT_EQ(4u, touches[1].frame) << "a tap lifts on the next frame";
    EXPECT_EQ("0 100 50", touches[1].detail);
    EXPECT_EQ(5u, touches[2].frame);
    EXPECT_EQ("1 10 20", touches[2].detail);
    EXPECT_EQ(5u, touches[3].frame);
    EXPECT_EQ("1 11 21", touches[3].detail);
    EXPECT_EQ(6u, touches[4].frame);
    EXPECT_EQ("0 12 22", touches[4].detail);

    std::vector<TraceLine> buttons = r.all("module-button");
    ASSERT_EQ(4u, buttons.size());
    EXPECT_EQ(11u, buttons[0].frame);
    EXPECT_EQ("16 16", buttons[0].detail) << "Enter down: state and transition 0x10";
    EXPECT_EQ(13u, buttons[1].frame);
    EXPECT_EQ("0 16", buttons[1].detail);
    EXPECT_EQ(14u, buttons[2].frame);
    EXPECT_EQ("512 512", buttons[2].detail);
    EXPECT_EQ(15u, buttons[3].frame);
    EXPECT_EQ("0 512", buttons[3].detail);
}

TEST_F(HostTest, ScreenshotsShowTheModulesPicture)
{
    writeScript("6 tap 5 5\n");
    HostRun r = run("color=255,0,0;touchColor=0,255,0",
        "--fixed-step 20 --frames 8 --script '" + file("script.txt") + "' --screenshot 2:'" + file("shots/two.png") +
            "' --screenshot 7:'" + file("shots/seven.png") + "' --screenshot 50:'" + file("never.png") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("No screenshot for frame 50"));

    TovraneTools::Picture two, seven;
    ASSERT_TRUE(TovraneTools::readPng(file("shots/two.png"), two));
    ASSERT_TRUE(TovraneTools::readPng(file("shots/seven.png"), seven));
    ASSERT_EQ(320, two.width());
    ASSERT_EQ(240, two.height());
    for (auto point : {std::make_pair(0, 0), std::make_pair(319, 239), std::make_pair(160, 120)})
    {
        TovraneTools::Colour before = two.get(point.first, point.second);
        TovraneTools::Colour after = seven.get(point.first, point.second);
        EXPECT_EQ(255, before.r);
        EXPECT_EQ(0, before.g);
        EXPECT_EQ(0, before.b);
        EXPECT_EQ(0, after.r) << "the frame after the touch is drawn in the touch colour";
        EXPECT_EQ(255, after.g);
    }
}

TEST_F(HostTest, PopAppEndsTheRunAfterThatFrame)
{
    HostRun r = run("pop=7", "--fixed-step 20 --frames 100");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ(7u, r.all("module-update").size());
    ASSERT_EQ(1u, r.all("PopApp").size());
    EXPECT_EQ(7u, r.all("PopApp")[0].frame);
    EXPECT_EQ("PopApp", r.all("Exit").at(0).detail);
    EXPECT_LT(r.indexOf("PopApp"), r.indexOf("module-exit"));
    EXPECT_EQ(1u, r.all("module-destroyed").size());
}

TEST_F(HostTest, MovieSuspendsForTwoSecondsOfTheClock)
{
    HostRun r = run("push=5:Lines_Intro.swf;color=0,0,255",
        "--fixed-step 20 --frames 120 --title '" + file("title") + "' --screenshot 50:'" + file("card.png") +
            "' --screenshot 110:'" + file("after.png") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("flash/Lines_Intro.swf is not in the title"));

    ASSERT_EQ(1u, r.all("PushApp").size());
    EXPECT_EQ(file("title/flash/Lines_Intro.swf"), r.all("PushApp")[0].detail);
    ASSERT_EQ(1u, r.all("module-suspend").size());
    ASSERT_EQ(1u, r.all("module-resume").size());
    TraceLine suspend = r.all("module-suspend")[0];
    TraceLine resume = r.all("module-resume")[0];
    EXPECT_EQ(5u, suspend.frame) << "suspended after the Update that asked for the movie";
    EXPECT_EQ(2000u, firstNumber(resume.detail) - firstNumber(suspend.detail));
    EXPECT_EQ(105u, resume.frame);

    // No Update while the movie plays; the module's frames resume at once.
    for (const TraceLine& update : r.all("module-update"))
        EXPECT_TRUE(update.frame <= 5 || update.frame >= 105) << update.frame;
    EXPECT_EQ(120u - 99u, r.all("module-update").size());

    // Inactivity off before the push, on again after the return.
    std::vector<TraceLine> off = r.all("inactivity-off"), on = r.all("inactivity-on");
    ASSERT_EQ(1u, off.size());
    ASSERT_EQ(1u, on.size());
    EXPECT_LT(r.indexOf("inactivity-off"), r.indexOf("PushApp"));
    EXPECT_GT(r.indexOf("inactivity-on"), r.indexOf("module-resume"));

    TovraneTools::Picture card, after;
    ASSERT_TRUE(TovraneTools::readPng(file("card.png"), card));
    ASSERT_TRUE(TovraneTools::readPng(file("after.png"), after));
    EXPECT_NE(255, card.get(2, 2).b) << "the card, not the module's blue";
    bool opaque = true;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x)
            opaque = opaque && card.get(x, y).a == 255;
    EXPECT_TRUE(opaque) << "the card covers the whole screen";
    EXPECT_EQ(255, after.get(2, 2).b);
}

TEST_F(HostTest, TouchOrEnterEndsTheMovieEarly)
{
    writeScript("20 down 160 120\n"
                "25 move 10 10   # the rest of the gesture is the movie's\n"
                "26 up 10 10\n"
                "60 click enter\n"
                "70 tap 1 2\n");
    HostRun r = run("push=5:A.swf", "--fixed-step 20 --frames 80 --script '" + file("script.txt") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    std::vector<TraceLine> resumes = r.all("module-resume");
    ASSERT_EQ(1u, resumes.size());
    EXPECT_EQ(20u, resumes[0].frame);
    // Neither the touch that ended the movie nor its drag and lift reach the
    // module; the Enter click and the later tap do.
    std::vector<TraceLine> touches = r.all("module-touch");
    ASSERT_EQ(2u, touches.size());
    EXPECT_EQ("1 1 2", touches[0].detail);
    EXPECT_EQ(70u, touches[0].frame);
    EXPECT_EQ("0 1 2", touches[1].detail);
    EXPECT_EQ(2u, r.all("module-button").size());
}

TEST_F(HostTest, EnterEndsTheMovie)
{
    writeScript("9 press enter\n");
    HostRun r = run("push=2:B.swf", "--fixed-step 20 --frames 12 --script '" + file("script.txt") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    ASSERT_EQ(1u, r.all("module-resume").size());
    EXPECT_EQ(9u, r.all("module-resume")[0].frame);
    EXPECT_TRUE(r.all("module-button").empty()) << "the press belongs to the movie";
}

TEST_F(HostTest, ClosingTheWindowDuringAMovieResumesBeforeExit)
{
    writeScript("10 quit\n");
    HostRun r = run("push=3:C.swf", "--fixed-step 20 --frames 50 --script '" + file("script.txt") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ("closed", r.all("Exit").at(0).detail);
    EXPECT_EQ(3u, r.all("module-update").size());
    ASSERT_NE(-1, r.indexOf("module-resume"));
    EXPECT_LT(r.indexOf("module-resume"), r.indexOf("module-exit"));
}

TEST_F(HostTest, WithoutAContextTheScreenshotIsBlack)
{
    HostRun r = run("nogl", "--fixed-step 20 --frames 2 --screenshot 1:'" + file("black.png") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    TovraneTools::Picture black;
    ASSERT_TRUE(TovraneTools::readPng(file("black.png"), black));
    EXPECT_EQ(0, black.get(100, 100).r);
    EXPECT_EQ(255, black.get(100, 100).a);
}

TEST_F(HostTest, BadCommandLinesAndModulesAreRefused)
{
    EXPECT_EQ(2, run("", "--frames").status);
    EXPECT_EQ(2, run("", "--fixed-step 0").status);
    EXPECT_EQ(2, run("", "--screenshot 0:x.png").status);
    HostRun unknown = run("", "--colour red");
    EXPECT_EQ(2, unknown.status);
    EXPECT_NE(std::string::npos, unknown.output.find("unknown option --colour"));

    HostRun missing = run("", "--frames 1 --module '" + file("nothing.so") + "'", false);
    EXPECT_EQ(1, missing.status);
    EXPECT_NE(std::string::npos, missing.output.find("Could not load the game module"));

    // A shared library without CreateApp.
    HostRun noFactory = run("", "--frames 1 --module libm.so.6", false);
    EXPECT_EQ(1, noFactory.status);
    EXPECT_NE(std::string::npos, noFactory.output.find("exports no CreateApp"));
}
