// The art lessons run in process on the generated title: how each is staged,
// and each played to its end by tracing, picking and colouring its lines.
#include "TaskScreenTestSupport.h"

#include "Resources/Drawing/Layer.h"
#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/FlipbookToolbar.h"

using namespace TaskScreenTest;

namespace
{
const char* const stems[] = {"seeing_shapes", "shapes_eq_triangle", "shapes_triangle_2", "shapes_rectangle",
                             "shapes_square", "shapes_circle", "shapes_ellipse", "shapes_hexigon", "cloud", "tree",
                             "car", "straight_line", "horizontal_line", "vertical_line", "curve", "waves",
                             "diagonal_line", "zigzag", "horizon_line", "wild", "calm"};

TaskStudioState* pushLesson(TaskRun& run, int location)
{
    return run.push(new TaskStudioState(TaskType::AdvancedLesson, std::string("tasks/") + stems[location - 27] + ".task",
                                        static_cast<LocationName::Type>(location)));
}

// The colour the pie reports for a pick.
ColorPieArgs pick(int requirement)
{
    static const ColorRGBA<unsigned char> colours[] = {{192, 0, 0, 255},   {0, 0, 192, 255},  {240, 240, 0, 255},
                                                       {144, 0, 192, 255}, {48, 144, 0, 255}, {240, 144, 0, 255}};
    const int number = requirement == 7 ? 0 : requirement == 8 || requirement == 9 ? 4 : requirement;
    return ColorPieArgs(number, colours[number]);
}
}

TEST(TaskLessonThreadTest, EachLessonIsStagedWithItsGuideAndExtras)
{
    REQUIRE_LESSONS_TITLE();
    for (int location = 27; location <= 47; ++location)
    {
        SCOPED_TRACE(location);
        const TaskStudioState::LessonStaging* staging = TaskStudioState::findLessonStaging(location);
        ASSERT_TRUE(staging);
        TaskRun run;
        TaskStudioState* state = nullptr;
        const std::vector<std::string> output = printed([&] {
            state = pushLesson(run, location);
            run.until([&] { return state->getState() != TaskStudioState::Prologue &&
                                   state->getState() != TaskStudioState::LessonPrologue; });
        });
        for (const std::string& line : output)
            EXPECT_EQ(std::string::npos, line.find("Could not")) << line;
        EXPECT_EQ(staging->guide != nullptr, state->lessonCharacterController != nullptr);
        EXPECT_EQ(location >= 38 && location <= 45, state->useGuideDots);
        int extras = 0;
        for (int i = 0; i < state->studio->canvas->getChildQuantity(); ++i)
        {
            SpatialPtr child = state->studio->canvas->getChild(i);
            extras += child && child->getType().isDerived(Character::RuntimeType) && child != state->lessonCharacter;
        }
        EXPECT_EQ((staging->extras[0].id != nullptr) + (staging->extras[1].id != nullptr), extras);
        // Wild and calm stand in front of the picture.
        const bool front = location == 46 || location == 47;
        EXPECT_EQ(front, state->backgroundBillboard->local[14] > tFixed(1));
        EXPECT_EQ(front, state->colorPie->local[14] > tFixed(2));
    }
}

TEST(TaskLessonThreadTest, EveryLessonPlaysToItsEnd)
{
    REQUIRE_LESSONS_TITLE();
    for (int location = 27; location <= 47; ++location)
    {
        SCOPED_TRACE(location);
        TaskRun run;
        const size_t below = run.stackSize();
        TaskStudioState* state = pushLesson(run, location);
        bool ended = false;
        for (int frames = 0; frames < 20000 && !ended; ++frames)
        {
            if (run.stackSize() == below)
            {
                ended = true;
                break;
            }
            const TaskStudioState::eState phase = state->getState();
            if (phase == TaskStudioState::TaskDraw && state->touchStage == 1)
                run.traceLine();
            else if (phase == TaskStudioState::TaskPickColor && state->getStep() == 1)
                state->colorPickerCallback(pick(state->getTask()->lines[state->currentLine].fillColorReq));
            else if (phase == TaskStudioState::TaskFillArea && state->getStep() == 2 && state->touchStage == 1)
            {
                const TaskLine& line = state->getTask()->lines[state->currentLine];
                const TexturePtr picture = state->studio->canvas->getLayer()->getTexture();
                for (int y = 0; y < picture->getHeight(); ++y)
                    for (int x = 0; x < picture->getWidth(); ++x)
                        if (line.fillMaskTexture->getPixel(x, y).r > 199)
                            picture->setPixel(state->chosenColor, x, y);
                state->studio->canvas->getLayer()->writeTexture(picture);
                const int x = (line.fillBox.x + line.fillBox.w / 2).getRaw() >> 16;
                const int y = (line.fillBox.y + line.fillBox.h / 2).getRaw() >> 16;
                const auto at = run.screenOf(Vector2<tFixed>(tFixed(x), tFixed(y)));
                printed([&] {
                    run.touch(at.first, at.second, true);
                    run.touch(at.first, at.second, false);
                });
            }
            run.frame();
        }
        EXPECT_TRUE(ended) << "stuck in phase " << state->getState() << " step " << state->getStep() << " lesson step "
                           << state->lessonStep;
    }
}

