// Lessons in the real host, headless on a fixed step: each launcher started
// by name as the menu starts it (over a stand-in of the menu, with a game
// area of its own) and played to its end by a script, and a lesson played
// from the story's town task that names it.
#include "Host/HostRun.h"
#include "LessonPlayer.h"

#include "Resources/Lessons/AnimationLauncherState.h"
#include "Resources/Lessons/ColorsLauncherState.h"
#include "Resources/Lessons/CompositionLauncherState.h"
#include "Resources/Lessons/LinesLauncherState.h"
#include "Resources/Lessons/OrganicShapesLauncherState.h"
#include "Resources/Lessons/SeeingShapesLauncherState.h"
#include "Resources/Lessons/ShapesLauncherState.h"
#include "Resources/Lessons/WarmCoolLauncherState.h"
#include "Resources/Lessons/WildCalmLauncherState.h"

#include "PngFile.h"

#include <algorithm>

#ifdef TOVRANE_HOST_PROGRAM

using namespace TaskScreenTest;

namespace
{
class LauncherHostTest : public HostFolderTest
{
protected:
    LauncherHostTest() : HostFolderTest("lessons-launchers") {}

    // A run of the script that ends by itself, with no file missing.
    HostRun play(const std::string& start, const Script& script)
    {
        this->script(script.text);
        HostRun r = runHost("--fixed-step 20 --frames 8000 --start " + start + " --script '" + file("script.txt") + "'");
        EXPECT_EQ(0, r.status) << r.output;
        EXPECT_EQ("PopApp", r.first("Exit").detail) << "the run ends by itself";
        for (const char* fault : {"Could not find file", "Could not load character", "Assertion", "INVALID",
                                  "NEW_STATE=TaskHelp"})
            EXPECT_EQ(std::string::npos, r.output.find(fault)) << fault;
        return r;
    }
    int count(const std::vector<std::string>& list, const std::string& item)
    {
        return static_cast<int>(std::count(list.begin(), list.end(), item));
    }
};

// A launcher as the menu makes it, by its start name.
struct Practice
{
    const char* start;
    std::function<LessonLauncherState*()> make;
};

class EveryLesson : public LauncherHostTest, public ::testing::WithParamInterface<Practice>
{
};

const Practice practices[] = {
    {"lines:1", [] { return new LinesLauncherState(1, false, false); }},
    {"lines:2", [] { return new LinesLauncherState(2, false, false); }},
    {"lines:3", [] { return new LinesLauncherState(3, false, false); }},
    {"shapes:1", [] { return new ShapesLauncherState(1, false, false); }},
    {"shapes:2", [] { return new ShapesLauncherState(2, false, false); }},
    {"shapes:3", [] { return new ShapesLauncherState(3, false, false); }},
    {"shapes:4", [] { return new ShapesLauncherState(4, false, false); }},
    {"organic_shapes:1", [] { return new OrganicShapesLauncherState(1, false, false); }},
    {"organic_shapes:2", [] { return new OrganicShapesLauncherState(2, false, false); }},
    {"seeing_shapes", [] { return new SeeingShapesLauncherState(false, false); }},
    {"colors", [] { return new ColorsLauncherState(false, false); }},
    {"warm_cool", [] { return new WarmCoolLauncherState(false, false); }},
    {"wild_calm", [] { return new WildCalmLauncherState(false, false); }},
    {"composition", [] { return new CompositionLauncherState(false, false); }},
    {"animation", [] { return new AnimationLauncherState(false, false); }},
};
}

TEST_P(EveryLesson, PlaysToItsEndInItsGameArea)
{
    REQUIRE_LESSONS_TITLE();
    const std::unique_ptr<LessonLauncherState> launcher(GetParam().make());
    Script script;
    LessonPlayer player(script);
    player.playLesson(*launcher);
    const HostRun r = play(std::string("launcher:") + GetParam().start, script);

    EXPECT_EQ(player.steps, LessonPlayer::stepsIn(r));
    const std::string name = launcher->getStateName();
    const std::vector<TraceLine> enters = r.all("enter");
    ASSERT_LE(3u, enters.size());
    EXPECT_EQ(name, enters[1].detail);
    EXPECT_EQ("LauncherStandIn", enters.back().detail) << "the launcher has popped";
    EXPECT_EQ(r.all("exit", name).size(), r.all("enter", name).size());
    const std::vector<std::string> usage = usageRecords(file("data/usage.log"));
    EXPECT_EQ(1, count(usage, "GameAreaStart " + launcher->getGameArea()));
    EXPECT_EQ(1, count(usage, "GameAreaExit"));
}

INSTANTIATE_TEST_SUITE_P(Launchers, EveryLesson, ::testing::ValuesIn(practices),
                         [](const ::testing::TestParamInfo<Practice>& info) {
                             std::string name = info.param.start;
                             std::replace(name.begin(), name.end(), ':', '_');
                             return name;
                         });

TEST_F(LauncherHostTest, ALessonNamedByATownTaskPlaysFromTheStoryAndTheTaskGoesOn)
{
    REQUIRE_LESSONS_TITLE();
    // The t-shirt shop's fifth line names the warm and cool lesson; its last
    // line is a picture dragged to its place.
    const TaskStudioState town(TaskType::LocationTask, "tasks/tshirt_shop.task",
                               TaskStudioState::findTownLocation("tshirt_shop")->location);
    ASSERT_EQ("WCC", town.getTask()->lines.at(4).loggingID);
    ASSERT_TRUE(town.getTask()->lines.at(5).pickup.present);
    Script script;
    LessonPlayer player(script);
    player.playTask(town, 0, 4);
    const std::unique_ptr<LessonLauncherState> lesson(new WarmCoolLauncherState(false, false));
    player.playLesson(*lesson);
    player.playTask(town, 4);
    const HostRun r = play("location:tshirt_shop", script);

    EXPECT_EQ(player.steps, LessonPlayer::stepsIn(r));
    const std::vector<std::string> phases = phasesIn(r.output);
    ASSERT_FALSE(phases.empty());
    EXPECT_EQ("Epilogue", phases.back()) << "the task goes on to its end";
    std::ifstream in(file("data/players/0/Scrivlet/lesson.bin"), std::ios::binary);
    const std::string lessons((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_LT(256u + 4 * 15, lessons.size());
    EXPECT_EQ(3, lessons[256 + 4 * 15]) << "warm and cool complete";
    const std::vector<std::string> usage = usageRecords(file("data/usage.log"));
    EXPECT_EQ(0, count(usage, "GameAreaStart WCC")) << "no game area of its own in the story";
    EXPECT_EQ(2, count(usage, "ActivityStart WCC NA 1")) << "the game's, and the line's that named it";
}

TEST_F(LauncherHostTest, BadNamesAreRefused)
{
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
