// The phases of an ordinary task between its prologue and epilogue: each line's intro,
// help, tracing or sub-lesson and outro.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/GameLog.h"

namespace Tovrane
{
bool TaskStudioState::guideDotsInUse() const { return useGuideDots || isWritingTask(taskType); }

void TaskStudioState::setGuideDot(int index, CullingMode::Type mode)
{
    if (TaskLine* line = currentTaskLine())
        line->setGuideDotCullingMode(index, mode);
}

void TaskStudioState::playSpeech(const std::string& name) { audioPlayer->playSpeech(name); }

void TaskStudioState::updateTaskIntro()
{
    TaskLine* line = currentTaskLine();
    if (!line)
    {
        setState(Epilogue, 0);
        return;
    }
    switch (step)
    {
    case 0:
        if (!hintRequested)
        {
            wrongCount = 0;
            if (line->undoStroke)
                saveBackupCanvas();
            if (taskType == TaskType::LocationTask)
                launchAdvancedLesson();
        }
        setState(TaskIntro, 1);
        break;
    case 1:
        if (!canvasRestored)
        {
            canvasRestored = true;
            loadBackupCanvas();
        }
        if (!hintRequested && (taskType == TaskType::LocationTask || taskType == TaskType::AdvancedLesson) &&
            !line->noActivityStart)
        {
            GameLog::activityStart(line->loggingID, "NA", "1");
            activityOpen = true;
        }
        setCurrentStep(currentLine);
        lineSpeech.init(line->noIntro && !hintRequested ? std::vector<std::string>() : line->promptAudio);
        if (taskType == TaskType::AdvancedLesson)
            advanceLessonStartTalk();
        if (guideDotsInUse())
        {
            setGuideDot(0, CullingMode::Show);
            setGuideDot(1, CullingMode::Hide);
        }
        setGuideDot(2, CullingMode::Hide);
        setGuideDot(3, CullingMode::Hide);
        setState(TaskIntro, 2);
        break;
    case 2:
        // In an art lesson the guide first turns to the child, then says the prompt.
        if (taskType == TaskType::AdvancedLesson && !advanceLessonDoTalk())
            return;
        lineSpeech.update();
        if (!lineSpeech.isDone())
            return;
        if (taskType == TaskType::AdvancedLesson)
            advanceLessonShutup();
        if (!hintRequested)
        {
            zoomIn(false);
            debugLog_TaskIntro(*line);
        }
        if (line->resumable)
        {
            setGuideDot(2, CullingMode::Show);
            setGuideDot(3, CullingMode::Show);
        }
        if (guideDotsInUse())
            setGuideDot(1, CullingMode::Show);
        if (!line->subLessonPath.empty())
            setState(TaskSubLesson, 0);
        else if (line->pickup.present)
            setState(TaskPickup, 0);
        else if (!line->fillMaskImage.empty())
            setState(TaskPickColor, 0);
        else
        {
            drawingModeOn = true;
            useDrawingMode(true);
            setState(TaskDraw, 0);
        }
        hintRequested = false;
        break;
    default:
        break;
    }
}

void TaskStudioState::updateTaskHelp()
{
    const bool lessonHint = taskType == TaskType::AdvancedLesson && hintSpeechPending;
    if (step == 0)
    {
        // The lesson guide says a pending hint once it has turned to the child;
        // without a guide the hint is played at once.
        if (lessonHint && lessonCharacterController)
        {
            if (!guideIdle())
                return;
            advanceLessonDoTalk();
        }
        else if (lessonHint)
            playSpeech(pendingHintSpeech);
        if (guideDotsInUse())
        {
            task->playWAInstrSpeech();
            setGuideDot(0, CullingMode::Show);
            setGuideDot(1, CullingMode::Hide);
        }
        setState(TaskHelp, 1);
        return;
    }
    if (audioPlayer->isSpeechPlaying())
        return;
    if (guideDotsInUse())
        setGuideDot(1, CullingMode::Show);
    if (lessonHint)
        advanceLessonShutup();
    setState(TaskDraw, 0);
}

void TaskStudioState::updateTaskDraw()
{
    TaskLine* line = currentTaskLine();
    if (!line)
    {
        setState(Epilogue, 0);
        return;
    }
    if (step == 0)
    {
        if (location == LocationName::LastAdvancedLesson)
            saveOverlays();
        task->newAnswer();
        touchStage = 1;
        blinkCount = 0;
        setState(TaskDraw, 1);
    }
    else if (step == 1 && currentTime - stateStartTime > 249)
    {
        // The dashed overlay blinks ten times, unless a stroke ends it.
        if (line->dashedOverlay)
            line->dashedOverlay->cullingMode = blinkCount % 2 ? CullingMode::Hide : CullingMode::Show;
        ++blinkCount;
        stateStartTime = currentTime;
        if (blinkCount >= 10)
        {
            if (line->dashedOverlay)
                line->dashedOverlay->cullingMode = CullingMode::Show;
            setState(TaskDraw, 2);
        }
    }
    if (touchStage != 0)
        return;

    verifyAnswer();
    const int answer = task->answer;
    const bool lastLine = currentLine + 1 == static_cast<int>(task->lines.size());
    if (answer == 1)
    {
        if (taskType != TaskType::WritingSubLesson && !line->noActivityEnd)
        {
            if (taskType == TaskType::LocationTask || taskType == TaskType::AdvancedLesson)
                GameLog::correctAnswer(line->questionID, "", "DrawLines");
            else if (lastLine)
                GameLog::correctAnswer(task->taskQuestionID, task->loggingIDs[1], task->loggingIDs[1]);
        }
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
        setGuideDot(2, CullingMode::Hide);
        setGuideDot(3, CullingMode::Hide);
        if (!line->isComplete() && line->allPoints.size() > 2)
        {
            touchStage = 1;
            task->newAnswer();
        }
        else
        {
            drawingModeOn = false;
            useDrawingMode(false);
            setState(TaskOutro, 0);
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
        if (taskType != TaskType::WritingSubLesson && ++wrongCount == 3)
        {
            if (taskType == TaskType::LocationTask || taskType == TaskType::AdvancedLesson)
                GameLog::wrongAnswer(line->questionID, "", "Out of Bounds");
            else
                GameLog::wrongAnswer(task->taskQuestionID, task->loggingIDs[1], "Out of Bounds");
        }
        if (guideDotsInUse())
        {
            setGuideDot(0, CullingMode::Hide);
            setGuideDot(1, CullingMode::Hide);
        }
        if (line->dashedOverlay)
            line->dashedOverlay->cullingMode = CullingMode::Hide;
        setState(TaskHelp, 0);
    }
}

void TaskStudioState::updateTaskSubLesson()
{
    TaskLine* line = currentTaskLine();
    if (!line)
    {
        setState(Epilogue, 0);
        return;
    }
    if (step == 0)
    {
        if (currentTime - stateStartTime >= 1000)
            setState(TaskSubLesson, 1);
    }
    else if (step == 1)
    {
        const int c = line->subLessonChar;
        const int index = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 61 : c - 55;
        canvasRestored = false;
        saveBackupCanvas();
        Application::PushGameState(new TaskStudioState(TaskType::WritingSubLesson, index, LocationName::WritingLesson));
        setState(TaskSubLesson, 2);
    }
    else if (step == 2)
    {
        canvasRestored = true;
        loadBackupCanvas();
        setState(TaskOutro, 0);
    }
}

void TaskStudioState::updateTaskOutro()
{
    TaskLine* line = currentTaskLine();
    if (!line)
    {
        setState(Epilogue, 0);
        return;
    }
    if (step == 0)
    {
        if ((taskType == TaskType::LocationTask || taskType == TaskType::AdvancedLesson) && !line->noActivityEnd)
        {
            GameLog::activityEnd(ActivityExitReason::Completed);
            activityOpen = false;
        }
        if (line->undoStroke)
        {
            studio->canvas->undo();
            loadBackupCanvas();
            if (!line->animation.present)
                zoomIn(true);
        }
        if (line->fixedOverlay)
            line->fixedOverlay->cullingMode = CullingMode::Show;
        if (line->animation.character)
            line->animation.character->cullingMode = CullingMode::Show;
        if (guideDotsInUse())
        {
            setGuideDot(0, CullingMode::Hide);
            setGuideDot(1, CullingMode::Hide);
        }
        for (const SpatialPtr& overlay : {line->solidOverlay, line->solidOverlay2})
            if (overlay)
                overlay->cullingMode = CullingMode::Hide;
        if (line->dashedOverlay && line->fillMaskImage.empty())
            line->dashedOverlay->cullingMode = CullingMode::Hide;
        lineSpeech.init(task->getCASpeech(currentLine));
        // A lesson hint still unsaid when the line is done (the child finished
        // while the guide turned to say it) is dropped, not said with the praise.
        hintSpeechPending = false;
        if (lessonCharacterController)
        {
            advanceLessonStartTalk();
            setState(TaskOutro, 100);
        }
        else
            setState(TaskOutro, 1);
        return;
    }
    if (step == 100)
    {
        // The guide says the praise once it has turned to the child.
        if (!guideIdle())
            return;
        advanceLessonDoTalk();
        setState(TaskOutro, 1);
        return;
    }
    lineSpeech.update();
    if (!lineSpeech.isDone())
        return;
    if (location == LocationName::LastAdvancedLesson)
    {
        state = lessonReturnState;
        stateStartTime = currentTime;
        return;
    }
    ++currentLine;
    setState(currentLine < static_cast<int>(task->lines.size()) ? TaskIntro : Epilogue, 0);
}

}