TEST(TaskLessonThreadTest, TheAnimationLessonDrawsSevenFramesAndLeavesThreeSecondsAfterPlay)
{
    REQUIRE_LESSONS_TITLE();
    TaskRun run;
    const size_t below = run.stackSize();
    TaskStudioState* state = run.push(
        new TaskStudioState(TaskType::AdvancedLesson, "tasks/animation.task", static_cast<LocationName::Type>(48)));
    std::vector<int> framesDrawn;
    int playFrame = -1, frame = 0;
    for (; frame < 20000 && run.stackSize() > below; ++frame)
    {
        if (state->getState() == TaskStudioState::TaskDraw && state->touchStage == 1)
        {
            framesDrawn.push_back(state->flipbookFrame);
            run.traceLine();
        }
        else if (state->getState() == TaskStudioState::LessonIntro && state->lessonStep == 5 && !state->frameTapped)
            state->flipbookToolbarCallback(ToolbarButtonEventArgs(1));
        else if (state->getState() == TaskStudioState::LessonIntro && state->lessonStep == 18 && playFrame < 0)
        {
            // Play before step 18 is not taken: tapped here, once.
            state->flipbookToolbarCallback(ToolbarButtonEventArgs(FlipbookToolbar::PlayButton));
            playFrame = frame;
        }
        run.frame();
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6}), framesDrawn);
    ASSERT_GE(playFrame, 0);
    EXPECT_NEAR(3000 / 20, frame - playFrame, 2) << "the exit timer, 3000 ms after the play tap";
}

TEST(TaskLessonThreadTest, AQuitConfirmedAsTheExitTimerFiresLeavesOnce)
{
    REQUIRE_LESSONS_TITLE();
    TaskRun run;
    Application::PushGameState(new Below); // the lesson's launcher
    run.frame();
    const size_t launcher = run.stackSize();
    TaskStudioState* state = run.push(
        new TaskStudioState(TaskType::AdvancedLesson, "tasks/animation.task", static_cast<LocationName::Type>(48)));
    ASSERT_TRUE(run.until([&] { return state->getState() == TaskStudioState::LessonIntro; }));
    // The timer fires in this frame and the quit is confirmed in it too.
    state->timerCallback(VOID());
    state->quitConfirmed = true;
    for (int i = 0; i < 50; ++i)
        run.frame();
    EXPECT_EQ(launcher, run.stackSize()) << "the launcher stays; the screen below it is never popped";
}

TEST(TaskLessonThreadTest, TheTalkProtocolWithAndWithoutAGuide)
{
    REQUIRE_LESSONS_TITLE();
    TaskRun run;
    TaskStudioState* state = pushLesson(run, 28);
    ASSERT_TRUE(run.until([&] { return state->lessonCharacterController != nullptr; }));
    CharacterController& guide = *state->lessonCharacterController;
    run.until([&] { return guide.isAnimationQueueEmpty(); });

    // Already in the talk pose after loading: starting to talk turns nothing.
    state->advanceLessonStartTalk();
    EXPECT_TRUE(guide.isAnimationQueueEmpty());
    state->pendingHintSpeech = "h_VIDORIV_KeepColoring_5.ogg";
    state->hintSpeechPending = true;
    EXPECT_TRUE(state->advanceLessonDoTalk());
    EXPECT_TRUE(guide.isLipFlapPlaying() && state->hintSpeechPending) << "said until the guide is told to stop";
    state->advanceLessonShutup();
    EXPECT_FALSE(guide.isLipFlapPlaying() || state->hintSpeechPending || state->lessonCharacterTalkPose);
    EXPECT_FALSE(guide.isAnimationQueueEmpty()) << "turning back to the picture";

    // Turning to talk: the mouth waits until the turn has ended.
    run.until([&] { return guide.isAnimationQueueEmpty(); });
    state->advanceLessonStartTalk();
    EXPECT_FALSE(state->advanceLessonDoTalk());
    EXPECT_FALSE(guide.isLipFlapPlaying());
    ASSERT_TRUE(run.until([&] { return guide.isAnimationQueueEmpty(); }));
    EXPECT_TRUE(state->advanceLessonDoTalk() && guide.isLipFlapPlaying());

    // The cloud lesson has no guide: a pending hint is said once and dropped.
    TaskRun cloud;
    TaskStudioState* lesson = pushLesson(cloud, 35);
    lesson->pendingHintSpeech = "h_VIDORIV_KeepColoring_5.ogg";
    lesson->hintSpeechPending = true;
    EXPECT_TRUE(lesson->advanceLessonDoTalk());
    EXPECT_FALSE(lesson->hintSpeechPending);
    EXPECT_FALSE(lesson->advanceLessonShutup());
}
