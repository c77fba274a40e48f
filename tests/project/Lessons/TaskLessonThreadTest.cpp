// The art lessons run in process on the generated title: each staged and its
// script followed step by step, with its guide, to the lesson's end.
#include "LessonsTestSupport.h"

#include "Resources/Drawing/Layer.h"
#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/FlipbookToolbar.h"

#include <map>

using namespace LessonsTest;

namespace
{
TaskStudioState* pushLesson(TaskRun& run, int location)
{
    return run.push(new TaskStudioState(TaskType::AdvancedLesson, std::string("tasks/") + lessonStems[location - 27] + ".task",
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

// A lesson past its prologue, staged with its guide and extras.
void expectStaged(TaskStudioState& state)
{
    const TaskStudioState::LessonStaging* staging = TaskStudioState::findLessonStaging(state.getLocation());
    ASSERT_EQ(state.getLocation() != LocationName::LastAdvancedLesson, staging != nullptr);
    if (!staging)
        return;
    EXPECT_EQ(staging->guide != nullptr, state.lessonCharacterController != nullptr);
    EXPECT_EQ(state.getLocation() >= 38 && state.getLocation() <= 45, state.useGuideDots);
    int extras = 0;
    for (int i = 0; i < state.studio->canvas->getChildQuantity(); ++i)
    {
        SpatialPtr child = state.studio->canvas->getChild(i);
        extras += child && child->getType().isDerived(Character::RuntimeType) && child != state.lessonCharacter;
    }
    EXPECT_EQ((staging->extras[0].id != nullptr) + (staging->extras[1].id != nullptr), extras);
    // Wild and calm stand in front of the picture.
    const bool front = state.getLocation() == 46 || state.getLocation() == 47;
    EXPECT_EQ(front, state.backgroundBillboard->local[14] > tFixed(1));
    EXPECT_EQ(front, state.colorPie->local[14] > tFixed(2));
}
}

// Plays a lesson to its end as a child would: lines traced, the right colours
// picked, areas painted; in the animation lesson the hint pressed, then the
// button tapped, at steps 5 and 18. Returns what its script did, as words:
// each new lesson step, "line" for a line started from the script, "help",
// the guide's turns and "talk"/"quiet" for its mouth, and "pop" at the end.
static std::string playLesson(int location, std::vector<int>& framesDrawn, int& framesAfterPlay)
{
    TaskRun run;
    const size_t below = run.stackSize();
    TaskStudioState* state = pushLesson(run, location);
    std::string words, turn;
    int step = 0, playFrame = -1, frame = 0;
    bool talking = false, helped = false;
    TaskStudioState::eState was = state->getState();
    for (; frame < 20000 && run.stackSize() > below; ++frame)
    {
        const TaskStudioState::eState phase = state->getState();
        const auto prologue = [](TaskStudioState::eState p) { return p == TaskStudioState::Prologue || p == TaskStudioState::LessonPrologue; };
        if (prologue(was) && !prologue(phase))
            expectStaged(*state);
        const bool scripted = phase == TaskStudioState::LessonIntro || phase == TaskStudioState::LessonHelp;
        if (state->lessonStep != step)
            words += " " + std::to_string(step = state->lessonStep);
        if (was == TaskStudioState::LessonIntro && phase == TaskStudioState::TaskIntro)
            words += " line";
        if (was != TaskStudioState::LessonHelp && phase == TaskStudioState::LessonHelp)
            words += " help";
        was = phase;
        if (CharacterController* guide = state->lessonCharacterController.get())
        {
            const std::string name = guide->getCurrentAnimationName();
            if (scripted && name != turn && name.find("_to_") != std::string::npos)
                words += " " + name;
            turn = name;
            if (scripted && guide->isLipFlapPlaying() != talking)
                words += (talking = !talking) ? " talk" : " quiet";
        }
        const bool waiting = phase == TaskStudioState::LessonIntro && (step == 5 || step == 18);
        if (phase == TaskStudioState::TaskDraw && state->touchStage == 1)
        {
            framesDrawn.push_back(state->flipbookFrame);
            run.traceLine();
        }
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
            const auto at = run.screenOf(Vector2<tFixed>(line.fillBox.x + line.fillBox.w / 2, line.fillBox.y + line.fillBox.h / 2));
            printed([&] {
                run.touch(at.first, at.second, true);
                run.touch(at.first, at.second, false);
            });
        }
        else if (waiting && !helped)
        {
            run.button(0x200);
            helped = true;
        }
        else if (waiting && step == 5 && !state->frameTapped)
            state->flipbookToolbarCallback(ToolbarButtonEventArgs(1)), helped = false;
        else if (waiting && step == 18 && playFrame < 0)
        {
            // Play before step 18 is not taken: tapped here, once.
            state->flipbookToolbarCallback(ToolbarButtonEventArgs(FlipbookToolbar::PlayButton));
            playFrame = frame;
        }
        run.frame();
    }
    framesAfterPlay = frame - playFrame;
    return words + (run.stackSize() == below ? " pop" : " stuck");
}

TEST(TaskLessonThreadTest, EachLessonsScriptStepByStepWithItsGuide)
{
    REQUIRE_LESSONS_TITLE();
    // The guide-less cloud and horizon lessons, the animation lesson (a hint
    // repeated at steps 5 and 18, then the same wait), and all others. A line
    // comes back with the guide still talking from its praise.
    const std::string help = " help p2_to_p1 talk p1_to_p2 quiet";
    const std::map<int, std::string> scripts = {
        {35, " 1 line pop"},
        {45, " 1 line 2 pop"},
        {48, " 1 2 line talk 3 4 5 p1_to_p2 quiet" + help + " 6 p2_to_p1 7 talk 8 9 quiet 10 line talk 11 line 12 line"
             " 13 line 14 line 15 line 16 17 18 p1_to_p2 quiet" + help + " 19 pop"}};
    for (int location = 27; location <= 48; ++location)
    {
        SCOPED_TRACE(location);
        std::vector<int> framesDrawn;
        int framesAfterPlay = 0;
        const auto script = scripts.find(location);
        EXPECT_EQ(script == scripts.end() ? " 1 line talk 3 pop" : script->second,
                  playLesson(location, framesDrawn, framesAfterPlay));
        if (location == 48)
        {
            EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6}), framesDrawn);
            EXPECT_NEAR(3000 / 20, framesAfterPlay, 2) << "the exit timer, 3000 ms after the play tap";
        }
    }
}

TEST(TaskLessonThreadTest, AQuitConfirmedAsTheExitTimerFiresLeavesOnce)
{
    REQUIRE_LESSONS_TITLE();
    TaskRun run;
    Application::PushGameState(new Below); // the lesson's launcher
    run.frame();
    const size_t launcher = run.stackSize();
    TaskStudioState* state = pushLesson(run, 48);
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
