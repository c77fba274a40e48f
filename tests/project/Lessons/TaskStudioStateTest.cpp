// The task studio's spine: which file a lesson reads, the loading picture, the
// phase rule, the states popped at the exit and the skip at entry; and the
// layered character controller of task characters.
#include "LessonsTestSupport.h"
#include "VendrixApplication/CharacterTestSupport.h"


using namespace LessonsTest;

namespace
{
std::string lessonFile(int id)
{
    const std::string path = TaskStudioState(TaskType::WritingLesson, id, LocationName::WritingLesson).getTaskPath();
    return path.substr(path.find_last_of('/') + 1);
}
}

TEST(TaskStudioStateTest, LessonsByLocaleLoadingPictureAndThePhaseRule)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    for (int locale = 0; locale <= 4; ++locale)
    {
        player->locale = locale;
        const bool uk = locale == 2 || locale == 3;
        EXPECT_EQ(uk ? "uk_upper_B.task" : "upper_B.task", lessonFile(11)) << locale;
        EXPECT_EQ(uk ? "uk_1.task" : "1.task", lessonFile(1)) << locale;
        EXPECT_EQ("upper_A.task", lessonFile(10));
        EXPECT_EQ("0.task", lessonFile(0));
        EXPECT_EQ(uk ? "uk_lower_Z.task" : "lower_Z.task", lessonFile(61));
    }
    player->locale = 0;
    for (int id : {-1, 62})
        EXPECT_EQ((std::vector<std::string>{"Refused writing lesson " + std::to_string(id) + ": lesson ids are 0 to 61"}),
                  printed([&] { EXPECT_TRUE(TaskStudioState(TaskType::LetterTask, id, LocationName::WritingLesson).getTask()->isRefused()); }));

    EXPECT_TRUE(TaskStudioState(title().scratch).isShowingLoading()) << "a download";
    EXPECT_TRUE(state(TaskType::LocationTask, "firehouse")->isShowingLoading());
    for (eTaskType type : {TaskType::WritingLesson, TaskType::LetterTask, TaskType::WritingSubLesson, TaskType::AdvancedLesson})
        EXPECT_FALSE(state(type, "upper_A")->isShowingLoading()) << type;

    // One debug line names the task.
    testing::internal::CaptureStderr();
    TaskStudioState::completedLastLocation = true;
    std::unique_ptr<TaskStudioState> made = state(TaskType::LocationTask, "firehouse");
    EXPECT_EQ("TASK=\"firehouse\" VALUE=\"LOC_firehouse\" TYPE=\"Location\" \n", testing::internal::GetCapturedStderr());
    EXPECT_FALSE(TaskStudioState::completedLastLocation);
    EXPECT_TRUE(made->getState() == TaskStudioState::Prologue && made->getStep() == 0 && !made->isStateChanged());
    EXPECT_TRUE(made->canvasRestored && made->activityExitReason == 5 && made->playerData == player);

    made->setState(TaskStudioState::TaskDraw, 1);
    EXPECT_TRUE(made->isStateChanged());
    made->setState(TaskStudioState::TaskDraw, 2);
    EXPECT_FALSE(made->isStateChanged()) << "a new step of the same phase";
    made->setCurrentStep(static_cast<int>(made->getTask()->lines.size()));
    EXPECT_EQ(5, made->currentLine) << "past the last line: only stored";
}

