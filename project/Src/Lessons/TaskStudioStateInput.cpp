// The task studio's input: touches routed by phase to the quit dialog, the
// judging and the studio's stroke, or the drag of a pick-up line; the hint,
// quit, skip and developer buttons; the quit dialog's answer; and zooming the
// canvas in on a line and out again.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Resources/Drawing/Zoom.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/FlipbookController.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/GameLog.h"

#include <algorithm>

namespace Tovrane
{
namespace
{
const std::uint32_t HintButton = 0x200;
const std::uint32_t QuitButtons = 0x120;
const std::uint32_t SkipButton = 0x10;
const std::uint32_t DebugDotsButton = 0x40;
const std::uint32_t CutSpeechButton = 0x80;

// Whole pixels of a 16.16 value, rounded down.
int whole(tFixed value) { return value.getRaw() >> 16; }
}

void TaskStudioState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    const int x = touch.x, y = touch.y, down = touch.touchState;
    if (quitDialogOpen || (state == TaskPickColor && step == 1))
        uiPicker.doPick(x, y, down);
    else if (state == TaskDraw || state == FreeFormTaskDraw)
        processStroke(touch);
    else if (state == TaskPickup)
        processDrag(touch);
    else if (state == TaskFillArea)
        processTouchEvent_FillArea(touch);
    else if (state == Prologue && playerData->locationStates[location] == TaskState::Started)
        skipPrologue();
    if (location == LocationName::LastAdvancedLesson)
        uiPicker.doPick(x, y, down);
    lastTouchState = down;
}

void TaskStudioState::skipPrologue()
{
    task->prologue.clear();
    audioPlayer->stopSpeech();
}

void TaskStudioState::processStroke(const Vantorel::Kelm::tTouchData& touch)
{
    TaskLine* line = currentTaskLine();
    if (!line || !studio)
        return;
    const int x = touch.x, y = touch.y;
    const bool writing = taskType == TaskType::WritingLesson || taskType == TaskType::LetterTask ||
                         taskType == TaskType::WritingSubLesson;
    Vector2<tFixed> pos;
    studio->canvas->actualXY(x, y, pos.x, pos.y);

    if (touchStage == 1 && touch.touchState != 0 && lastTouchState == 0)
    {
        studio->canvas->pushUndo();
        task->verifyTouch(currentLine, TouchType::Down, pos);
        touchStage = 2;
        blinkCount = 10;
        studio->handleTouchEvent(x, y, touch.touchState);
        if (writing && task->answer <= 1)
            if (GeometryPtr dot = line->getStartGuideDot())
                dot->cullingMode = CullingMode::Hide;
        return;
    }
    if (touchStage != 2 || lastTouchState != 1)
        return;
    if (touch.touchState == 0)
    {
        touchStage = 3;
        task->verifyTouch(currentLine, TouchType::Up, pos);
        touchStage = 0;
        studio->handleTouchEvent(x, y, 0);
        return;
    }
    const bool complete = task->isAtEndPoint(currentLine, pos, true) && line->isComplete();
    if (complete)
        touchStage = 3;
    task->verifyTouch(currentLine, complete ? TouchType::Up : TouchType::Move, pos);
    studio->handleTouchEvent(x, y, 1);
    if (complete)
    {
        // The drawn stroke is carried to the line's exact end and ended there.
        const Vector2<tFixed>& end = line->allPoints[line->pathEnd];
        int sx = 0, sy = 0;
        studio->canvas->screenXY(whole(end.x), whole(end.y), sx, sy);
        studio->handleTouchEvent(sx, sy, 1);
        studio->handleTouchEvent(sx, sy, 0);
        touchStage = 0;
    }
    else if (task->answer >= 2)
    {
        studio->handleTouchEvent(x, y, 0);
        touchStage = 0;
    }
    if (writing && state != FreeFormTaskDraw)
        if (GeometryPtr dot = line->getEndGuideDot())
            dot->cullingMode = task->isAtEndPoint(currentLine, pos, false) ? CullingMode::Hide : CullingMode::Show;
}

