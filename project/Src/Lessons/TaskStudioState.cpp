// The state record, the phase dispatcher and the exit step of the task studio.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/FlipbookController.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/DebugLog.h"
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
int TaskStudioState::freeFormInvitation = 0;

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

const TaskStudioState::TownLocation TaskStudioState::townLocations[TownLocationCount] = {
    {LocationName::Firehouse, "firehouse", 3, "FIX THE FIREHOUSE"},
    {LocationName::Library, "library", 4, "FIX THE LIBRARY"},
    {LocationName::Fountain, "fountain", 5, "FIX THE COLORFUL FOUNTAIN"},
    {LocationName::ClockTower, "clock_tower", 7, "FIX THE CLOCK TOWER"},
    {LocationName::TownHall, "town_hall", 6, "FIX TOWN HALL"},
    {LocationName::PlaytimePark, "playtime_park", 8, "FIX PLAYTIME PARK"},
    {LocationName::RiskyRaceTrack, "risky_race_track", 9, "FIX RISKY RACETRACK"},
    {LocationName::Orchard, "orchard", 10, "FIX THE APPLE ORCHARD"},
    {LocationName::FerrisWheel, "ferris_wheel", 11, "FIX RIVADEZ'S FERRIS WHEEL"},
    {LocationName::HappyForest, "happy_forest", 12, "FIX VESK'S HAPPY LITTLE FOREST"},
    {LocationName::SculptureGarden, "sculpture_garden", 13, "FIX THE SCULPTURE GARDEN"},
    {LocationName::TrainDepot, "train_depot", 15, "FIX THE TRAIN DEPOT"},
    {LocationName::TshirtShop, "tshirt_shop", 14, "FIX THE GROOVY T-SHIRT SHOP"},
    {LocationName::BeefysGym, "beefys_gym", 17, "FIX BEEFY'S GYM"},
    {LocationName::Mill, "mill", 16, "FIX THE MILL"},
    {LocationName::RiseAndShineCafe, "rise_and_shine_cafe", 18, "FIX THE RISE'N'SHINE CAFE"},
    {LocationName::PurplePond, "purple_pond", 21, "FIX THE PURPLE POND"},
    {LocationName::LandlockedShip, "landlocked_ship", 19, "FIX THE LANDLOCKED SHIP"},
    {LocationName::RockyHikePath, "rocky_hike_path", 22, "FIX THE ROCKY HIKE PATH"},
    {LocationName::SpinningWheelDiner, "spinning_wheel_diner", 20, "FIX THE SPINNING WHEEL DINER"},
    {LocationName::SpookyMansion, "spooky_mansion", 23, "FIX THE SPOOKY MANSION"}};

const TaskStudioState::TownLocation* TaskStudioState::findTownLocation(const std::string& stem)
{
    for (const TownLocation& town : townLocations)
        if (stem == town.stem)
            return &town;
    return nullptr;
}

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
    frameTapped = playTapped = false;
    flipbookFrame = 0;
    wrongCount = lessonStep = 0;
    touchStage = blinkCount = speechIndex = 0;
    pauseStartTime = 0;
    useGuideDots = false;
    lessonReturnState = Prologue;
    chosenColorNumber = 6;
    chosenColor = ColorRGBA<unsigned char>(0, 0, 0, 0);
    colorChosen = fillStrokeOpen = false;
    lastFillPoint = Vector2<short>(0, 0);
    lessonCharacterTalkPose = hintSpeechPending = false;
    state = Prologue;
    step = 0;
    stateChanged = false;
    stateStartTime = currentTime = 0;
    poppingAtEntry = backgroundBroken = popRequested = gameAreaOpen = false;
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

    DebugLog::writeString("TASK=\"" + task->loggingIDs[0] + "\" VALUE=\"" + task->loggingIDs[1] + "\" TYPE=\"" +
                          task->loggingIDs[2] + "\" \n");
}

