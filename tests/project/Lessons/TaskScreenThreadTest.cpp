// The task studio played in process where the host's runs cannot look: the
// picture under a wrong stroke and across a sub-lesson, the badge window that
// keeps a location on the stack, and launchers finished or abandoned.
#include "TaskScreenTestSupport.h"

#include "Resources/Lessons/LinesLauncherState.h"
#include "Tovrane/FlashState.h"

using namespace TaskScreenTest;

namespace
{
typedef std::vector<Vector2<tFixed>> Points;

bool isLauncher(TaskRun& run) { return dynamic_cast<LessonLauncherState*>(run.harness.current().get()) != nullptr; }

// The picture of the current canvas, as equal-sized RGBA5551 bytes.
std::vector<std::uint8_t> picture(TaskStudioState* state)
{
    TexturePtr copy = state->studio->canvas->getLayer()->getTexture();
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(copy->getPixels());
    return std::vector<std::uint8_t>(bytes, bytes + copy->getSize());
}
}

TEST(TaskScreenThreadTest, AWrongStrokeIsTakenBackBeforeTheHelp)
{
    REQUIRE_LESSONS_TITLE();
    TaskRun run;
    TaskStudioState* lesson = run.push(new TaskStudioState(TaskType::WritingLesson, 11, LocationName::WritingLesson));
    ASSERT_TRUE(run.untilDrawing());
    const std::vector<std::uint8_t> blank = picture(lesson);
    const Points& points = lesson->getTask()->lines[0].allPoints;
    run.stroke(Points(points.rbegin(), points.rend()));
    EXPECT_EQ(TaskStudioState::TaskHelp, lesson->getState());
    EXPECT_TRUE(blank == picture(lesson));
}

TEST(TaskScreenThreadTest, ALocationGetsItsPictureBackAfterItsSubLessonAndWaitsForItsBadge)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    TaskRun run;
    TaskStudioState* town = run.push(new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse));
    ASSERT_TRUE(run.untilPhase(TaskStudioState::TaskIntro));
    EXPECT_EQ(TaskState::Started, player->locationStates[LocationName::Firehouse]) << "the prologue heard";

    std::vector<std::uint8_t> beforeSubLesson;
    bool windowKeptItOnTheStack = false;
    while (run.stackSize() > 1)
    {
        TaskStudioState* now = run.current();
        // The art lesson's movies and tasks end as soon as they are shown.
        if (dynamic_cast<FlashState*>(run.harness.current().get()) ||
            (now && now->getTaskType() == TaskType::AdvancedLesson))
        {
            Application::PopGameState();
            run.frame();
            continue;
        }
        if (now == town && town->getState() == TaskStudioState::TaskSubLesson && beforeSubLesson.empty())
            beforeSubLesson = picture(town);
        if (now == town && town->currentLine == 4 && town->getState() == TaskStudioState::TaskDraw)
        {
            EXPECT_TRUE(beforeSubLesson == picture(town)) << "the picture comes back pixel for pixel";
        }
        windowKeptItOnTheStack |= now == town && town->isAchievementWindowVisible();
        if (now && (now->getState() == TaskStudioState::TaskDraw || now->getState() == TaskStudioState::FreeFormTaskDraw) &&
            now->touchStage == 1)
            run.traceLine();
        else
            run.frame();
        ASSERT_LT(run.harness.app->getApplicationTime(), 200000u) << "the location never ends";
    }
    EXPECT_TRUE(windowKeptItOnTheStack);
    EXPECT_TRUE(TaskStudioState::completedLastLocation);

    // Its art lesson finished, the same line launches nothing.
    ASSERT_EQ(TaskState::Complete, player->getAdvancedLessonState(2));
    TaskRun again;
    town = again.push(new TaskStudioState(TaskType::LocationTask, "tasks/rise_and_shine_cafe.task",
                                          LocationName::RiseAndShineCafe));
    town->currentLine = 4;
    town->setState(TaskStudioState::TaskIntro, 0);
    ASSERT_TRUE(again.until([&] { return isLauncher(again) || again.current()->getState() == TaskStudioState::TaskDraw; }));
    EXPECT_FALSE(isLauncher(again));
}

TEST(TaskScreenThreadTest, ALauncherLeftUnfinishedMakesTheTaskLeaveWithReasonThree)
{
    REQUIRE_LESSONS_TITLE();
    // A lesson whose first step is still under way when it is abandoned.
    struct Abandoned : LinesLauncherState
    {
        Abandoned() : LinesLauncherState(1, true, true) {}
        void enter() override { GameState::enter(); }
    };
    TaskRun run;
    run.push(new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse));
    ASSERT_TRUE(run.untilDrawing());
    Application::PushGameState(new Abandoned);
    run.frame();
    Application::PopGameState();
    ASSERT_TRUE(run.until([&] { return run.stackSize() == 1; }, 10));
    run.frame();
    EXPECT_FALSE(TaskStudioState::skip);
    const std::vector<std::string> records = run.records();
    ASSERT_LE(2u, records.size());
    EXPECT_EQ((std::vector<std::string>{"ActivityExit 0 3", "GameAreaExit"}),
              std::vector<std::string>(records.end() - 2, records.end()));
}
