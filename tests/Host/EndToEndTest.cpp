// The game started by the real host, headless on a fixed step, on the
// generated test title: the logo with its jingle, the hand-over to the title,
// the tap of a returning player, and what the screen shows.
#include "HostRun.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#ifdef TOVRANE_GAME_MODULE_FILE

#include <cstdlib>
#include <string>
#include <sys/resource.h>

namespace
{
// The jingle's file.
const char* const Jingle = "h_SX_DeveloperLogoSfx_6.ogg";

bool near(const TovraneTools::Colour& c, int r, int g, int b, int tolerance = 24)
{
    return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance && std::abs(c.b - b) <= tolerance;
}

class EndToEndTest : public HostFolderTest
{
protected:
    EndToEndTest() : HostFolderTest("end-to-end") {}

    // A profile that has seen the title before: data.bin with its first-start flag (byte 0) clear.
    void returningPlayer()
    {
        const std::string profile = file("data/players/0/Scrivlet/");
        std::filesystem::create_directories(profile);
        std::string bytes(272, '\0');
        bytes[5] = 45; // music volume
        std::ofstream(profile + "data.bin", std::ios::binary) << bytes;
    }

    // The host on the default module and title, unless options say otherwise.
    HostRun run(const std::string& options, const std::string& environment = std::string())
    {
        HostRun result = runHost("--fixed-step 20 " + options, environment);
        EXPECT_EQ(std::string::npos, result.output.find("Could not find file")) << result.output;
        return result;
    }
};

// The audio id of the jingle's start line ("<id> <path>").
std::string jingleId(const HostRun& r)
{
    const std::string detail = r.first("audio-start", Jingle).detail;
    return detail.substr(0, detail.find(' '));
}

// Taps every ten frames: the logo loads on its own thread, so the first tap
// it can hear depends on how fast the machine loads it.
std::string taps()
{
    std::string text;
    for (int frame = 30; frame <= 110; frame += 10)
        text += std::to_string(frame) + " tap 160 120\n";
    return text;
}

TEST_F(EndToEndTest, TheLogoPlaysItsJingleAndTheTitleFollowsItsEnd)
{
    script(taps()); // a new player's taps do not skip the logo
    HostRun r = run("--frames 220 --script '" + file("script.txt") + "'");
    ASSERT_EQ(0, r.status) << r.output;

    const TraceLine logo = r.first("enter", "PlumoLogoState");
    ASSERT_EQ("enter", logo.event) << "the logo is the first state";
    EXPECT_EQ(0u, logo.frame) << "entered during Enter, before the first frame";

    const TraceLine start = r.first("audio-start", Jingle);
    ASSERT_EQ("audio-start", start.event) << r.output;
    EXPECT_GT(start.frame, 0u) << "the jingle starts once the logo has loaded";

    const std::string id = jingleId(r);
    const TraceLine end = r.first("audio-complete", id);
    ASSERT_EQ("audio-complete", end.event);
    // The generated jingle lasts 2.5 s.
    EXPECT_NEAR(2500.0, static_cast<double>(end.time - start.time), 40.0);

    const TraceLine exitLogo = r.first("exit", "PlumoLogoState");
    const TraceLine title = r.first("enter", "TitleState");
    ASSERT_EQ("enter", title.event) << "the title follows";
    EXPECT_EQ(end.frame, title.frame) << "only the jingle's end hands over, in the frame it is reported";
    EXPECT_EQ(end.frame, exitLogo.frame);
    EXPECT_EQ(1u, r.all("enter", "TitleState").size());
    EXPECT_EQ("frames", r.first("Exit").detail);
    EXPECT_EQ("TitleState", r.trace.back().detail) << "the title is exited at the end";
}

TEST_F(EndToEndTest, AReturningPlayersTapHandsOverEarlier)
{
    returningPlayer();
    script(taps());
    HostRun r = run("--frames 160 --script '" + file("script.txt") + "'");
    ASSERT_EQ(0, r.status) << r.output;

    const TraceLine start = r.first("audio-start", Jingle);
    ASSERT_EQ("audio-start", start.event) << r.output;
    ASSERT_LT(start.frame, 110u) << "the logo took too long to load";
    const TraceLine title = r.first("enter", "TitleState");
    ASSERT_EQ("enter", title.event) << r.output;
    // Input is heard from the frame after begin, the one that starts the
    // jingle: the first tap lifted from then on hands over.
    unsigned int lift = 31;
    while (lift < start.frame)
        lift += 10;
    EXPECT_EQ(lift, title.frame) << "the lift of the first tap the logo hears";
    const std::string id = jingleId(r);
    const TraceLine stop = r.first("audio-stop", id);
    EXPECT_EQ(title.frame, stop.frame) << "the jingle stops with the logo";
    EXPECT_TRUE(r.all("audio-complete", id).empty());
    EXPECT_EQ(1u, r.all("enter", "TitleState").size());
}

// With a fixed step the same options and script give the same run whatever
// the loaders' speed: three runs, compared byte for byte.
TEST_F(EndToEndTest, FixedStepRunsRepeatByteForByte)
{
    script(taps());
    auto whole = [this](const std::string& name) {
        std::ifstream in(file(name), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    };
    std::vector<std::string> runs;
    for (int i = 0; i < 3; ++i)
    {
        std::filesystem::remove_all(file("data"));
        returningPlayer();
        HostRun r = run("--frames 150 --script '" + file("script.txt") + "' --screenshot 2:'" + file("a.png") +
                        "' --screenshot 40:'" + file("b.png") + "' --screenshot 120:'" + file("c.png") + "'");
        ASSERT_EQ(0, r.status) << r.output;
        ASSERT_EQ("enter", r.first("enter", "TitleState").event) << "the run reaches the title";
        runs.push_back(whole("trace.txt") + whole("a.png") + whole("b.png") + whole("c.png"));
    }
    EXPECT_TRUE(runs[0] == runs[1]) << "the second run differs";
    EXPECT_TRUE(runs[0] == runs[2]) << "the third run differs";
}

TEST_F(EndToEndTest, AScreenshotMidLogoShowsTheLogo)
{
    std::string shots;
    for (unsigned int frame : {30u, 45u, 60u, 75u, 90u})
        shots += " --screenshot " + std::to_string(frame) + ":'" + file("logo-" + std::to_string(frame) + ".png") + "'";
    HostRun r = run("--frames 95" + shots);
    ASSERT_EQ(0, r.status) << r.output;
    const TraceLine start = r.first("audio-start", Jingle);
    ASSERT_EQ("audio-start", start.event) << r.output;

    // The first screenshot well into the logo's "on" animation (it grows for
    // about a second from the jingle's start).
    unsigned int frame = 0;
    for (unsigned int candidate : {30u, 45u, 60u, 75u, 90u})
        if (!frame && candidate >= start.frame + 10 && candidate <= start.frame + 45)
            frame = candidate;
    ASSERT_NE(0u, frame) << "the logo took too long to load (jingle at frame " << start.frame << ")";
    TovraneTools::Picture shot;
    ASSERT_TRUE(TovraneTools::readPng(file("logo-" + std::to_string(frame) + ".png"), shot));

    // The test title's logo: a 160 x 100 sprite, lower-left corner at (80, 70) of
    // the scene, in #3a7bd5. Screen rows run downwards: it covers rows 70 to 169.
    int logoPixels = 0;
    for (int y = 70; y < 170; ++y)
        for (int x = 80; x < 240; ++x)
            logoPixels += near(shot.get(x, y), 0x3a, 0x7b, 0xd5) ? 1 : 0;
    EXPECT_GT(logoPixels, 4000) << "of 16000 pixels in the logo's place, frame " << frame;
    for (auto corner : {std::make_pair(2, 2), std::make_pair(317, 237), std::make_pair(40, 200)})
        EXPECT_TRUE(near(shot.get(corner.first, corner.second), 255, 255, 255)) << "white around the logo";
}

TEST_F(EndToEndTest, AScreenshotWhileLoadingShowsTheLoadingPicture)
{
    HostRun r = run("--frames 90 --module '" + std::string(TOVRANE_PROBE_MODULE_FILE) + "' --screenshot 10:'" +
                    file("loading.png") + "' --screenshot 80:'" + file("loaded.png") + "'",
                "TOVRANE_PROBE_RELEASE_FRAME=30");
    ASSERT_EQ(0, r.status) << r.output;
    const TraceLine slow = r.first("enter", "SlowLoadingState");
    ASSERT_EQ("enter", slow.event) << r.output;
    EXPECT_EQ(0u, slow.frame) << "the probe's first state, entered at once";

    TovraneTools::Picture loading, loaded;
    ASSERT_TRUE(TovraneTools::readPng(file("loading.png"), loading));
    ASSERT_TRUE(TovraneTools::readPng(file("loaded.png"), loaded));
    // The test title's loading picture covers the screen in #f0e6c8.
    for (auto point : {std::make_pair(1, 1), std::make_pair(318, 238), std::make_pair(300, 10)})
    {
        EXPECT_TRUE(near(loading.get(point.first, point.second), 0xf0, 0xe6, 0xc8))
            << point.first << ", " << point.second;
        EXPECT_TRUE(near(loaded.get(point.first, point.second), 255, 255, 255)) << "after loading: the empty scene";
    }
}

// Frames nobody looks at are still finished: without a screenshot or a
// window nothing is read back, and a frame left queued in the driver would
// pile up behind the next one.
TEST_F(EndToEndTest, UnshownFramesAreFinishedAndNothingPilesUp)
{
    auto largestChild = [] {
        rusage usage;
        ::getrusage(RUSAGE_CHILDREN, &usage);
        return usage.ru_maxrss;  // kilobytes
    };
    // With the rasteriser thread the host has outside the tests; freed memory
    // is used again at once under AddressSanitizer too (no quarantine).
    const char* const Environment = "LP_NUM_THREADS=1 ASAN_OPTIONS=quarantine_size_mb=0";
    ASSERT_EQ(0, run("--start studio --frames 50", Environment).status);
    const long shortRun = largestChild();
    HostRun r = run("--start studio --frames 600 --screenshot 600:'" + file("last.png") + "'", Environment);
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_LT(largestChild() - shortRun, 32 * 1024) << "kilobytes more after 550 more frames";
    TovraneTools::Picture last;
    ASSERT_TRUE(TovraneTools::readPng(file("last.png"), last));
    EXPECT_TRUE(near(last.get(160, 100), 255, 255, 255)) << "the blank studio's page";
}
}

#endif