void TaskStudioState::enter()
{
    // Decided before the loader starts, so that it sees the same decision.
    const bool skipping = skip;
    poppingAtEntry = skipping || task->isRefused() || !hasAssets();
    GameState::enter();
    if (skipping)
    {
        activityExitReason = 3;
        skip = false;
    }
    if (poppingAtEntry)
        Application::PopGameState();
}

void TaskStudioState::begin()
{
    GameState::begin();
    if (backgroundBroken)
        popGameState();
    else if (!poppingAtEntry)
        openGameArea();
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
    TaskLine* current = currentTaskLine();
    if (!current)
        return;
    task->newQuestion();
    if (current->dashedOverlay)
        current->dashedOverlay->cullingMode = CullingMode::Hide;
    if (showDebugDots && task->debugDraw == 1)
        current->toggleDebugDots(true);
    if (studio)
        studio->setToolSize(current->useThinBrush ? ToolSize::Small : ToolSize::Medium);
}

TaskLine* TaskStudioState::currentTaskLine()
{
    if (currentLine < 0 || currentLine >= static_cast<int>(task->lines.size()))
        return nullptr;
    return &task->lines[currentLine];
}

void TaskStudioState::debugLog_StateChanged()
{
    const int count = static_cast<int>(sizeof(phaseNames) / sizeof(phaseNames[0]));
    DebugLog::writeString(std::string("STATE_CHANGED NEW_STATE=") + (state >= 0 && state < count ? phaseNames[state] : "") +
                          "\n");
}

void TaskStudioState::update(unsigned int ms)
{
    currentTime = ms;
    GameState::update(ms);
    if (poppingAtEntry || backgroundBroken)
        return;
    if (flipbookController)
        flipbookController->update(ms);
    if (quitDialogOpen)
        return;
    stateChanged = false;
    if (quitConfirmed)
    {
        setState(Exit, 0);
        quitConfirmed = false;
    }
    switch (state)
    {
    case Prologue: updatePrologue(); break;
    case TaskIntro: updateTaskIntro(); break;
    case TaskHelp: updateTaskHelp(); break;
    case TaskDraw: updateTaskDraw(); break;
    case TaskSubLesson: updateTaskSubLesson(); break;
    case TaskPickup: updateTaskPickup(); break;
    case LessonPrologue: updateLessonPrologue(); break;
    case LessonIntro: updateLessonIntro(); break;
    case LessonHelp: updateLessonHelp(); break;
    case TaskPickColor: updateTaskPickColor(); break;
    case TaskFillArea: updateTaskFillArea(); break;
    case TaskOutro: updateTaskOutro(); break;
    case Epilogue: updateEpilogue(); break;
    case Exit: updateExit(); break;
    case FreeFormPrologue: updateFreeFormPrologue(); break;
    case FreeFormTaskIntro: updateFreeFormTaskIntro(); break;
    case FreeFormTaskHelp: updateFreeFormTaskHelp(); break;
    case FreeFormTaskDraw: updateFreeFormTaskDraw(); break;
    case FreeFormTaskOutro: updateFreeFormTaskOutro(); break;
    case FreeFormEpilogue: updateFreeFormEpilogue(); break;
    // Pick-up, colour and lesson phases come with their own screens.
    default: break;
    }
    if (stateChanged)
        debugLog_StateChanged();
}

void TaskStudioState::updateExit()
{
    if (step != 0 || audioPlayer->isSpeechPlaying())
        return;
    canvasRestored = true;
    if (exitTimer)
        exitTimer->stop();
    // A state that has asked to be popped already (its exit timer fired in the
    // frame the quit was confirmed) must not pop what lies below it.
    if (!popRequested)
    {
        popRequested = true;
        Application::PopGameState();
        // A letter task leaves the letter sequence too, an advanced lesson its launcher.
        if (taskType == TaskType::LetterTask || taskType == TaskType::AdvancedLesson)
            Application::PopGameState();
    }
    setState(Exit, 1);
    stateChanged = false;
}
}
