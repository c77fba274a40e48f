// Lines to drag, run in process on the generated title: the picture grabbed
// on its box's edges and dropped by its window.
#include "LessonsTestSupport.h"

using namespace LessonsTest;

namespace
{
// The first line of a location task that is not traced and has no sub-lesson.
int extraLine(TaskStudioState& state)
{
    const std::vector<TaskLine>& lines = state.getTask()->lines;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].pickup.present || !lines[i].fillMaskImage.empty())
            return static_cast<int>(i);
    return -1;
}

TaskStudioState* startLine(TaskRun& run, const std::string& path, LocationName::Type where)
{
    TaskStudioState* state = run.push(new TaskStudioState(TaskType::LocationTask, path, where));
    state->currentLine = extraLine(*state);
    state->setState(TaskStudioState::TaskIntro, 0);
    return state;
}
}

TEST(TaskPickupThreadTest, ThePickupIsGrabbedOnItsBoxEdgesAndDroppedByItsWindow)
{
    REQUIRE_LESSONS_TITLE();
    // Grabs at the box's edges and just outside them (a screen pixel is two
    // picture pixels); drops at an offset from the box.
    const struct
    {
        int dx, dy; // from the box's top-left corner
        bool grabbed;
    } grabs[] = {{0, 0, true}, {64, 64, true}, {0, 64, true}, {64, 0, true}, {-2, 10, false}, {66, 10, false},
                 {10, -2, false}, {10, 66, false}};
    const std::string file = "tasks/fountain.task";
    for (const auto& grab : grabs)
    {
        TaskRun run;
        TaskStudioState* state = startLine(run, file, LocationName::Fountain);
        ASSERT_TRUE(run.until([&] { return state->getState() == TaskStudioState::TaskPickup && state->getStep() == 1; }));
        const PickupData& pickup = state->getTask()->lines[state->currentLine].pickup;
        const auto at = run.screenOf(Vector2<tFixed>(tFixed(pickup.boxX + grab.dx), tFixed(pickup.boxY + grab.dy)));
        run.touch(at.first, at.second, true);
        EXPECT_EQ(grab.grabbed ? 2 : 1, state->touchStage) << grab.dx << "," << grab.dy;
    }

    // The target line is the box's middle moved by winY: a drop is right below
    // it for winY > 0, above it for winY < 0, and never for winY 0.
    const struct
    {
        int winY;
        int below; // picture pixels past the target line
        bool right;
        bool bare; // the line has no begin and end pictures
    } drops[] = {{300, -2, false, false}, {300, 0, false, false}, {300, 2, true, false}, {-40, 2, false, false},
                 {-40, 0, false, false},  {-40, -2, true, false}, {0, 100, false, false}, {0, -40, false, false},
                 {300, 2, true, true}};
    std::ifstream in(title().path + "tasks/fountain.task");
    std::string bare((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* key : {"\"pickup_begin\"", "\"pickup_end\""})
        bare.replace(bare.find(key), 1, "\"x");
    const std::string barePath = writeTask("bare.task", bare);
    for (const auto& drop : drops)
    {
        const std::string file = drop.bare ? barePath : "tasks/fountain.task";
        TaskRun run;
        TaskStudioState* state = startLine(run, file, LocationName::Fountain);
        ASSERT_TRUE(run.until([&] { return state->getState() == TaskStudioState::TaskPickup && state->getStep() == 1; }));
        PickupData& pickup = state->getTask()->lines[state->currentLine].pickup;
        pickup.winY = drop.winY;
        EXPECT_EQ(drop.bare, !pickup.beginSprite && !pickup.endSprite);
        const auto from = run.screenOf(Vector2<tFixed>(tFixed(pickup.boxX + 5), tFixed(pickup.boxY + 5)));
        const auto to = run.screenOf(
            Vector2<tFixed>(tFixed(pickup.boxX + 5), tFixed(pickup.boxY + pickup.winY + pickup.boxH / 2 + drop.below)));
        run.touch(from.first, from.second, true);
        run.touch(to.first, to.second, true);
        run.touch(to.first, to.second, false);
        run.frame();
        EXPECT_EQ(drop.right ? TaskStudioState::TaskOutro : TaskStudioState::TaskPickup, state->getState())
            << drop.winY << " " << drop.below;
        EXPECT_EQ(drop.right ? 0 : 1, state->wrongCount) << drop.winY << " " << drop.below;
    }
}
