#include "Resources/Lessons/LessonLauncherState.h"

#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Application.h"
#include "Tovrane/Assert.h"
#include "Tovrane/FlashState.h"
#include "Tovrane/GameLog.h"

namespace Tovrane
{
LessonLauncherState::LessonLauncherState(const LessonTable& table, int index, bool fromStory, bool skipTaskOnAbort)
    : GameState(true, true), lesson(table), step(0), done(false), fromStory(fromStory),
      skipTaskOnAbort(skipTaskOnAbort)
{
    TOVRANE_ASSERT(table.steps && lesson.stepCount > 0 && "A launcher needs its lesson's steps");
    for (int i = 0; i < table.partCount; ++i)
        if (table.parts[i].index == index)
        {
            step = table.parts[i].firstStep;
            gameArea = table.parts[i].code;
            break;
        }
    if (!fromStory)
        GameLog::gameAreaStart(gameArea);
}

LessonLauncherState::~LessonLauncherState()
{
    if (!fromStory)
        GameLog::gameAreaEnd();
    if (!done && skipTaskOnAbort)
        TaskStudioState::skip = true;
}

void LessonLauncherState::enter()
{
    GameState::enter();
    // Past the table's last end step there is nothing left to run.
    if (step >= lesson.stepCount)
        done = true;
    else
        runStep(lesson.steps[step]);
    ++step;
}

void LessonLauncherState::runStep(const LessonStep& current)
{
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    switch (current.kind)
    {
    case LessonStep::Movie:
        Application::PushGameState(new FlashState(current.file));
        break;
    case LessonStep::Task:
        Application::PushGameState(new TaskStudioState(TaskType::AdvancedLesson, current.file,
                                                       static_cast<LocationName::Type>(current.location)));
        break;
    case LessonStep::Game:
        Application::PushGameState(current.makeGame());
        break;
    case LessonStep::End:
        done = true;
        if (fromStory && current.achievement >= 0)
            player->unlockAchievement(static_cast<AchievementName::Type>(current.achievement));
        break;
    }
    if (fromStory && current.record >= 0)
        player->setAdvancedLessonState(current.record, TaskState::Complete);
}

void LessonLauncherState::update(unsigned int ms)
{
    GameState::update(ms);
    if (!done || isPopped())
        return;
    if (fromStory)
    {
        ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
        if (const LessonGroupCheck* group = lesson.group)
        {
            bool all = player->getAdvancedLessonState(group->entry) != TaskState::Complete;
            for (int i = 0; i < group->memberCount; ++i)
                all = all && player->getAdvancedLessonState(group->members[i]) == TaskState::Complete;
            if (all)
            {
                if (group->achievement >= 0)
                    player->unlockAchievement(static_cast<AchievementName::Type>(group->achievement));
                player->setAdvancedLessonState(group->entry, TaskState::Complete);
            }
        }
        // Every story run saves, single lessons too: otherwise a finished
        // lesson lives only in memory until the story's next save.
        player->save();
    }
    TaskStudioState::skip = false;
    popGameState();
}

void LessonLauncherState::exit() { GameState::exit(); }
}
