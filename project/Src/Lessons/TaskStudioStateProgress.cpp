// What outlives a phase: progress, badges and achievements when a task ends,
// the art lesson a location's line leads to, the child's picture kept while
// another state covers the studio, and the teardown.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Resources/Lessons/AnimationLauncherState.h"
#include "Resources/Lessons/ColorsLauncherState.h"
#include "Resources/Lessons/CompositionLauncherState.h"
#include "Resources/Lessons/LinesLauncherState.h"
#include "Resources/Lessons/OrganicShapesLauncherState.h"
#include "Resources/Lessons/SeeingShapesLauncherState.h"
#include "Resources/Lessons/ShapesLauncherState.h"
#include "Resources/Lessons/WarmCoolLauncherState.h"
#include "Resources/Lessons/WildCalmLauncherState.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/Application.h"
#include "Tovrane/GameLog.h"

namespace Tovrane
{
namespace
{
// A writing-lesson group: its lessons, the test that all are done, its badge,
// window and achievement.
struct LessonGroup
{
    int first;
    int last;
    bool (ScrivletPlayer::*done)() const;
    int badge;
    const char* text;
    int achievement;
};

const LessonGroup lessonGroups[] = {
    {10, 35, &ScrivletPlayer::areUppercaseLetterLessonsDone, 0, "COMPLETE UPPER CASE LESSONS", 1},
    {36, 61, &ScrivletPlayer::areLowercaseLetterLessonsDone, 1, "COMPLETE LOWER CASE LESSONS", 2},
    {0, 9, &ScrivletPlayer::areNumberLessonsDone, 2, "COMPLETE NUMBER LESSONS", 3}};

// The art lessons a location's line may lead to, tested in this order: the
// line codes, the advanced-lesson entry that marks the lesson complete and
// the launcher that runs it from the story.
struct LessonLaunch
{
    const char* codes[3];
    int entry;
    GameState* (*make)();
};

const LessonLaunch lessonLaunches[] = {
    {{"DSL"}, 2, [] { return static_cast<GameState*>(new LinesLauncherState(1, true, true)); }},
    {{"DCL"}, 3, [] { return static_cast<GameState*>(new LinesLauncherState(2, true, true)); }},
    {{"DDL"}, 4, [] { return static_cast<GameState*>(new LinesLauncherState(3, true, true)); }},
    {{"CPH"}, 17, [] { return static_cast<GameState*>(new CompositionLauncherState(true, true)); }},
    {{"DWO"}, 12, [] { return static_cast<GameState*>(new OrganicShapesLauncherState(2, true, true)); }},
    {{"DOC"}, 13, [] { return static_cast<GameState*>(new OrganicShapesLauncherState(1, true, true)); }},
    {{"SEC", "SET", "SER"}, 10, [] { return static_cast<GameState*>(new SeeingShapesLauncherState(true, true)); }},
    {{"TRI"}, 6, [] { return static_cast<GameState*>(new ShapesLauncherState(1, true, true)); }},
    {{"REC"}, 7, [] { return static_cast<GameState*>(new ShapesLauncherState(2, true, true)); }},
    {{"CIR"}, 8, [] { return static_cast<GameState*>(new ShapesLauncherState(3, true, true)); }},
    {{"HEX"}, 9, [] { return static_cast<GameState*>(new ShapesLauncherState(4, true, true)); }},
    {{"PSC"}, 14, [] { return static_cast<GameState*>(new ColorsLauncherState(true, true)); }},
    {{"WCC"}, 15, [] { return static_cast<GameState*>(new WarmCoolLauncherState(true, true)); }},
    {{"WCA"}, 16, [] { return static_cast<GameState*>(new WildCalmLauncherState(true, true)); }},
    {{"AFB"}, 18, [] { return static_cast<GameState*>(new AnimationLauncherState(true, true)); }},
};

bool names(const LessonLaunch& launch, const std::string& code)
{
    for (const char* name : launch.codes)
        if (name && code == name)
            return true;
    return false;
}
}

void TaskStudioState::saveFile_Lessons(const int& lessonIndex)
{
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    const bool wasComplete = player->getLessonState(lessonIndex) == TaskState::Complete;
    player->setLessonState(lessonIndex, TaskState::Complete);
    for (const LessonGroup& group : lessonGroups)
    {
        if (wasComplete || lessonIndex < group.first || lessonIndex > group.last || !(player->*group.done)())
            continue;
        if (player->unlockBadge(static_cast<BadgeName::Type>(group.badge)))
            showAchievementWindow(group.text, false);
        player->unlockAchievement(static_cast<AchievementName::Type>(group.achievement));
    }
    player->save();
}

void TaskStudioState::saveFile_Tasks()
{
    if (location == LocationName::Lesson)
        return;
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    player->setLocationState(location, TaskState::Complete);
    const TownLocation* town = nullptr;
    for (const TownLocation& candidate : townLocations)
        if (candidate.location == location)
            town = &candidate;
    if (taskType == TaskType::LocationTask)
        completedLastLocation = true;
    // Only the mended town locations have badges.
    if (town && player->unlockBadge(static_cast<BadgeName::Type>(town->badge)))
        showAchievementWindow(town->text, false);
    if (player->getNumberOfCompletedLocations() > 20)
        player->unlockAchievement(static_cast<AchievementName::Type>(0));
    player->save();
}

void TaskStudioState::launchAdvancedLesson()
{
    TaskLine* line = currentTaskLine();
    if (!line)
        return;
    const ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    for (const LessonLaunch& launch : lessonLaunches)
    {
        if (player->getAdvancedLessonState(launch.entry) == TaskState::Complete || !names(launch, line->loggingID))
            continue;
        GameState* launcher = launch.make();
        canvasRestored = false;
        saveBackupCanvas();
        Application::PushGameState(launcher);
        return;
    }
}

void TaskStudioState::saveBackupCanvas()
{
    if (studio && studio->canvas && studio->canvas->getLayer())
        backupTexture = studio->canvas->getLayer()->getTexture();
}

void TaskStudioState::loadBackupCanvas()
{
    if (backupTexture && studio && studio->canvas)
        studio->canvas->setTexture(backupTexture, 128);
}

void TaskStudioState::saveOverlays()
{
    if (!overlayRoot || !studio)
        return;
    NodePtr parent = boost::dynamic_pointer_cast<Node>(overlayRoot->getParent());
    if (parent)
        parent->removeChild(overlayRoot);
    if (TaskLine* line = currentTaskLine())
        for (const GeometryPtr& dot : line->guideDots)
        {
            if (!dot)
                continue;
            if (NodePtr holder = boost::dynamic_pointer_cast<Node>(dot->getParent()))
                holder->removeChild(dot);
            studio->canvas->addChild(dot);
        }
    studio->canvas->addChild(overlayRoot);
}

void TaskStudioState::exit()
{
    debugLog_TexturePeak();
    backgroundBillboard.reset();
    colorPieRoot.reset();
    colorPie.reset();
    overlayRoot.reset();
    task->exit();
    quitDialogRoot.reset();
    quitDialogBox.reset();
    quitDialogController.reset();
    if (canvasRestored)
        backupTexture.reset();
    studio.reset();
    GameState::exit();
    // Load adds the download's folders at every entry; without them the next
    // entry reads the shared sheet from the title, as the first one did.
    if (!downloadFolder.empty())
        sceneManager = SceneManager();
}

TaskStudioState::~TaskStudioState()
{
    if (activityOpen)
    {
        activityOpen = false;
        GameLog::activityEnd(static_cast<ActivityExitReason::Type>(activityExitReason));
    }
    closeGameArea();
    task.reset();
    useDrawingMode(false);
}
}
