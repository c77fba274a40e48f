// The real host program, run headless with a fixed step on the test module.
#include "HostRun.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>

namespace
{
class HostTest : public HostFolderTest
{
protected:
    HostTest() : HostFolderTest("host-test") {}

    // The host on the test module with its plan and the extra options.
    HostRun run(const std::string& plan, const std::string& options, bool withModule = true)
    {
        return runHost((withModule ? std::string("--module ") + TOVRANE_TEST_MODULE_FILE + " " : "") + options,
                       "TOVRANE_TEST_MODULE='" + plan + "'");
    }
    std::string withScript(const std::string& options) { return options + " --script '" + file("script.txt") + "'"; }
    // A title folder of the test's folder, with one file: the host refuses an empty one.
    std::string title(const std::string& name)
    {
        std::filesystem::create_directories(file(name));
        std::ofstream(file(name + "/readme.txt")) << "a title\n";
        return file(name);
    }

    TovraneTools::Picture picture(const std::string& name)
    {
        TovraneTools::Picture shot;
        EXPECT_TRUE(TovraneTools::readPng(file(name), shot)) << name;
        return shot;
    }
};

unsigned int number(const std::string& text, int which = 0)
{
    std::istringstream words(text);
    unsigned int value = 0;
    for (int i = 0; i <= which; ++i)
        words >> value;
    return value;
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// "frame detail" of each line, to compare whole sequences at once.
std::vector<std::string> framed(const std::vector<TraceLine>& lines)
{
    std::vector<std::string> text;
    for (const TraceLine& line : lines)
        text.push_back(std::to_string(line.frame) + " " + line.detail);
    return text;
}
}

TEST_F(HostTest, RunsTheRequestedFramesOnTheFixedClockAndExitsCleanly)
{
    HostRun r = run("", "--fixed-step 20 --frames 10 --locale en-gb --player 2 --cheats --title '" + title("t") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    std::vector<TraceLine> updates = r.all("module-update");
    ASSERT_EQ(10u, updates.size());
    const unsigned int start = number(updates[0].detail, 1);
    EXPECT_GT(start, 0u);
    for (unsigned int i = 0; i < updates.size(); ++i)
    {
        EXPECT_EQ(i + 1, updates[i].frame);
        EXPECT_EQ(i + 1, number(updates[i].detail));
        EXPECT_EQ(start + 20 * i, number(updates[i].detail, 1)) << "the module's clock at frame " << i + 1;
        EXPECT_EQ(start + 20 * i, updates[i].time) << "the trace shows the same clock";
    }
    // Enter, the updates, Exit, then the object is released.
    EXPECT_LT(r.indexOf("module-enter"), r.indexOf("module-update"));
    EXPECT_LT(r.indexOf("module-update"), r.indexOf("module-exit"));
    EXPECT_LT(r.indexOf("module-exit"), r.indexOf("module-destroyed"));
    EXPECT_EQ(1u, r.all("module-exit").size());
    EXPECT_EQ("frames", r.first("Exit").detail);
    // The host's options reached the platform before the module started.
    EXPECT_EQ(file("t/"), r.first("module-title").detail) << "title paths end in /";
    EXPECT_EQ("en-gb 2 cheats", r.first("module-system").detail);
}

TEST_F(HostTest, ScriptedTouchesAndButtonsArriveAtTheirFrames)
{
    script("# touches and buttons\n"
           "3 tap 100 50\n"
           "5 down 10 20\n"
           "5 move 11 21\n"
           "6 up 12 22\n"
           "200ms press enter   # frame 11 at 20 ms a frame\n"
           "13 release enter\n"
           "14 click 0x200\n"
           "15 bogus\x1b[31m line\n");
    HostRun r = run("", withScript("--fixed-step 20 --frames 16"));
    ASSERT_EQ(0, r.status) << r.output;
    // Printed with its control characters written out.
    EXPECT_NE(std::string::npos, r.output.find("script.txt:9: unknown action \"bogus\\x1b[31m\""));
    // A tap lifts on the next frame; Enter is 0x10 in both state and transition.
    EXPECT_EQ((std::vector<std::string>{"3 1 100 50", "4 0 100 50", "5 1 10 20", "5 1 11 21", "6 0 12 22"}),
              framed(r.all("module-touch")));
    EXPECT_EQ((std::vector<std::string>{"11 16 16", "13 0 16", "14 512 512", "15 0 512"}),
              framed(r.all("module-button")));
}

TEST_F(HostTest, ScreenshotsShowTheModulesPicture)
{
    script("6 tap 5 5\n");
    HostRun r = run("color=255,0,0;touchColor=0,255,0",
                    withScript("--fixed-step 20 --frames 8") + " --screenshot 2:'" + file("shots/two.png") +
                        "' --screenshot 7:'" + file("shots/seven.png") + "' --screenshot 50:'" + file("never.png") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("No screenshot for frame 50"));
    const TovraneTools::Picture two = picture("shots/two.png"), seven = picture("shots/seven.png");
    ASSERT_EQ(320, two.width());
    ASSERT_EQ(240, two.height());
    for (auto point : {std::make_pair(0, 0), std::make_pair(319, 239), std::make_pair(160, 120)})
    {
        const TovraneTools::Colour before = two.get(point.first, point.second);
        const TovraneTools::Colour after = seven.get(point.first, point.second);
        EXPECT_TRUE(before.r == 255 && before.g == 0 && before.b == 0);
        EXPECT_TRUE(after.r == 0 && after.g == 255) << "the frame after the touch is drawn in the touch colour";
    }

    // Without a context the screenshot is black.
    r = run("nogl", "--fixed-step 20 --frames 2 --screenshot 1:'" + file("black.png") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    const TovraneTools::Picture black = picture("black.png");
    EXPECT_EQ(0, black.get(100, 100).r);
    EXPECT_EQ(255, black.get(100, 100).a);
}

TEST_F(HostTest, PopAppEndsTheRunAfterThatFrame)
{
    HostRun r = run("pop=7", "--fixed-step 20 --frames 100");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ(7u, r.all("module-update").size());
    ASSERT_EQ(1u, r.all("PopApp").size());
    EXPECT_EQ(7u, r.first("PopApp").frame);
    EXPECT_EQ("PopApp", r.first("Exit").detail);
    EXPECT_LT(r.indexOf("PopApp"), r.indexOf("module-exit"));
    EXPECT_EQ(1u, r.all("module-destroyed").size());
}

TEST_F(HostTest, MovieSuspendsForTwoSecondsOfTheClock)
{
    HostRun r = run("push=5:Lines_Intro.swf;color=0,0,255",
                    "--fixed-step 20 --frames 120 --title '" + title("title") + "' --screenshot 50:'" + file("card.png") +
                        "' --screenshot 110:'" + file("after.png") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("flash/Lines_Intro.swf is not in the title"));
    ASSERT_EQ(1u, r.all("PushApp").size());
    EXPECT_EQ(file("title/flash/Lines_Intro.swf"), r.first("PushApp").detail);
    ASSERT_EQ(1u, r.all("module-suspend").size());
    ASSERT_EQ(1u, r.all("module-resume").size());
    const TraceLine suspend = r.first("module-suspend"), resume = r.first("module-resume");
    EXPECT_EQ(5u, suspend.frame) << "suspended after the Update that asked for the movie";
    EXPECT_EQ(2000u, number(resume.detail) - number(suspend.detail));
    EXPECT_EQ(105u, resume.frame);
    // No Update while the movie plays; the module's frames resume at once.
    for (const TraceLine& update : r.all("module-update"))
        EXPECT_TRUE(update.frame <= 5 || update.frame >= 105) << update.frame;
    EXPECT_EQ(120u - 99u, r.all("module-update").size());
    // Inactivity off before the push, on again after the return.
    ASSERT_EQ(1u, r.all("inactivity-off").size());
    ASSERT_EQ(1u, r.all("inactivity-on").size());
    EXPECT_LT(r.indexOf("inactivity-off"), r.indexOf("PushApp"));
    EXPECT_GT(r.indexOf("inactivity-on"), r.indexOf("module-resume"));

    const TovraneTools::Picture card = picture("card.png");
    EXPECT_NE(255, card.get(2, 2).b) << "the card, not the module's blue";
    bool opaque = true;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x)
            opaque = opaque && card.get(x, y).a == 255;
    EXPECT_TRUE(opaque) << "the card covers the whole screen";
    EXPECT_EQ(255, picture("after.png").get(2, 2).b);
}

TEST_F(HostTest, TouchOrEnterEndsTheMovieEarlyAndTheGestureStaysWithIt)
{
    script("20 down 160 120\n"
           "25 move 10 10   # the rest of the gesture is the movie's\n"
           "26 up 10 10\n"
           "60 click enter\n"
           "70 tap 1 2\n");
    HostRun r = run("push=5:A.swf", withScript("--fixed-step 20 --frames 80"));
    ASSERT_EQ(0, r.status) << r.output;
    ASSERT_EQ(1u, r.all("module-resume").size());
    EXPECT_EQ(20u, r.first("module-resume").frame);
    // Neither the touch that ended the movie nor its drag and lift reach the
    // module; the Enter click and the later tap do.
    EXPECT_EQ((std::vector<std::string>{"70 1 1 2", "71 0 1 2"}), framed(r.all("module-touch")));
    EXPECT_EQ(2u, r.all("module-button").size());

    script("9 press enter\n");
    r = run("push=2:B.swf", withScript("--fixed-step 20 --frames 12"));
    ASSERT_EQ(0, r.status) << r.output;
    ASSERT_EQ(1u, r.all("module-resume").size());
    EXPECT_EQ(9u, r.first("module-resume").frame);
    EXPECT_TRUE(r.all("module-button").empty()) << "the press belongs to the movie";
}

TEST_F(HostTest, ClosingTheWindowDuringAMovieResumesBeforeExit)
{
    script("10 quit\n");
    HostRun r = run("push=3:C.swf", withScript("--fixed-step 20 --frames 50"));
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ("closed", r.first("Exit").detail);
    EXPECT_EQ(3u, r.all("module-update").size());
    ASSERT_NE(-1, r.indexOf("module-resume"));
    EXPECT_LT(r.indexOf("module-resume"), r.indexOf("module-exit"));
}

TEST_F(HostTest, BadCommandLinesTitlesAndModulesAreRefusedBeforeTheModuleStarts)
{
    std::filesystem::create_directories(file("empty"));
    std::filesystem::create_directories(file("folder.txt"));
    std::ofstream(file("plain")) << "not a folder\n";
    ASSERT_EQ(0, ::mkfifo(file("fifo").c_str(), 0644));
    std::ofstream(file("big.txt")).close();
    std::filesystem::resize_file(file("big.txt"), 4 * 1024 * 1024 + 1);  // one byte past the bound
    const std::string tooLong = file(std::string(300, 'd'));
    // A reader is kept on the pipe, so that an open of it for writing would
    // not fail, and every open of it is seen: nothing refused is opened.
    const int reader = ::open(file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    const int opens = ::inotify_init1(IN_NONBLOCK);
    ASSERT_TRUE(reader >= 0 && opens >= 0 && ::inotify_add_watch(opens, file("fifo").c_str(), IN_OPEN) >= 0);
    const struct
    {
        std::string options;
        int status;
        std::string message;
        bool oneLine;  // and nothing started
    } refusals[] = {
        {"--colour red", 2, "unknown option --colour", false},  // each bad value is the option parser's own test
        {"--screenshot '1x\x1b[31m'", 2, "not \"1x\\x1b[31m\"", false},  // printed escaped
        {"--script '" + file("nothing.txt") + "'", 2, "Could not read the script " + file("nothing.txt"), true},
        {"--script '" + file("folder.txt") + "'", 2, "Could not read the script " + file("folder.txt"), true},
        {"--title '" + file("none") + "'", 1, "The title folder " + file("none/") + " does not exist", true},
        {"--title '" + file("plain") + "'", 1, "The title folder " + file("plain/") + " is not a folder", true},
        {"--title '" + file("empty") + "'", 1, "The title folder " + file("empty/") + " is empty", true},
        {"--module '" + file("nothing.so") + "'", 1, "Could not load the game module", false},
        {"--module libm.so.6", 1, "exports no CreateApp", false},  // a shared library without CreateApp
        // Nothing read by name is waited on, nor read without end.
        {"--script '" + file("fifo") + "'", 2, "Could not read the script " + file("fifo") + ": a pipe", true},
        {"--script /dev/zero", 2, "Could not read the script /dev/zero: a device", true},
        {"--script '" + file("big.txt") + "'", 2, "Could not read the script " + file("big.txt") + ": file too large", true},
        {"--module '" + file("fifo") + "'", 1, "Could not load the game module " + file("fifo") + ": a pipe is there", true},
        // Outputs go only to a regular file or a new name.
        {"--screenshot 1:/dev/null", 2, "Will not write the screenshot /dev/null: a device is there", true},
        {"--screenshot '1:" + file("fifo") + "'", 2, "Will not write the screenshot " + file("fifo") + ": a pipe is there", true},
        {"--screenshot '1:" + file("folder.txt") + "'", 2, "Will not write the screenshot " + file("folder.txt") + ": a folder is there", true},
        {"--trace '" + file("fifo") + "'", 2, "Could not create the trace file " + file("fifo") + ": a pipe", true},
        {"--trace /dev/null", 2, "Could not create the trace file /dev/null: a device", true},
        {"--trace '" + file("plain/trace.txt") + "'", 2, "Could not create the trace file " + file("plain/trace.txt") + ": Not a directory", true},
        {"--trace '" + file("plain/t\x1b[2J\xc2\x9b.txt") + "'", 2, "Could not create the trace file " + file("plain/t\\x1b[2J\\xc2\\x9b.txt") + ": Not a directory", true},
        {"--title '" + file("new\nline") + "'", 1, "The title folder " + file("new\\nline/") + " does not exist", true},
        // The data folder must be one.
        {"--data '" + file("plain") + "'", 2, "The data folder " + file("plain/") + " is a file, not a folder", true},
        {"--data '" + file("fifo") + "'", 2, "The data folder " + file("fifo/") + " is a pipe, not a folder", true},
        {"--data '" + file("plain/data") + "'", 2, "The data folder " + file("plain/data/") + " cannot be made: Not a directory", true},
        {"--data '" + file("plain/d\x1b[2J") + "'", 2, "The data folder " + file("plain/d\\x1b[2J/") + " cannot be made: Not a directory", true},
        {"--data '" + tooLong + "'", 2, "The data folder " + tooLong + "/ cannot be made: File name too long", true},
    };
    for (const auto& refusal : refusals)
    {
        SCOPED_TRACE(refusal.options);
        std::filesystem::remove(file("trace.txt"));
        const HostRun r = run("", "--frames 1 " + refusal.options, false);
        EXPECT_EQ(refusal.status, r.status);
        EXPECT_NE(std::string::npos, r.output.find(refusal.message)) << r.output;
        if (refusal.oneLine)
        {
            EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << "one line: " << r.output;
            EXPECT_TRUE(r.trace.empty()) << "nothing started";
        }
    }
    // What stood at the refused names is as it was, the pipe never opened.
    char event[4096];
    EXPECT_EQ(-1, ::read(opens, event, sizeof event)) << "the pipe was opened";
    ::close(opens);
    ::close(reader);
    struct stat status;
    EXPECT_TRUE(::stat(file("fifo").c_str(), &status) == 0 && S_ISFIFO(status.st_mode));
    EXPECT_TRUE(::stat("/dev/null", &status) == 0 && S_ISCHR(status.st_mode));
    EXPECT_TRUE(std::filesystem::is_empty(file("folder.txt")));
    EXPECT_EQ("not a folder\n", contents(file("plain")));
}

// A screenshot of a script is refused at its frame when something other
// than a regular file has its name; the run goes on and writes the next.
TEST_F(HostTest, ScriptShotsGoOnlyToRegularFilesOrNewNames)
{
    ASSERT_EQ(0, ::mkfifo(file("fifo.png").c_str(), 0644));
    std::filesystem::create_directories(file("folder.png"));
    script("2 shot " + file("fifo.png") + "\n3 shot " + file("folder.png") + "\n4 shot " + file("new.png") + "\n");
    const HostRun r = run("", withScript("--fixed-step 20 --frames 5"), true);
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("Will not write the screenshot " + file("fifo.png") + ": a pipe is there"))
        << r.output;
    EXPECT_NE(std::string::npos, r.output.find("Will not write the screenshot " + file("folder.png") + ": a folder is there"))
        << r.output;
    EXPECT_EQ(320, picture("new.png").width());
    struct stat status;
    EXPECT_TRUE(::stat(file("fifo.png").c_str(), &status) == 0 && S_ISFIFO(status.st_mode));
    EXPECT_TRUE(std::filesystem::is_empty(file("folder.png")));
    EXPECT_FALSE(std::filesystem::exists(file("fifo.png.tmp")));
}

// A refused screenshot's name, from the command line or a script, is printed
// with its control characters written out: one line, and nothing for the
// terminal to act on.
TEST_F(HostTest, RefusedScreenshotNamesArePrintedEscaped)
{
    std::filesystem::create_directories(file("new\nline.png"));
    std::filesystem::create_directories(file("red\x1b[31m.png"));
    const HostRun refused = run("", "--frames 1 --screenshot '1:" + file("new\nline.png") + "'");
    EXPECT_EQ(2, refused.status);
    EXPECT_EQ("Will not write the screenshot " + file("new\\nline.png") + ": a folder is there\n", refused.output);
    script("2 shot " + file("red\x1b[31m.png") + "\n");
    const HostRun r = run("", withScript("--fixed-step 20 --frames 3"), true);
    EXPECT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos,
        r.output.find("Will not write the screenshot " + file("red\\x1b[31m.png") + ": a folder is there\n"))
        << r.output;
    EXPECT_EQ(std::string::npos, r.output.find('\x1b')) << r.output;
}

// The screenshot writer makes its temporary file anew beside the picture: a
// link planted at its ".tmp" name is removed, not followed, what it leads to
// stays as it was, and the screenshot is written all the same.
TEST_F(HostTest, AScreenshotNeverWritesThroughALinkAtItsTemporaryName)
{
    std::ofstream(file("victim.txt")) << "not a picture\n";
    std::filesystem::create_symlink(file("victim.txt"), file("shot.png.tmp"));
    const HostRun r = run("", "--fixed-step 20 --frames 2 --screenshot '2:" + file("shot.png") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ("not a picture\n", contents(file("victim.txt")));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(file("shot.png"))));
    EXPECT_EQ(320, picture("shot.png").width());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(file("shot.png.tmp"))));
}

