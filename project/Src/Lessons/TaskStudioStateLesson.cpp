// The art lessons: a guide beside the canvas (and in some lessons characters
// that only idle), staged in one frame; the scripts that run the task's lines
// between the guide's turns; and the guide's talk, with which the line phases
// let it say prompts, hints and praise.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Drawing/Canvas.h"
#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/FlipbookController.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/DebugLog.h"

namespace Tovrane
{
namespace
{
const int CloudLesson = 35, HorizonLesson = 45, WildLesson = 46, CalmLesson = 47, AnimationLesson = 48;
const char* const nextFrameSpeech = "h_SCRIVLET_LetsMvTNxtFrmFrmIsJ_3.ogg";
const char* const playSpeechName = "h_SCRIVLET_TouchPlyBttnTPlyYrB_5.ogg";

const TaskStudioState::LessonStaging stagings[] = {
    {27, {"seeing_shapes_scv_era", nullptr}, "scvss", {}},
    {28, {"professor", nullptr}, "prf", {}},
    {29, {"professor", nullptr}, "prf", {}},
    {30, {"professor", "scrivlet_pain"}, "prf", {{"scv", "rect_p1_pained", "rect_p1_pained_blink", true}, {}}},
    {31, {"professor", "scrivlet_rect_2"}, "prf", {{"scv", "rect_p2_idle", "rect_p2_blink", false}, {}}},
    {32, {"scrivlet_circle", nullptr}, "scv", {}},
    {33, {"scrivlet_circle", nullptr}, "scv", {{"era", "cir_p2", "cir_p2_blink", false}, {}}},
    {34, {"scrivlet_hexigon", "professor"}, "scv", {{"prf", "p1_idle", "p1_blink", false}, {}}},
    {35, {nullptr, nullptr}, nullptr, {}},
    {36, {"organic_shapes", nullptr}, "scv", {}},
    {37, {"organic_shapes", nullptr}, "scv", {}},
    {38, {"horizontal_lines_p1", nullptr}, "msb", {}},
    {39, {"horizontal_line_p2_p3", nullptr}, "mar", {}},
    {40, {"horizontal_line_p2_p3", nullptr}, "mar", {{"scv", "p1_idle", "p1_blink", false}, {}}},
    {41, {"curve_p1", nullptr}, "msb", {}},
    {42, {"curve_p2", nullptr}, "scv", {{"era", "p1_idle", "p1_blink", false}, {}}},
    {43, {"diagonal_lines_p1", nullptr}, "scv", {{"era", "p1_idle", "p1_blink", false}, {}}},
    {44, {"diagonal_lines_p1", nullptr}, "scv", {{"era", "p1_idle", "p1_blink", false}, {}}},
    {45, {"composition_p0", nullptr}, nullptr, {}},
    {46, {"wild", nullptr}, "msb", {{"red", "wild_jumploop", nullptr, false}, {"grn", "wild_jumploop", nullptr, false}}},
    {47, {"calm", nullptr}, "msb", {{"blu", "calm_idle", "calm_blink", false}, {"pur", "calm_idle", "calm_blink", false}}},
};
}

const TaskStudioState::LessonStaging* TaskStudioState::findLessonStaging(int location)
{
    for (const LessonStaging& staging : stagings)
        if (staging.location == location)
            return &staging;
    return nullptr;
}

CharacterPtr TaskStudioState::makeLessonExtra(const LessonStaging::Extra& extra)
{
    // A character the descriptions lack is left out (the scene manager says so).
    CharacterPtr character = sceneManager.getCharacter(extra.id);
    if (!character)
        return character;
    CharacterControllerPtr controller(new CharacterController);
    character->addController(controller);
    if (extra.blinkFirst)
        controller->setBlinkAnimation(extra.blink);
    controller->setIdleAnimation(extra.idle);
    if (!extra.blinkFirst && extra.blink)
        controller->setBlinkAnimation(extra.blink);
    controller->play();
    return character;
}

void TaskStudioState::stageAnimationLesson()
{
    sceneManager.addSceneInfo("animation");
    studio->setMode(StudioMode::Flipbook);
    lessonCharacter = sceneManager.getCharacter("scv");
    if (lessonCharacter)
    {
        lessonCharacterController.reset(new CharacterController);
        lessonCharacter->addController(lessonCharacterController);
        lessonCharacterController->setIdleAnimation("p1_idle");
        lessonCharacterController->setLipFlapAnimation("p1_talk", true);
        lessonCharacterController->play();
        studio->root->addChild(lessonCharacter);
    }
    flipbookToolbar.reset(new FlipbookToolbar);
    studio->root->addChild(flipbookToolbar);
    flipbookToolbar->clickEvent +=
        new FlipbookToolbar::ToolbarEvent::MethodDelegate<TaskStudioState>(this, &TaskStudioState::flipbookToolbarCallback);
    // The blinkers flash at 500 ms once the script plays them.
    BlinkControllerPtr* blinkers[] = {&frameButtonBlinker, &playButtonBlinker};
    const int buttons[] = {1, FlipbookToolbar::PlayButton};
    for (int i = 0; i < 2; ++i)
    {
        blinkers[i]->reset(new BlinkController(1000));
        if (ButtonPtr button = flipbookToolbar->getButton(buttons[i]))
            if (SpatialPtr pressed = button->getPressedGeo())
                pressed->addController(*blinkers[i]);
        (*blinkers[i])->setInterval(500);
    }
    exitTimer.reset(new EventController(3000, 1));
    exitTimer->event += new Event<void, VOID>::MethodDelegate<TaskStudioState>(this, &TaskStudioState::timerCallback);
    sceneRoot->addController(exitTimer);
    uiPicker.addUIElements(flipbookToolbar);
    flipbookController.reset(new FlipbookController);
    flipbookController->setFrameCount(AnimationFrames);
    flipbookController->repeatType = RepeatType::Wrap;
    studio->addController(flipbookController);
    lessonStep = 0;
    frameTapped = playTapped = false;
    stateStartTime = currentTime;
    lessonReturnState = LessonIntro;
    state = LessonIntro;
}

void TaskStudioState::updateLessonPrologue()
{
    if (lessonStep == 0 && location == AnimationLesson)
    {
        stageAnimationLesson();
        return;
    }
    const LessonStaging* staging = lessonStep == 0 ? findLessonStaging(location) : nullptr;
    if (!staging)
        return;
    for (const char* scene : staging->scenes)
        if (scene)
            sceneManager.addSceneInfo(scene);
    if (staging->guide)
    {
        lessonCharacter = sceneManager.getCharacter(staging->guide);
        if (lessonCharacter)
        {
            lessonCharacterController.reset(new CharacterController);
            lessonCharacter->addController(lessonCharacterController);
            lessonCharacterController->setIdleAnimation("p1_idle");
            lessonCharacterController->setLipFlapAnimation("p1_talk", true);
            lessonCharacterController->play();
            studio->canvas->addChild(lessonCharacter);
        }
    }
    CharacterPtr extras[2];
    for (int i = 0; i < 2; ++i)
        if (staging->extras[i].id)
            extras[i] = makeLessonExtra(staging->extras[i]);
    if (extras[0])
        studio->canvas->addChild(extras[0]);
    if (location == WildLesson || location == CalmLesson)
    {
        // In front of the picture: the renderer draws in ascending z.
        const Vector3<tFixed> front(tFixed(0), tFixed(0), tFixed(2));
        const SpatialPtr moved[] = {backgroundBillboard, lessonCharacter, extras[0], extras[1], colorPie, quitDialogRoot};
        for (const SpatialPtr& object : moved)
            if (object)
                object->movePosition(front);
    }
    if (extras[1])
        studio->canvas->addChild(extras[1]);
    if (location >= 38 && location <= 45)
        useGuideDots = true;
    lessonStep = 0;
    lessonReturnState = LessonIntro;
    state = LessonIntro;
    stateStartTime = currentTime;
}

void TaskStudioState::stayInLesson()
{
    state = lessonReturnState;
    stateStartTime = currentTime;
}

void TaskStudioState::popOnce()
{
    if (popRequested)
        return;
    popRequested = true;
    Application::PopGameState();
}

void TaskStudioState::updateLessonIntro()
{
    const bool speaking = audioPlayer->isSpeechPlaying();
    if (location == CloudLesson)
    {
        if (lessonStep == 0 && !speaking)
        {
            lessonStep = 1;
            setState(TaskIntro, 0);
        }
        else if (lessonStep == 1)
            popOnce();
        return;
    }
    if (location == HorizonLesson)
    {
        if (lessonStep == 0 && !speaking)
        {
            setState(TaskIntro, 0);
            lessonStep = 1;
            return;
        }
        if (lessonStep == 1)
        {
            // The picture swaps to its finished look, and the guide-less praise.
            if (SpatialPtr finished = studio->canvas->getChild(1))
                finished->cullingMode = CullingMode::Show;
            if (SpatialPtr first = studio->canvas->getChild(0))
                first->cullingMode = CullingMode::Hide;
            playSpeech("h_SCRIVLET_YesThatsIt_5.ogg");
            lessonStep = 2;
            stayInLesson();
        }
        if (lessonStep == 2 && !audioPlayer->isSpeechPlaying())
            popOnce();
        return;
    }
    if (location == AnimationLesson)
    {
        updateAnimationLesson();
        return;
    }
    if (location < 27 || location > 47)
        return;
    switch (lessonStep)
    {
    case 0:
        if (lessonCharacterController && !lessonCharacterController->isAnimationQueueEmpty())
            break;
        lessonStep = 1;
        setState(TaskIntro, 0);
        break;
    case 1:
        lessonStep = 3;
        stayInLesson();
        break;
    case 3:
        if (!speaking)
            popOnce();
        break;
    default: break;
    }
}

// The guide turns between the child (p1, talking) and the picture (p2,
// listening); each turn and each change of its mouth writes a debug line
// ("GUIDE TURN=p2_to_p1", "GUIDE MOUTH=ON").
bool TaskStudioState::guideIdle() const
{
    return !lessonCharacterController || lessonCharacterController->isAnimationQueueEmpty();
}

void TaskStudioState::turnGuide(bool toPicture)
{
    if (!lessonCharacterController)
        return;
    const char* turn = toPicture ? "p1_to_p2" : "p2_to_p1";
    lessonCharacterController->pushAnimation(turn);
    lessonCharacterController->setIdleAnimation(toPicture ? "p2_idle" : "p1_idle");
    DebugLog::writeString(std::string("GUIDE TURN=") + turn + "\n");
}

void TaskStudioState::moveGuideMouth(bool moving)
{
    if (!lessonCharacterController)
        return;
    const bool was = lessonCharacterController->isLipFlapPlaying();
    if (moving)
        lessonCharacterController->playLipFlapAnimation(true);
    else
        lessonCharacterController->stopLipFlapAnimation();
    if (was != moving)
        DebugLog::writeString(moving ? "GUIDE MOUTH=ON\n" : "GUIDE MOUTH=OFF\n");
}

bool TaskStudioState::advanceLessonStartTalk()
{
    if (!lessonCharacterController || lessonCharacterTalkPose)
        return false;
    turnGuide(false);
    lessonCharacterTalkPose = true;
    return false;
}

bool TaskStudioState::advanceLessonDoTalk()
{
    if (!lessonCharacterController)
    {
        // Without a guide the speech is played once, directly.
        if (hintSpeechPending)
            audioPlayer->playSpeech(pendingHintSpeech);
        hintSpeechPending = false;
        return true;
    }
    if (hintSpeechPending)
        audioPlayer->playSpeech(pendingHintSpeech);
    if (lessonCharacterController->isLipFlapPlaying())
        return true;
    if (!lessonCharacterController->isAnimationQueueEmpty())
        return false;
    moveGuideMouth(true);
    return true;
}

bool TaskStudioState::advanceLessonShutup()
{
    // The pending speech is dropped with or without a guide, so that it is never replayed.
    hintSpeechPending = false;
    if (!lessonCharacterController)
        return false;
    moveGuideMouth(false);
    turnGuide(true);
    lessonCharacterTalkPose = false;
    return lessonCharacterController->isAnimationQueueEmpty();
}

void TaskStudioState::updateAnimationLesson()
{
    const bool speaking = audioPlayer->isSpeechPlaying();
    const int lines = static_cast<int>(task->lines.size());
    switch (lessonStep)
    {
    case 0:
        if (speaking)
            break;
        moveGuideMouth(false);
        lessonStep = 1;
        stayInLesson();
        break;
    case 1:
        if (!guideIdle())
            break;
        lessonStep = 2;
        setState(TaskIntro, 0);
        break;
    case 2:
        lessonStep = 3;
        stayInLesson();
        break;
    case 3:
        if (!guideIdle())
            break;
        lineSpeech.init({"h_SCRIVLET_NowWNdTMkItLkLkItsF_3.ogg", nextFrameSpeech});
        lessonHelpSpeech = nextFrameSpeech;
        moveGuideMouth(true);
        lessonStep = 4;
        stayInLesson();
        break;
    case 4:
        lineSpeech.update();
        if (!lineSpeech.isDone())
            break;
        turnGuide(true);
        moveGuideMouth(false);
        frameButtonBlinker->play();
        lessonStep = 5;
        stayInLesson();
        break;
    case 5:
        if (!frameTapped)
            break;
        frameButtonBlinker->stop();
        turnGuide(false);
        lessonStep = 6;
        stayInLesson();
        break;
    case 6:
    case 7:
        if (lessonStep == 6 ? !guideIdle() : speaking)
            break;
        playSpeech(lessonStep == 6 ? "h_SCRIVLET_InOrdrTSLstCrclYDrw_5.ogg" : "h_SCRIVLET_GoodSCrclYDrwItsLtt_3.ogg");
        moveGuideMouth(true);
        ++lessonStep;
        stayInLesson();
        break;
    case 8:
        if (speaking)
            break;
        moveGuideMouth(false);
        lessonStep = 9;
        stayInLesson();
        break;
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
        if (lessonStep == 9 && !guideIdle())
            break;
        // No line is started past the task's last one.
        if (currentLine + 1 >= lines)
        {
            lessonStep = 15;
            stayInLesson();
            break;
        }
        if (lessonStep > 9)
        {
            ++flipbookFrame;
            studio->setFrame(flipbookFrame);
            flipbookToolbar->showButtonHighlight(flipbookFrame);
        }
        ++lessonStep;
        ++currentLine;
        setState(TaskIntro, 0);
        break;
    case 15:
        lessonStep = 16;
        stayInLesson();
        break;
    case 16:
        if (!guideIdle())
            break;
        playSpeech(playSpeechName);
        moveGuideMouth(true);
        lessonHelpSpeech = playSpeechName;
        lessonStep = 17;
        stayInLesson();
        break;
    case 17:
        if (speaking)
            break;
        moveGuideMouth(false);
        turnGuide(true);
        playButtonBlinker->play();
        lessonStep = 18;
        stayInLesson();
        break;
    case 18:
        if (!playTapped)
            break;
        playButtonBlinker->stop();
        exitTimer->play();
        studio->showOnionSkin(false);
        lessonStep = 19;
        stayInLesson();
        break;
    default: break;
    }
}

void TaskStudioState::updateLessonHelp()
{
    switch (step)
    {
    case 0:
        turnGuide(false);
        step = 1;
        break;
    case 1:
        if (!guideIdle())
            break;
        playSpeech(lessonHelpSpeech);
        moveGuideMouth(true);
        step = 2;
        break;
    case 2:
        if (audioPlayer->isSpeechPlaying())
            break;
        moveGuideMouth(false);
        turnGuide(true);
        step = 3;
        break;
    case 3:
        if (guideIdle())
            stayInLesson();
        break;
    default: break;
    }
}
}