void TaskStudioState::processDrag(const Vantorel::Kelm::tTouchData& touch)
{
    TaskLine* line = currentTaskLine();
    if (!line || !studio)
        return;
    PickupData& pickup = line->pickup;
    // A line without its begin or end picture drags the icon alone.
    if (!pickup.iconSprite)
        return;
    auto show = [](const SpatialPtr& picture, bool shown) {
        if (picture)
            picture->cullingMode = shown ? CullingMode::Show : CullingMode::Hide;
    };
    Vector2<tFixed> pos;
    studio->canvas->actualXY(touch.x, touch.y, pos.x, pos.y);
    const tFixed height(studio->canvas->getLayer()->getHeight());
    auto moveIcon = [&] {
        pickup.iconSprite->local[12] = pos.x;
        pickup.iconSprite->local[13] = height - pos.y;
        pickup.iconSprite->local[14] = tFixed::fromRaw(-26214);
        pickup.iconSprite->setTransformCurrent(false);
    };
    const std::int64_t drop = static_cast<std::int64_t>(pickup.boxY) + pickup.winY + pickup.boxH / 2;
    const std::int64_t py = pos.y.getRaw();
    const bool overTarget = (pickup.winY > 0 && py > drop * 65536) || (pickup.winY < 0 && py < drop * 65536);
    const bool pressed = touch.touchState != 0;

    if (touchStage == 1 && pressed && lastTouchState == 0)
    {
        const std::int64_t px = pos.x.getRaw();
        const std::int64_t left = static_cast<std::int64_t>(pickup.boxX) * 65536;
        const std::int64_t top = static_cast<std::int64_t>(pickup.boxY) * 65536;
        if (px < left || px > left + static_cast<std::int64_t>(pickup.boxW) * 65536 || py < top ||
            py > top + static_cast<std::int64_t>(pickup.boxH) * 65536)
            return;
        pickup.iconSprite->cullingMode = CullingMode::Show;
        show(pickup.beginSprite, false);
        moveIcon();
        touchStage = 2;
        step = 2;
        stateStartTime = currentTime;
        stateChanged = false;
        return;
    }
    if (touchStage != 2 || lastTouchState != 1)
        return;
    if (pressed)
    {
        moveIcon();
        // Over the target the end picture stands for the icon, when there is one.
        pickup.iconSprite->cullingMode = overTarget && pickup.endSprite ? CullingMode::Hide : CullingMode::Show;
        show(pickup.endSprite, overTarget);
    }
    else if (overTarget)
    {
        pickup.iconSprite->cullingMode = pickup.endSprite ? CullingMode::Hide : CullingMode::Show;
        show(pickup.beginSprite, false);
        show(pickup.endSprite, true);
        touchStage = 0;
    }
    else
    {
        task->playWASpeech(currentLine, false);
        pickup.iconSprite->cullingMode = CullingMode::Hide;
        show(pickup.beginSprite, true);
        show(pickup.endSprite, false);
        touchStage = 1;
        if (++wrongCount == 3)
            GameLog::wrongAnswer(line->questionID, "", "");
        audioPlayer->playSfx(BaseAudio::WrongAnswer);
        step = 0;
        stateStartTime = currentTime;
        stateChanged = false;
    }
}

void TaskStudioState::processButtonEvent(const Vantorel::Kelm::tButtonData2& buttons)
{
    const std::uint32_t mask = buttons.buttonState;
    const bool cheats = playerData && playerData->cheatsEnabled;
    if (mask & HintButton)
    {
        const bool hintPhase = state == TaskDraw || state == TaskSubLesson || state == TaskPickup ||
                               state == TaskFillArea || state == FreeFormTaskDraw || (state == TaskPickColor && step <= 19);
        if (hintPhase)
        {
            if (lastTouchState != 0)
                return;
            GameLog::hintRequest(currentLine + 1, "");
            hintRequested = true;
            TaskLine* line = currentTaskLine();
            if (line && location == LocationName::FirstAdvancedLesson)
            {
                const char* const prompts[4] = {"h_SCRIVLET_TrianglesHave3Sides_3.ogg", nullptr,
                                                "h_SCRIVLET_NextTraceThisWindow_3.ogg",
                                                "h_SCRIVLET_DoYSACrclInThSky_4.ogg"};
                if (currentLine >= 0 && currentLine < 4 && prompts[currentLine])
                    line->promptAudio = std::vector<std::string>(1, prompts[currentLine]);
            }
            setState(state == FreeFormTaskDraw ? FreeFormTaskIntro : TaskIntro, 0);
        }
        else if (location == LocationName::LastAdvancedLesson && (lessonStep == 5 || lessonStep == 18) &&
                 state != LessonHelp)
            setState(LessonHelp, 0);
        return;
    }
    if (cheats && (mask & DebugDotsButton) && (mask & CutSpeechButton))
    {
        setState(Epilogue, 0);
        return;
    }
    if (cheats && (mask & DebugDotsButton))
    {
        if (state != TaskDraw && state != FreeFormTaskDraw)
            return;
        showDebugDots = !showDebugDots;
        if (task->debugDraw == 1)
        {
            if (TaskLine* line = currentTaskLine())
                line->toggleDebugDots(showDebugDots);
        }
        else if (task->debugDraw == 2)
            for (TaskLine& line : task->lines)
                line.toggleDebugDots(showDebugDots);
        return;
    }
    if (cheats && (mask & CutSpeechButton))
    {
        if (state == Prologue)
            task->prologue.clear();
        else if (state == Epilogue)
            task->epilogue.clear();
        audioPlayer->stopSpeech();
        return;
    }
    if (mask & QuitButtons)
    {
        if (!quitDialogOpen)
            openQuitDialog();
        return;
    }
    if ((mask & SkipButton) && state == Prologue && playerData->locationStates[location] == TaskState::Started)
        skipPrologue();
}

