// The phases of an ordinary task: the spoken prologue, each line's intro,
// help, tracing or sub-lesson and outro, and the epilogue.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/GameLog.h"

namespace Tovrane
{
namespace
{
bool isHelper(const DoodleStruct& character) { return character.name == "dash" || character.name == "dot"; }

bool isWritingTask(eTaskType type)
{
    return type == TaskType::WritingLesson || type == TaskType::LetterTask || type == TaskType::WritingSubLesson;
}
}

bool TaskStudioState::guideDotsInUse() const { return useGuideDots || isWritingTask(taskType); }

void TaskStudioState::setGuideDot(int index, CullingMode::Type mode)
{
    if (TaskLine* line = currentTaskLine())
        line->setGuideDotCullingMode(index, mode);
}

void TaskStudioState::playSpeech(const std::string& name) { audioPlayer->playSpeech(name); }

bool TaskStudioState::isIdle(const DoodleStruct& character) const
{
    return character.character && character.controller->isAnimationQueueEmpty();
}

void TaskStudioState::talk(DoodleStruct& character, bool talking)
{
    character.controller->setPose(talking ? character.talkPose : character.listenPose);
    character.talking = talking;
    character.controller->talking = talking;
}

void TaskStudioState::showCharacters()
{
    for (DoodleStruct& character : task->characters)
        if (character.character)
            character.character->cullingMode = CullingMode::Show;
}

void TaskStudioState::hideCharacters()
{
    for (DoodleStruct& character : task->characters)
        if (character.character)
            character.character->cullingMode = CullingMode::Hide;
}

bool TaskStudioState::sayNextLine(const std::vector<std::string>& lines)
{
    if (speechIndex < 0 || speechIndex >= static_cast<int>(lines.size()))
        return false;
    bool anyTalker = false;
    for (const DoodleStruct& character : task->characters)
    {
        if (!character.character || !character.talking)
            continue;
        anyTalker = true;
        if (isIdle(character))
        {
            playSpeech(lines[speechIndex++]);
            return true;
        }
    }
    // Nobody can say it (no characters, or the only talker has just turned to
    // listen): the line is played without a speaker rather than never.
    if (anyTalker)
        return false;
    playSpeech(lines[speechIndex++]);
    return true;
}

void TaskStudioState::updatePrologue()
{
    const std::vector<std::string>& lines = task->prologue;
    const int count = static_cast<int>(lines.size());
    if (step == 0)
    {
        if (taskType == TaskType::AdvancedLesson)
        {
            lessonReturnState = LessonPrologue;
            lessonStep = 0;
            state = LessonPrologue;
            stateStartTime = currentTime;
            return;
        }
        if (taskType == TaskType::LetterTask)
        {
            loadDizavoDuv();
            if (dizavoDuvController)
            {
                dizavoDuvController->playMouthAction("talk");
                dizavoDuvController->playBodyAction("gesture", false);
                dizavoDuvController->playLipFlapAnimation(true);
            }
        }
        // Writing lessons skip the first two entries of their list.
        speechIndex = taskType == TaskType::WritingLesson || taskType == TaskType::WritingSubLesson ? 2 : 0;
        if (speechIndex < count)
            playSpeech(lines[speechIndex++]);
        setState(Prologue, 1);
        return;
    }
    if (audioPlayer->isSpeechPlaying())
        return;
    switch (step)
    {
    case 1:
        if (speechIndex >= count)
        {
            if (isWritingTask(taskType))
            {
                for (TaskLine& line : task->lines)
                    if (line.solidOverlay)
                        line.solidOverlay->cullingMode = CullingMode::Hide;
            }
            else
                hideCharacters();
            if (taskType == TaskType::WritingLesson || taskType == TaskType::LetterTask)
            {
                GameLog::activityStart(task->loggingIDs[3], "NA", "1");
                activityOpen = true;
            }
            if (taskType == TaskType::LocationTask && playerData->locationStates[location] != TaskState::Started)
            {
                playerData->setLocationState(location, TaskState::Started);
                playerData->save();
            }
            setState(TaskIntro, 0);
            return;
        }
        if (dizavoDuvController && speechIndex == 2)
        {
            dizavoDuvController->stopLipFlapAnimation();
            dizavoDuvController->setIdleAnimation("p1_celebrate");
        }
        else if (taskType == TaskType::LocationTask)
        {
            for (DoodleStruct& character : task->characters)
                talk(character, !character.talking);
        }
        setState(Prologue, 2);
        break;
    case 2:
        if (taskType != TaskType::LocationTask)
        {
            if (speechIndex < count)
                playSpeech(lines[speechIndex++]);
            setState(Prologue, 1);
        }
        else if (speechIndex >= count)
            setState(Prologue, 1);
        else if (sayNextLine(lines))
            setState(Prologue, speechIndex < count ? 1 : 3);
        break;
    case 3:
        for (DoodleStruct& character : task->characters)
            if (character.talking)
                talk(character, false);
        pauseStartTime = currentTime;
        setState(Prologue, 4);
        break;
    case 4:
        if (currentTime - pauseStartTime >= 1500)
            setState(Prologue, 1);
        break;
    default:
        break;
    }
}

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
        lineSpeech.update();
        if (!lineSpeech.isDone())
            return;
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
    if (step == 0)
    {
        // Without a lesson guide to say it, a pending lesson hint is played at once.
        if (taskType == TaskType::AdvancedLesson && hintSpeechPending && !lessonCharacterController)
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
        if (lessonCharacterController->isAnimationQueueEmpty())
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

void TaskStudioState::updateEpilogue()
{
    if (taskType == TaskType::AdvancedLesson)
    {
        state = lessonReturnState;
        stateStartTime = currentTime;
        return;
    }
    const std::vector<std::string>& lines = task->epilogue;
    const int count = static_cast<int>(lines.size());
    const bool town = taskType == TaskType::LocationTask;
    if (step == 0)
    {
        if (town)
            saveFile_Tasks();
        else
            saveFile_Lessons(lessonID);
        if (taskType == TaskType::WritingLesson || taskType == TaskType::LetterTask)
        {
            GameLog::activityEnd(ActivityExitReason::Completed);
            activityOpen = false;
        }
        if (taskType == TaskType::LetterTask && dizavoDuv)
            dizavoDuv->cullingMode = CullingMode::Show;
        if (town)
        {
            showCharacters();
            for (DoodleStruct& character : task->characters)
            {
                character.talking = character.talkerEpilogue;
                character.controller->talking = character.talking;
                character.controller->stopLipFlapAnimation();
                if (!isHelper(character))
                {
                    character.controller->setMood("happy");
                    character.controller->play();
                }
            }
        }
        setState(Epilogue, 1);
    }
    if (step == 1)
    {
        // Waits for a character that can turn; none such waits for nobody.
        bool waiting = false;
        if (town)
            for (const DoodleStruct& character : task->characters)
                if (character.character && !isHelper(character))
                {
                    waiting = true;
                    if (isIdle(character))
                    {
                        waiting = false;
                        break;
                    }
                }
        if (waiting)
            return;
        setState(Epilogue, 2);
    }
    if (step == 2)
    {
        if (count > 0 && taskType != TaskType::LetterTask)
            playSpeech(lines[0]);
        speechIndex = 1;
        if (town)
            for (DoodleStruct& character : task->characters)
            {
                character.controller->playBodyAction("idle", false);
                talk(character, character.talkerEpilogue);
                if (character.talkerEpilogue)
                    character.controller->playMouthAction("talk");
            }
        setState(Epilogue, 3);
        return;
    }
    if (step < 7 && audioPlayer->isSpeechPlaying())
        return;
    switch (step)
    {
    case 3:
        // A letter task says no epilogue: it just ends.
        if (speechIndex < count && taskType != TaskType::LetterTask)
        {
            if (town)
                for (DoodleStruct& character : task->characters)
                {
                    if (character.talking)
                        talk(character, false);
                    else if (character.name == "cc2" && speechIndex + 1 == count)
                    {
                        character.controller->playBodyAction("celebrate", false);
                        playSpeech(lines[speechIndex++]);
                        character.talking = character.controller->talking = true;
                    }
                    else
                        talk(character, true);
                }
            setState(Epilogue, 4);
        }
        else if (taskType == TaskType::WritingSubLesson)
            setState(FreeFormPrologue, 0);
        else
            setState(Epilogue, 7);
        break;
    case 4:
        if (speechIndex >= count)
        {
            if (currentTime - pauseStartTime >= 500)
                setState(Epilogue, 7);
        }
        else if (sayNextLine(lines))
        {
            if (speechIndex < count)
                setState(Epilogue, 3);
            else
            {
                for (DoodleStruct& character : task->characters)
                    if (character.name == "tc")
                        character.controller->playBodyAction("celebrate", false);
                setState(Epilogue, 5);
            }
        }
        break;
    case 5:
        for (DoodleStruct& character : task->characters)
        {
            if (!character.talking)
                continue;
            if (character.name == "mf")
                character.controller->playBodyAction("celebrate", false);
            else if (character.name != "tc")
                character.controller->setPose(character.listenPose);
            character.talking = character.controller->talking = false;
        }
        pauseStartTime = currentTime;
        setState(Epilogue, 6);
        break;
    case 6:
        if (currentTime - pauseStartTime >= 1500)
            setState(Epilogue, 3);
        break;
    case 7:
        if (isAchievementWindowVisible())
            return;
        Application::PopGameState();
        setState(Epilogue, 8);
        break;
    default:
        break;
    }
}

void TaskStudioState::stopLipflap()
{
    if (taskType != TaskType::LocationTask)
        return;
    for (DoodleStruct& character : task->characters)
    {
        if (!character.talking || !character.character)
            continue;
        character.controller->stopLipFlapAnimation();
        if (state == Prologue && !isHelper(character))
        {
            character.controller->setLipFlapAnimation(character.talkPose + "_idle_mouth_sad", true);
            character.controller->playLipFlapAnimation(true);
        }
    }
}

void TaskStudioState::resumeLipflap()
{
    if (taskType != TaskType::LocationTask)
        return;
    for (DoodleStruct& character : task->characters)
    {
        if (!character.talking || !character.character)
            continue;
        if (state == Prologue && !isHelper(character))
            character.controller->setLipFlapAnimation(character.talkPose + "_idle_talk_sad", true);
        character.controller->playLipFlapAnimation(true);
    }
}
}
