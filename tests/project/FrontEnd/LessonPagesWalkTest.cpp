// The real host from the logo through every icon of the lesson pages: one
// lesson per launcher played to its end, the others quit at their first task.
#include "Host/HostRun.h"
#include "project/Lessons/LessonPlayer.h"

#include "Resources/Lessons/AnimationLauncherState.h"
#include "Resources/Lessons/ColorsLauncherState.h"
#include "Resources/Lessons/CompositionLauncherState.h"
#include "Resources/Lessons/LinesLauncherState.h"
#include "Resources/Lessons/OrganicShapesLauncherState.h"
#include "Resources/Lessons/SeeingShapesLauncherState.h"
#include "Resources/Lessons/ShapesLauncherState.h"
#include "Resources/Lessons/WarmCoolLauncherState.h"
#include "Resources/Lessons/WildCalmLauncherState.h"
#include "Resources/FrontEnd/MainMenuState.h"

#ifdef TOVRANE_HOST_PROGRAM

using namespace TaskScreenTest;

namespace
{
class LessonPagesWalkTest : public HostFolderTest
{
protected:
    LessonPagesWalkTest() : HostFolderTest("front-end-lessons") {}
};

// The taps reaching an icon, its launcher, whether it is played, the page after.
struct Visit
{
    std::vector<std::string> taps;
    std::function<LessonLauncherState*()> make;
    bool played;
    const char* page;
};

// Slots are filled column by column: (62, 83), (62, 148), (117, 83), ...;
// the lessons page pages on with (218, 115) and back with (18, 115).
const Visit visits[] = {
    {{"tap 230 68", "tap 117 148"}, [] { return new SeeingShapesLauncherState(false, false); }, true, "lessons_1"},
    {{"tap 172 148"}, [] { return new ColorsLauncherState(false, false); }, true, "lessons_1"},
    {{"tap 218 115", "tap 117 83"}, [] { return new WarmCoolLauncherState(false, false); }, true, "lessons_2"},
    {{"tap 117 148"}, [] { return new WildCalmLauncherState(false, false); }, true, "lessons_2"},
    {{"tap 172 83"}, [] { return new CompositionLauncherState(false, false); }, true, "lessons_2"},
    {{"tap 172 148"}, [] { return new AnimationLauncherState(false, false); }, true, "lessons_2"},
    {{"tap 18 115", "tap 62 148", "tap 62 83"}, [] { return new LinesLauncherState(1, false, false); }, false, "lines"},
    {{"tap 62 148"}, [] { return new LinesLauncherState(2, false, false); }, true, "lines"},
    {{"tap 117 83"}, [] { return new LinesLauncherState(3, false, false); }, false, "lines"},
    {{"click backspace", "tap 117 83", "tap 62 83"}, [] { return new ShapesLauncherState(1, false, false); }, false, "shapes"},
    {{"tap 62 148"}, [] { return new ShapesLauncherState(2, false, false); }, false, "shapes"},
    {{"tap 117 83"}, [] { return new ShapesLauncherState(3, false, false); }, false, "shapes"},
    {{"tap 117 148"}, [] { return new ShapesLauncherState(4, false, false); }, true, "shapes"},
    {{"click backspace", "tap 172 83", "tap 62 83"}, [] { return new OrganicShapesLauncherState(1, false, false); }, true,
     "drawing_objects"},
    {{"tap 62 148"}, [] { return new OrganicShapesLauncherState(2, false, false); }, false, "drawing_objects"},
};
}

