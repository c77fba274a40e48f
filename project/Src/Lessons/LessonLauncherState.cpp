#include "Resources/Lessons/LessonLauncherState.h"

#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Application.h"
#include "Tovrane/Assert.h"
#include "Tovrane/GameLog.h"

namespace Tovrane
{
LessonLauncherState::LessonLauncherState(const LessonPart* parts, int partCount, int index, bool fromStory,
                                         bool skipTaskOnAbort)
    : GameState(true, true), done(false), fromStory(fromStory), skipTaskOnAbort(skipTaskOnAbort)
{
    TOVRANE_ASSERT(parts && partCount > 0 && "A launcher needs its lesson's parts");
    const LessonPart* part = nullptr;
    for (int i = 0; i < partCount && !part; ++i)
        if (parts[i].index == index)
            part = &parts[i];
    gameArea = part ? part->code : "";
    entry = part ? part->entry : parts[0].entry;
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
    if (done)
        return;
    done = true;
    if (fromStory)
        ScrivletPlayer::getCurrentPlayerData()->setAdvancedLessonState(entry, TaskState::Complete);
}

void LessonLauncherState::update(unsigned int ms)
{
    GameState::update(ms);
    if (!done || isPopped())
        return;
    if (fromStory)
        ScrivletPlayer::getCurrentPlayerData()->save();
    TaskStudioState::skip = false;
    popGameState();
}
}
