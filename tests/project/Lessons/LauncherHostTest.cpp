// Lessons started by name in the real host, headless on a fixed step, as the
// menu starts them: over a stand-in of the menu, with a game area of their own.
#include "Host/HostRun.h"
#include "TaskScreenTestSupport.h"

#include "PngFile.h"

#ifdef TOVRANE_HOST_PROGRAM

using namespace TaskScreenTest;

class LauncherHostTest : public HostFolderTest
{
protected:
    LauncherHostTest() : HostFolderTest("lessons-launchers") {}
};

TEST_F(LauncherHostTest, EachLauncherStartsItsLessonAndBadNamesAreRefused)
{
    REQUIRE_LESSONS_TITLE();
    // A movie card lasts 100 frames: the run reaches the second step.
    const struct
    {
        const char* start;
        const char* launcher;
        const char* code;
        const char* second;
    } rows[] = {
        {"lines", "LinesLauncherState", "", "Horizontal_Lines_p1.swf"},
        {"lines:2", "LinesLauncherState", "DCL", "TASK=\"curve\""},
        {"shapes:4", "ShapesLauncherState", "HEX", "TASK=\"shapes_hexigon\""},
        {"organic_shapes:1", "OrganicShapesLauncherState", "DOC", "Organic_Shapes_p1a.swf"},
        {"seeing_shapes", "SeeingShapesLauncherState", "SET", "Seeing_Shapes.swf"},
        {"colors", "ColorsLauncherState", "PSC", "MixingColorsState"},
        {"warm_cool", "WarmCoolLauncherState", "WCC", "Warm_Cool_p2.swf"},
        {"wild_calm", "WildCalmLauncherState", "WCA", "Colors_Calm.swf"},
        {"composition", "CompositionLauncherState", "CPH", "SkyGroundState"},
        {"animation", "AnimationLauncherState", "AFB", "TASK=\"animation\""},
    };
    for (const auto& row : rows)
    {
        const HostRun r = runHost(std::string("--fixed-step 20 --frames 220 --start launcher:") + row.start);
        EXPECT_EQ(0, r.status) << row.start << r.output;
        const std::vector<TraceLine> enters = r.all("enter");
        ASSERT_LE(5u, enters.size()) << row.start;
        EXPECT_EQ("LauncherStandIn", enters[0].detail);
        EXPECT_EQ(row.launcher, enters[1].detail) << row.start;
        EXPECT_EQ(row.launcher, enters[3].detail) << row.start << ": entered again after its first step";
        EXPECT_NE(std::string::npos, (r.output + r.all("PushApp").back().detail + enters[4].detail).find(row.second))
            << row.start;
        const std::vector<std::string> usage = usageRecords(file("data/usage.log"));
        EXPECT_NE(usage.end(), std::find(usage.begin(), usage.end(), std::string("GameAreaStart ") + row.code))
            << row.start;
    }
    for (const char* bad : {"launcher:colors:1", "launcher:lines:x", "launcher:lines:", "launcher:paint", "launcher"})
    {
        const HostRun refused = runHost(std::string("--frames 5 --start ") + bad);
        EXPECT_EQ(2, refused.status) << bad;
        EXPECT_NE(std::string::npos, refused.output.find("Unknown start state \"" + std::string(bad) + "\"")) << bad;
    }
}

TEST_F(LauncherHostTest, ALessonsTaskAndGameLookAsReviewed)
{
    REQUIRE_LESSONS_TITLE();
    // Frame 230: the curve task's prologue, and the colours game's guide talking.
    for (const char* start : {"lines:2", "colors"})
    {
        const std::string shot = file(std::string(start) + ".png");
        const HostRun r = runHost(std::string("--fixed-step 20 --frames 240 --start launcher:") + start +
                                  " --screenshot 230:'" + shot + "'");
        EXPECT_EQ(0, r.status) << r.output;
        const std::string golden = std::string(TOVRANE_TEST_DATA) + "/lessons/launcher_" +
                                   (start[0] == 'l' ? "curve_task" : "colors_game") + ".png";
        TovraneTools::Picture shown, expected;
        ASSERT_TRUE(TovraneTools::readPng(shot, shown)) << start;
        ASSERT_TRUE(TovraneTools::readPng(golden, expected)) << golden;
        EXPECT_TRUE(shown.bytes() == expected.bytes()) << start << " differs: see " << shot;
    }
}

#endif