TEST(TaskStudioStateThreadTest, PoppedAtTheExitOrAtEntryWhenSkipped)
{
    REQUIRE_LESSONS_TITLE();
    StateTestSupport::AppHarness harness(Below::make);
    harness.enter();
    ASSERT_TRUE(harness.settle());
    auto push = [&](TaskStudioState* pushed) {
        Application::PushGameState(pushed);
        harness.frame();
        EXPECT_TRUE(harness.settle());
        return pushed;
    };

    // Quitting waits for the speech, then pops the state.
    TaskStudioState* lesson = push(new TaskStudioState(TaskType::WritingLesson, 0, LocationName::WritingLesson));
    EXPECT_EQ(lesson->getAudioPlayer(), lesson->getTask()->audio) << "loaded";
    lesson->getAudioPlayer()->playSpeech("h_SCRIVLET_NiceWork_5.ogg");
    lesson->quitConfirmed = true;
    testing::internal::CaptureStderr();
    harness.frame();
    EXPECT_EQ("STATE_CHANGED NEW_STATE=\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(TaskStudioState::Exit, lesson->getState());
    for (int i = 0; i < 40; ++i)
        harness.frame();
    EXPECT_EQ(2u, harness.handler().getStackSize()) << "the speech still plays";
    for (int i = 0; i < 20; ++i)
        harness.frame();
    EXPECT_EQ(1u, harness.handler().getStackSize());

    // A letter task leaves the letter sequence below it too.
    Application::PushGameState(new Below);
    TaskStudioState* letter = push(new TaskStudioState(TaskType::LetterTask, 3, LocationName::WritingLesson));
    ASSERT_EQ(3u, harness.handler().getStackSize());
    letter->quitConfirmed = true;
    harness.frame();
    harness.frame();
    EXPECT_EQ(1u, harness.handler().getStackSize());

    // Free-form outros move to the next line, and after the last the epilogue pops.
    TaskStudioState* freeForm = push(new TaskStudioState(TaskType::WritingSubLesson, 36, LocationName::WritingLesson));
    freeForm->setState(TaskStudioState::FreeFormTaskOutro, 0);
    harness.frame();
    EXPECT_TRUE(freeForm->getState() == TaskStudioState::FreeFormTaskIntro && freeForm->currentLine == 1);
    freeForm->setState(TaskStudioState::FreeFormTaskOutro, 0);
    harness.frame();
    EXPECT_EQ(TaskStudioState::FreeFormEpilogue, freeForm->getState());
    harness.frame();
    EXPECT_EQ(1u, harness.handler().getStackSize());

    // A pending skip, or a refused file, pops the state at its entry; nothing is loaded.
    for (bool skipped : {true, false})
    {
        TaskStudioState::skip = skipped;
        TaskStudioState* popped = skipped ? new TaskStudioState(TaskType::WritingLesson, 5, LocationName::WritingLesson)
                                          : new TaskStudioState(TaskType::LocationTask, "tasks/none.task", LocationName::Lesson);
        Application::PushGameState(popped);
        harness.frame();
        popped->waitForLoader();
        EXPECT_TRUE(popped->isLoaded());
        EXPECT_EQ(nullptr, popped->getTask()->audio);
        EXPECT_EQ(skipped ? 3 : 5, popped->activityExitReason);
        EXPECT_FALSE(TaskStudioState::skip);
        harness.frame();
        EXPECT_EQ(1u, harness.handler().getStackSize());
    }
}

TEST(DoodleCharacterController2Test, LayersNameTheAnimationsOfPoseBodyMouthAndMood)
{
    CharacterPtr character(new Character);
    for (const char* name : {"p1_idle", "p2_idle", "p1_to_p2", "p1_blink", "p2_blink", "p1_celebrate", "p1_idle_talk_happy",
                             "p1_celebrate_talk_happy", "p2_idle_talk_happy", "p1_idle_mouth", "p3_celebrate"})
        character->addAnimation(name, CharacterTestSupport::framesOf(2));
    DoodleCharacterController2Ptr controller(new DoodleCharacterController2);
    character->addController(controller);
    controller->play();
    auto shown = [&](const char* name) { return character->getAnimation(name)->cullingMode == CullingMode::Show; };

    controller->setPose("p1");
    controller->playMouthAction("mouth");
    EXPECT_TRUE(shown("p1_idle") && shown("p1_idle_mouth")) << "no mood: no mood in the name";
    controller->setMood("happy");
    controller->playMouthAction("talk");
    EXPECT_TRUE(shown("p1_idle_talk_happy") && controller->isLipFlapPlaying());
    controller->playBodyAction("celebrate", false);
    EXPECT_TRUE(shown("p1_celebrate") && shown("p1_celebrate_talk_happy") && !shown("p1_idle_talk_happy"));
    controller->playBodyAction("idle", true);
    EXPECT_FALSE(controller->isLipFlapPlaying());

    controller->playMouthAction("talk");
    controller->setPose("p2");
    EXPECT_TRUE(shown("p1_to_p2") && !controller->isAnimationQueueEmpty()) << "the turn plays first";
    EXPECT_EQ("p2_idle", controller->getBodyAnimationName());
    EXPECT_TRUE(shown("p2_idle_talk_happy")) << "the mouth follows the pose";
    controller->setPose("p3");
    EXPECT_EQ("p2", controller->getPose()) << "no p3_idle: no such pose";
    EXPECT_EQ("p2_idle_talk_happy", controller->getMouthAnimationName());
}