TEST_F(LessonPagesWalkTest, EveryLessonIconStartsItsLessonAndTheMenuComesBackOnItsPage)
{
    REQUIRE_LESSONS_TITLE();
    Script script;
    LessonPlayer player(script);
    std::vector<std::string> expected = {"MainMenuState"}, codes;
    script.after("enter", "MainMenuState");
    for (size_t k = 0; k < sizeof(visits) / sizeof(visits[0]); ++k)
    {
        const Visit& visit = visits[k];
        for (size_t t = 0; t < visit.taps.size(); ++t)
            script.at("+" + std::to_string(20 + 10 * t), visit.taps[t]);
        const std::unique_ptr<LessonLauncherState> launcher(visit.make());
        if (visit.played)
            player.playLesson(*launcher);
        else
            player.quitAtFirst(*launcher);
        expected.insert(expected.end(), {launcher->getStateName(), "MainMenuState"});
        codes.push_back("GameAreaStart " + launcher->getGameArea());
        script.after("enter", "MainMenuState");
        script.at("+10", "shot " + file(std::to_string(k) + ".png"));
    }
    script.at("+20", "quit");
    this->script(script.text);
    const HostRun r = runHost("--fixed-step 20 --frames 40000 --script '" + file("script.txt") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ("closed", r.first("Exit").detail) << "every lesson came back";
    for (const char* fault : {"Could not find file", "Could not load character", "Assertion", "INVALID"})
        EXPECT_EQ(std::string::npos, r.output.find(fault)) << fault;

    EXPECT_EQ(player.steps, LessonPlayer::stepsIn(r));
    std::vector<std::string> entered;
    for (const TraceLine& line : r.all("enter"))
        if ((line.detail == "MainMenuState" || line.detail.find("Launcher") != std::string::npos) &&
            (entered.empty() || entered.back() != line.detail))
            entered.push_back(line.detail);
    EXPECT_EQ(expected, entered);
    std::vector<std::string> areas;
    int quits = 0;
    for (const std::string& record : usageRecords(file("data/usage.log")))
    {
        if (record.compare(0, 13, "GameAreaStart") == 0)
            areas.push_back(record);
        quits += record == "ActivityExit 0 3";
    }
    EXPECT_EQ(codes, areas);
    EXPECT_EQ(6, quits) << "each lesson left at its first task or game";
    for (size_t k = 0; k < sizeof(visits) / sizeof(visits[0]); ++k)
        expectShotGolden(std::to_string(k) + ".png", std::string("frontend/") + visits[k].page + ".png");
}

TEST_F(LessonPagesWalkTest, EveryWritingIconStartsItsLessonAndTheMenuComesBackOnItsPickerPage)
{
    REQUIRE_LESSONS_TITLE();
    // The picker shows each capital above its small letter, A to z, then the
    // digits; six slots a page, column by column. Each lesson is left by the
    // quit question.
    std::vector<int> ids;
    for (int letter = 0; letter < 26; ++letter)
        ids.insert(ids.end(), {10 + letter, 36 + letter});
    for (int digit = 0; digit < 10; ++digit)
        ids.push_back(digit);
    Script script;
    std::vector<std::string> expected;
    script.after("enter", "MainMenuState");
    script.at("+20", "tap 230 68");
    script.at("+30", "tap 62 83");
    for (size_t n = 0; n < ids.size(); ++n)
    {
        // The last page is the last six items: 8 and 9 follow 4 to 7 there.
        const int page = static_cast<int>(n / 6), slot = static_cast<int>(n) - std::min(6 * page, 62 - 6);
        ASSERT_EQ(page, MainMenuState::wr_pg_cnt[ids[n]]) << ids[n];
        if (n % 6 == 0)
        {
            script.at(n == 0 ? "+40" : "+20", n == 0 ? "shot " + file("page0.png") : "tap 218 115");
            if (n > 0)
                script.at("+40", "shot " + file("page" + std::to_string(page) + ".png"));
        }
        script.at("+25", "tap " + std::to_string(62 + 55 * (slot / 2)) + " " + std::to_string(83 + 65 * (slot % 2)));
        const TaskStudioState task(TaskType::WritingLesson, ids[n], LocationName::WritingLesson);
        expected.push_back(task.getTask()->loggingIDs[0]);
        script.after("debug", "TASK=\"" + expected.back() + "\"");
        script.at("+20", "click escape");
        script.at("+32", "tap 115 160");
        script.after("enter", "MainMenuState");
        script.at("+10", "shot " + file("back" + std::to_string(n) + ".png"));
    }
    script.at("+20", "quit");
    this->script(script.text);
    const HostRun r = runHost("--fixed-step 20 --frames 14000 --script '" + file("script.txt") + "'");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ("closed", r.first("Exit").detail) << "every lesson came back";
    for (const char* fault : {"Could not find file", "Could not load character", "Assertion"})
        EXPECT_EQ(std::string::npos, r.output.find(fault)) << fault;
    std::vector<std::string> started;
    for (const TraceLine& line : r.all("debug", "TASK=\""))
        started.push_back(line.detail.substr(6, line.detail.find('"', 6) - 6));
    EXPECT_EQ(expected, started);
    // Back from a lesson, the picker shows the page it was started from.
    expectShotGolden("page0.png", "frontend/writing.png");
    for (size_t n = 0; n < ids.size(); ++n)
    {
        expectSameShots("back" + std::to_string(n) + ".png", "page" + std::to_string(n / 6) + ".png",
            "writing lesson " + std::to_string(ids[n]) + " came back on another page");
    }
}

#endif