void TaskStudioState::openQuitDialog()
{
    if (!quitDialogRoot || !quitDialogBox || !quitDialogController)
        return;
    stopLipflap();
    interruptedSpeech = audioPlayer->getCurrentSpeechFile();
    if (audioPlayer->isSpeechPlaying())
        audioPlayer->stopSpeech();
    quitDialogOpen = true;
    useDrawingMode(false);
    quitDialogRoot->cullingMode = CullingMode::Show;
    quitDialogBox->cullingMode = CullingMode::Show;
    quitDialogController->restart();
    uiPicker.elements.clear();
    uiPicker.addUIElements(quitDialogRoot);
}

void TaskStudioState::dialogBoxCallback(const DialogEventArgs& result)
{
    uiPicker.elements.clear();
    quitDialogController->stop();
    audioPlayer->stopSpeech();
    if (result.result == DialogEventArgs::Yes)
    {
        playSpeech("h_VIDORIV_Yes_3.ogg");
        activityExitReason = 3;
        quitConfirmed = true;
        if (taskType == TaskType::WritingSubLesson)
            skip = true;
    }
    else if (result.result == DialogEventArgs::No || result.result == DialogEventArgs::Cancel)
    {
        if (result.result == DialogEventArgs::No)
        {
            playSpeech("h_VIDORIV_No_3.ogg");
            if (!interruptedSpeech.empty())
                playSpeech(interruptedSpeech);
            resumeLipflap();
        }
        if (drawingModeOn)
            useDrawingMode(true);
    }
    quitDialogOpen = false;
    uiPicker.addUIElements(sceneRoot);
}

bool TaskStudioState::colorPickerCallback(const ColorPieArgs& args)
{
    chosenColorNumber = args.color;
    chosenColor = args.rgba;
    colorChosen = true;
    return args.color != 6;
}

void TaskStudioState::flipbookToolbarCallback(const ToolbarButtonEventArgs& button)
{
    if (button.index == FlipbookToolbar::PlayButton && lessonStep == 18)
    {
        if (flipbookController && !flipbookController->isPlaying())
            flipbookController->play();
        playTapped = true;
    }
    else if (button.index == 1 && lessonStep == 5)
    {
        if (studio)
            studio->setFrame(1);
        flipbookFrame = 1;
        if (flipbookToolbar)
            flipbookToolbar->showButtonHighlight(1);
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
        frameTapped = true;
    }
}

void TaskStudioState::verifyAnswer()
{
    TaskLine* line = currentTaskLine();
    if (!line || !studio)
        return;
    if (task->answer == 1 && line->isComplete())
        zoomOut();
    else if (task->answer >= 2)
        studio->canvas->undo();
}

void TaskStudioState::zoomCanvas(Canvas& canvas, int times, const Vector2<tFixed>& point)
{
    // The canvas has only so many zoom steps; more would change nothing.
    for (int i = 0; i < std::min(times, Task::MaxZoom); ++i)
        canvas.useTool(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), 0, 0);
    const tFixed zoom = canvas.getZoom();
    const std::int64_t halfWidth = canvas.getViewWidth().getRaw() / 2;
    const std::int64_t halfHeight = canvas.getViewHeight().getRaw() / 2;
    const std::int64_t dx = ((point.x.getRaw() - halfWidth) * zoom.getRaw()) >> 16;
    const std::int64_t dy = ((point.y.getRaw() - halfHeight) * zoom.getRaw()) >> 16;
    canvas.panBy(static_cast<int>(dx >> 16), static_cast<int>(dy >> 16));
}

void TaskStudioState::zoomIn(const bool& force)
{
    TaskLine* line = currentTaskLine();
    if ((keepZoom && !force) || !line || line->zoom < 1 || !studio)
        return;
    zoomCanvas(*studio->canvas, line->zoom, line->zoomPoint);
}

void TaskStudioState::zoomOut()
{
    TaskLine* line = currentTaskLine();
    if (!line || !studio)
        return;
    const int next = currentLine + 1;
    if (next < static_cast<int>(task->lines.size()) && line->zoom > 0 && task->lines[next].zoom == line->zoom)
    {
        const Vector2<tFixed>& a = line->zoomPoint;
        const Vector2<tFixed>& b = task->lines[next].zoomPoint;
        const int dx = whole(b.x) - whole(a.x), dy = whole(b.y) - whole(a.y);
        if (dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2)
        {
            keepZoom = true;
            return;
        }
    }
    keepZoom = false;
    const LayerPtr layer = studio->canvas->getLayer();
    for (int i = 0; i < std::min(line->zoom, Task::MaxZoom); ++i)
        studio->canvas->useTool(ToolPtr(new Zoom(ZoomToolState::ZoomOut)), layer->getWidth() / 2,
                                layer->getHeight() / 2);
}
}
