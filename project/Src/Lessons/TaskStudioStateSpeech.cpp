// The spoken parts of a task: the characters who speak, the prologue and
// the epilogue, and the lip flap held while the quit question is asked.
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
}
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
