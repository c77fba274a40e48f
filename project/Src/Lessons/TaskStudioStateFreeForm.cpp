// The free-form part of a writing sub-lesson: the child draws the letter
// again on a blank canvas with only the dashed overlays as a guide.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Studio/Studio.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/GameLog.h"

#include <iostream>

namespace Tovrane
{
namespace
{
const char* const letterInvitations[4] = {"h_SCRIVLET_CanYDrwLttrAgnOnYrO_4.ogg", "h_SCRIVLET_DrawThLttrOnMrTm_3.ogg",
                                          "h_SCRIVLET_NowCnYDrwLttrWthtMy_4.ogg",
                                          "h_SCRIVLET_NowYTryTDrwLttrOnYr_3.ogg"};
}

void TaskStudioState::updateFreeFormPrologue()
{
    currentLine = 0;
    for (TaskLine& line : task->lines)
        if (line.dashedOverlay)
            line.dashedOverlay->cullingMode = CullingMode::Show;
    task->initWASpeech(TaskType::LocationTask);
    if (lessonID < 10)
        playSpeech(randomBelow(Task::randomSource, 1000) >= 500 ? "h_SCRIVLET_NowYCnFnshThTsk_5.ogg"
                                                                : "h_SCRIVLET_NowYouTry_5.ogg");
    else
    {
        // Never the invitation of the letter before.
        freeFormInvitation = static_cast<int>((randomBelow(Task::randomSource, 3) + freeFormInvitation + 1) % 4);
        playSpeech(letterInvitations[freeFormInvitation]);
    }
    studio->resetCanvas(true);
    setState(FreeFormTaskIntro, 0);
}

void TaskStudioState::updateFreeFormTaskIntro()
{
    TaskLine* line = currentTaskLine();
    if (!line)
    {
        setState(FreeFormEpilogue, 0);
        return;
    }
    if (step == 0)
    {
        if (hintRequested)
            playSpeech("h_SCRIVLET_StartHrAndDrwALnTHr_3.ogg");
        setCurrentStep(currentLine);
        if (line->dashedOverlay)
            line->dashedOverlay->cullingMode = CullingMode::Show;
        debugLog_LinePath(*line);
        setState(FreeFormTaskIntro, 1);
    }
    else if (!audioPlayer->isSpeechPlaying())
    {
        drawingModeOn = true;
        useDrawingMode(true);
        zoomIn(false);
        setState(FreeFormTaskDraw, 0);
    }
}

void TaskStudioState::updateFreeFormTaskDraw()
{
    TaskLine* line = currentTaskLine();
    if (!line)
    {
        setState(FreeFormEpilogue, 0);
        return;
    }
    if (step == 0)
    {
        task->newAnswer();
        touchStage = 1;
        blinkCount = 0;
        setState(FreeFormTaskDraw, 1);
    }
    if (touchStage != 0)
        return;
    const int answer = task->answer;
    if (answer == 1)
    {
        std::cout << "VERIFIED" << std::endl;
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
        if (currentLine + 1 == static_cast<int>(task->lines.size()))
            GameLog::correctAnswer(task->taskQuestionID, task->loggingIDs[1], task->loggingIDs[1]);
        // A dot is done with its tap, as in guided tracing.
        if (!line->isComplete() && line->allPoints.size() > 2)
        {
            touchStage = 1;
            task->newAnswer();
        }
        else
        {
            drawingModeOn = false;
            useDrawingMode(false);
            setState(FreeFormTaskOutro, 0);
        }
    }
    else if (answer == 0 && line->resumable)
    {
        setGuideDot(2, CullingMode::Show);
        setGuideDot(3, CullingMode::Show);
        touchStage = 1;
    }
    else if (answer >= 2)
    {
        studio->canvas->undo();
        if (++wrongCount == 3)
            GameLog::wrongAnswer(task->taskQuestionID, task->loggingIDs[1], "Out of bounds");
        setState(FreeFormTaskHelp, 0);
    }
}

void TaskStudioState::updateFreeFormTaskHelp()
{
    if (step == 0)
    {
        // A hint of the pool the prologue rebuilt, for the line drawn, spoken
        // as in a location task.
        task->playWASpeech(currentLine, true);
        setState(FreeFormTaskHelp, 1);
    }
    else if (!audioPlayer->isSpeechPlaying())
    {
        setState(FreeFormTaskDraw, 0);
    }
}

void TaskStudioState::updateFreeFormTaskOutro()
{
    if (step != 0 || audioPlayer->isSpeechPlaying() || audioPlayer->isSfxPlaying())
        return;
    currentLine += 1;
    setState(currentLine < static_cast<int>(task->lines.size()) ? FreeFormTaskIntro : FreeFormEpilogue, 0);
}

void TaskStudioState::updateFreeFormEpilogue()
{
    if (step != 0)
        return;
    Application::PopGameState();
    setState(FreeFormEpilogue, 1);
}

void TaskStudioState::timerCallback(VOID) { popOnce(); }
}
