// Lines to colour and to drag, run in process on the generated title: the pie
// judged, the area coloured until the line ends, the picture dragged to its
// target.
#include "TaskScreenTestSupport.h"

#include "Resources/Drawing/Layer.h"
#include "Resources/Studio/ColorPie.h"

using namespace TaskScreenTest;

namespace
{
const ColorPieArgs red(0, ColorRGBA<unsigned char>(192, 0, 0, 255));
const ColorPieArgs blue(1, ColorRGBA<unsigned char>(0, 0, 192, 255));

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

TEST(TaskColourThreadTest, AWrongColourThenTheRightOneThenStrokesUntilTheAreaIsColoured)
{
    REQUIRE_LESSONS_TITLE();
    TaskRun run;
    TaskStudioState* state = startLine(run, "tasks/library.task", LocationName::Library);
    ASSERT_TRUE(run.until([&] { return state->getState() == TaskStudioState::TaskPickColor && state->getStep() == 1; }));
    EXPECT_EQ(CullingMode::Show, state->colorPieRoot->cullingMode);

    // Requirement 0: blue is wrong, the hint plays and the pie comes back.
    state->colorPickerCallback(blue);
    run.frame();
    EXPECT_EQ(1, state->wrongCount);
    ASSERT_TRUE(run.until([&] { return state->getStep() == 1 && !state->colorChosen; }));

    // Red is right; the pie stays a second at least, then the area is coloured.
    state->colorPickerCallback(red);
    run.frame();
    EXPECT_EQ(11, state->getStep());
    const unsigned int picked = state->getStateStartTime();
    ASSERT_TRUE(run.untilPhase(TaskStudioState::TaskFillArea));
    EXPECT_GE(state->getStateStartTime() - picked, 1000u);
    EXPECT_EQ(CullingMode::Hide, state->colorPieRoot->cullingMode);
    ASSERT_TRUE(run.until([&] { return state->getStep() == 2; }));

    // A stroke over the area that lifts off it: ended on the area, counted, too little.
    const TaskLine& line = state->getTask()->lines[state->currentLine];
    const int cx = (line.fillBox.x + line.fillBox.w / 2).getRaw() >> 16;
    const int cy = (line.fillBox.y + line.fillBox.h / 2).getRaw() >> 16;
    auto at = [&](int x, int y) { return run.screenOf(Vector2<tFixed>(tFixed(x), tFixed(y))); };
    std::vector<std::string> output = printed([&] {
        for (int x : {cx - 20, cx, cx + 20})
            run.touch(at(x, cy).first, at(x, cy).second, true);
        run.touch(at(10, 10).first, at(10, 10).second, false);
        run.frame();
    });
    ASSERT_FALSE(output.empty());
    EXPECT_EQ(0u, output[0].find("COLOR_FILL - COLORED: ")) << output[0];
    EXPECT_NE("COLOR_FILL - COLORED: 0, WHITE: 0", output[0]) << "the stroke reached the picture";
    EXPECT_EQ(1, state->touchStage) << "a hint, and the overlay blinks again";

    // The area painted in the chosen colour: the next lift on it ends the line.
    const TexturePtr picture = state->studio->canvas->getLayer()->getTexture();
    for (int y = 0; y < picture->getHeight(); ++y)
        for (int x = 0; x < picture->getWidth(); ++x)
            if (line.fillMaskTexture->getPixel(x, y).r > 199)
                picture->setPixel(red.rgba, x, y);
    state->studio->canvas->getLayer()->writeTexture(picture);
    output = printed([&] {
        run.touch(at(cx, cy).first, at(cx, cy).second, true);
        run.touch(at(cx, cy).first, at(cx, cy).second, false);
        run.frame();
    });
    ASSERT_FALSE(output.empty());
    EXPECT_EQ(0u, output[0].find("COLOR_FILL - COLORED: ")) << output[0];
    EXPECT_EQ(TaskStudioState::TaskOutro, state->getState());
}

TEST(TaskColourThreadTest, ThePickupIsGrabbedOnItsBoxEdgesAndDroppedByItsWindow)
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