// One game per data folder: a second one says so and ends before it reads
// or writes anything there; the folder is free again once the first ends.
TEST_F(HostTest, ASecondGameOnTheSameDataFolderIsRefused)
{
    std::filesystem::create_directories(file("data/players/0"));
    std::ofstream(file("data/players/0/data.bin")) << "saved";
    const auto listing = [this] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(file("data")))
            names.push_back(entry.path().string() + " " + std::to_string(entry.is_regular_file() ? entry.file_size() : 0));
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = listing();
    const int held = ::open(file("data").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(0, ::flock(held, LOCK_EX | LOCK_NB));  // as the first game holds it
    const HostRun refused = run("", "--fixed-step 20 --frames 3");
    EXPECT_EQ(2, refused.status);
    EXPECT_EQ("Another game is using the data folder " + file("data/") + "\n", refused.output);
    EXPECT_TRUE(refused.trace.empty()) << "nothing started";
    EXPECT_EQ(before, listing());
    EXPECT_EQ("saved", contents(file("data/players/0/data.bin")));
    ::close(held);
    EXPECT_EQ(0, run("", "--fixed-step 20 --frames 3").status);
}

// A data folder that can only be read still starts (its saves fail and say so).
TEST_F(HostTest, AReadOnlyDataFolderStillStarts)
{
    std::filesystem::create_directories(file("data"));
    ::chmod(file("data").c_str(), 0555);
    const HostRun r = run("", "--fixed-step 20 --frames 3");
    ::chmod(file("data").c_str(), 0755);
    EXPECT_EQ(0, r.status) << r.output;
    EXPECT_EQ("frames", r.first("Exit").detail);
}
