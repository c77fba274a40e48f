#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/DebugLog.h"
#include "Tovrane/GameLog.h"
#include "Tovrane/System.h"

#include <iostream>

namespace Tovrane
{
namespace
{
// Names the state-change log prints, by phase; Exit and LessonHelp print none.
const char* const phaseNames[] = {"Prologue", "TaskIntro", "TaskHelp", "TaskDraw", "TaskSubLesson", "TaskPickup",
                                  "TaskPickColor", "TaskFillArea", "TaskOutro", "Epilogue", "", "FreeFormPrologue",
                                  "FreeFormTaskIntro", "FreeFormTaskHelp", "FreeFormTaskDraw", "FreeFormTaskOutro",
                                  "FreeFormEpilogue", "LessonPrologue", "LessonIntro", "LessonAnim", "LessonOutro",
                                  "LessonEpilogue", ""};
}

bool TaskStudioState::skip = false;
Vector2<tFixed> TaskStudioState::screenSize;
int TaskStudioState::nextLessonID = 0;
bool TaskStudioState::completedLastLocation = false;

const char* const TaskStudioState::writingLessons[WritingLessonCount][2] = {
    {"0", "0"}, {"uk_1", "1"}, {"2", "2"}, {"3", "3"}, {"uk_4", "4"}, {"5", "5"}, {"6", "6"}, {"7", "7"},
    {"8", "8"}, {"9", "9"},
    {"upper_A", "upper_A"}, {"uk_upper_B", "upper_B"}, {"upper_C", "upper_C"}, {"upper_D", "upper_D"},
    {"upper_E", "upper_E"}, {"uk_upper_F", "upper_F"}, {"uk_upper_G", "upper_G"}, {"upper_H", "upper_H"},
    {"upper_I", "upper_I"}, {"uk_upper_J", "upper_J"}, {"upper_K", "upper_K"}, {"upper_L", "upper_L"},
    {"uk_upper_M", "upper_M"}, {"upper_N", "upper_N"}, {"uk_upper_O", "upper_O"}, {"upper_P", "upper_P"},
    {"uk_upper_Q", "upper_Q"}, {"upper_R", "upper_R"}, {"upper_S", "upper_S"}, {"upper_T", "upper_T"},
    {"upper_U", "upper_U"}, {"upper_V", "upper_V"}, {"upper_W", "upper_W"}, {"upper_X", "upper_X"},
    {"upper_Y", "upper_Y"}, {"uk_upper_Z", "upper_Z"},
    {"uk_lower_A", "lower_A"}, {"uk_lower_B", "lower_B"}, {"uk_lower_C", "lower_C"}, {"uk_lower_D", "lower_D"},
    {"uk_lower_E", "lower_E"}, {"uk_lower_F", "lower_F"}, {"uk_lower_G", "lower_G"}, {"uk_lower_H", "lower_H"},
    {"uk_lower_I", "lower_I"}, {"lower_J", "lower_J"}, {"uk_lower_K", "lower_K"}, {"uk_lower_L", "lower_L"},
    {"uk_lower_M", "lower_M"}, {"uk_lower_N", "lower_N"}, {"lower_O", "lower_O"}, {"uk_lower_P", "lower_P"},
    {"uk_lower_Q", "lower_Q"}, {"lower_R", "lower_R"}, {"lower_S", "lower_S"}, {"uk_lower_T", "lower_T"},
    {"uk_lower_U", "lower_U"}, {"lower_V", "lower_V"}, {"lower_W", "lower_W"}, {"lower_X", "lower_X"},
    {"uk_lower_Y", "lower_Y"}, {"uk_lower_Z", "lower_Z"}};

TaskStudioState::TaskStudioState(const eTaskType& type, int id, LocationName::Type where)
    : GameState(true, true), lessonID(id), taskType(type), location(where)
{
    nextLessonID = id;
    if (id < 0 || id >= WritingLessonCount)
    {
        // No file to read: the task is refused.
        std::cout << "Refused writing lesson " << id << ": lesson ids are 0 to " << WritingLessonCount - 1
                  << std::endl;
        construct(std::string());
        return;
    }
    const ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    const int column = player->locale == 2 || player->locale == 3 ? 0 : 1;
    construct(System::getPath() + "tasks/" + writingLessons[id][column] + ".task");
}

TaskStudioState::TaskStudioState(const eTaskType& type, const std::string& path, LocationName::Type where)
    : GameState(true, true), lessonID(-1), taskType(type), location(where)
{
    construct(System::getPath() + path);
}

TaskStudioState::TaskStudioState(const std::string& folder)
    : GameState(true, true), lessonID(-1), taskType(TaskType::LocationTask), location(LocationName::Lesson),
      downloadFolder(folder)
{
    construct(folder + "dlc.task");
}

TaskStudioState::~TaskStudioState() = default;

void TaskStudioState::construct(const std::string& file)
{
    quitDialogOpen = quitConfirmed = false;
    currentLine = 0;
    activityOpen = false;
    activityExitReason = 5;
    showDebugDots = drawingModeOn = false;
    canvasRestored = true;
    playerData = nullptr;
    lastTouchState = 0;
    keepZoom = hintRequested = false;
    wrongCount = lessonStep = 0;
    lessonCharacterTalkPose = hintSpeechPending = false;
    state = Prologue;
    step = 0;
    stateChanged = false;
    stateStartTime = currentTime = 0;
    poppingAtEntry = false;
    // Only location tasks, built in or downloaded, show the loading picture.
    if (taskType != TaskType::LocationTask)
        showLoading = false;

    taskPath = file;
    task.reset(new Task(file, this));
    initialize();
}

void TaskStudioState::initialize()
{
    if (taskType == TaskType::LocationTask)
        completedLastLocation = false;
    stateChanged = state != Prologue;
    stateStartTime = currentTime;
    state = Prologue;
    step = 0;
    lessonStep = 0;

    quitDialogOpen = quitConfirmed = false;
    currentLine = 0;
    lastTouchState = 0;
    keepZoom = showDebugDots = drawingModeOn = false;
    currentTime = 0;
    hintRequested = activityOpen = false;
    wrongCount = 0;
    canvasRestored = true;
    activityExitReason = 5;
    playerData = ScrivletPlayer::getCurrentPlayerData();

    if (taskType == TaskType::WritingLesson)
        GameLog::gameAreaStart(task->loggingIDs[3]);
    else if (taskType == TaskType::LocationTask)
        GameLog::gameAreaStart(task->loggingIDs[1]);
    DebugLog::writeString("TASK=\"" + task->loggingIDs[0] + "\" VALUE=\"" + task->loggingIDs[1] + "\" TYPE=\"" +
                          task->loggingIDs[2] + "\" ");
}

void TaskStudioState::enter()
{
    // Decided before the loader starts, so that it sees the same decision.
    const bool skipping = skip;
    poppingAtEntry = skipping || task->isRefused();
    GameState::enter();
    if (skipping)
    {
        activityExitReason = 3;
        skip = false;
    }
    if (poppingAtEntry)
        Application::PopGameState();
}

void TaskStudioState::load()
{
    if (!poppingAtEntry)
        task->audio = audioPlayer;
    GameState::load();
}

void TaskStudioState::exit()
{
    task->exit();
    GameState::exit();
}

void TaskStudioState::setState(const eState& newState, const int& newStep)
{
    stateChanged = state != newState;
    state = newState;
    stateStartTime = currentTime;
    step = newStep;
}

void TaskStudioState::setCurrentStep(int line)
{
    currentLine = line;
    if (task->debugDraw == 1 && line >= 1 && line - 1 < static_cast<int>(task->lines.size()))
        task->lines[line - 1].toggleDebugDots(false);
    if (line < 0 || line >= static_cast<int>(task->lines.size()))
        return;
    task->newQuestion();
    TaskLine& current = task->lines[line];
    if (current.dashedOverlay)
        current.dashedOverlay->cullingMode = CullingMode::Hide;
    if (showDebugDots && task->debugDraw == 1)
        current.toggleDebugDots(true);
}

void TaskStudioState::debugLog_StateChanged()
{
    const int count = static_cast<int>(sizeof(phaseNames) / sizeof(phaseNames[0]));
    DebugLog::writeString(std::string("STATE_CHANGED NEW_STATE=") + (state >= 0 && state < count ? phaseNames[state] : ""));
}

bool TaskStudioState::advanceLessonStartTalk()
{
    if (!lessonCharacterController || lessonCharacterTalkPose)
        return false;
    lessonCharacterController->pushAnimation("p2_to_p1");
    lessonCharacterController->setIdleAnimation("p1_idle");
    lessonCharacterTalkPose = true;
    return false;
}

void TaskStudioState::update(unsigned int ms)
{
    currentTime = ms;
    GameState::update(ms);
    if (quitDialogOpen)
        return;
    stateChanged = false;
    if (quitConfirmed)
    {
        setState(Exit, 0);
        quitConfirmed = false;
    }
    // The other phases' handlers come with the task screens.
    switch (state)
    {
    case Exit:
        updateExit();
        break;
    case FreeFormTaskHelp:
        updateFreeFormTaskHelp();
        break;
    case FreeFormTaskOutro:
        updateFreeFormTaskOutro();
        break;
    case FreeFormEpilogue:
        updateFreeFormEpilogue();
        break;
    default:
        break;
    }
    if (stateChanged)
        debugLog_StateChanged();
}

void TaskStudioState::updateExit()
{
    if (step != 0 || audioPlayer->isSpeechPlaying())
        return;
    canvasRestored = true;
    Application::PopGameState();
    // A letter task leaves the letter sequence too, an advanced lesson its launcher.
    if (taskType == TaskType::LetterTask || taskType == TaskType::AdvancedLesson)
        Application::PopGameState();
    setState(Exit, 1);
}

void TaskStudioState::updateFreeFormTaskHelp()
{
    if (step == 0)
    {
        task->playWASpeech(1, false);
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

void TaskStudioState::updateFreeFormEpilogue() { Application::PopGameState(); }
}
