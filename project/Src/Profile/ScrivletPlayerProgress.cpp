#include "Resources/Profile/ScrivletPlayer.h"

#include "Tovrane/Assert.h"

#include <iostream>

namespace Tovrane
{
namespace
{
bool isTaskState(int value) { return value >= TaskState::Locked && value <= TaskState::Complete; }

// Completing a location opens the next tier once every location of its row is
// complete. -1 marks an unused entry.
struct Tier
{
    int complete[2];
    int opens[2];
};

const Tier tiers[] = {
    {{4, -1}, {5, 6}},
    {{5, 6}, {7, -1}},
    {{7, -1}, {8, 9}},
    {{8, 9}, {10, 11}},
    {{10, 11}, {12, 13}},
    {{12, 13}, {14, 15}},
    {{14, 15}, {16, 17}},
    {{16, 17}, {18, 19}},
    {{18, 19}, {20, 21}},
    {{20, 21}, {22, 23}},
    {{22, 23}, {24, -1}},
};

bool allComplete(const TaskState::Type* states, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (states[i] != TaskState::Complete)
            return false;
    return true;
}
}

void ScrivletPlayer::setLocationState(LocationName::Type location, TaskState::Type state)
{
    if (location < 0 || location >= locationCount || !isTaskState(state))
    {
        std::cout << "Invalid location " << static_cast<int>(location) << " or state "
                  << static_cast<int>(state) << std::endl;
        return;
    }
    locationStates[location] = state;
    if (state != TaskState::Complete)
        return;
    for (const Tier& tier : tiers)
    {
        if (tier.complete[0] != location && tier.complete[1] != location)
            continue;
        bool allComplete = true;
        for (int c : tier.complete)
            if (c >= 0 && locationStates[c] != TaskState::Complete)
                allComplete = false;
        if (!allComplete)
            continue;
        // Only locked places open: replaying a location never resets progress.
        for (int o : tier.opens)
            if (o >= 0 && locationStates[o] == TaskState::Locked)
                locationStates[o] = TaskState::Available;
    }
}

void ScrivletPlayer::unlockLocations()
{
    for (int i = 0; i < locationCount; ++i)
        if (locationStates[i] == TaskState::Locked)
            locationStates[i] = TaskState::Available;
}

void ScrivletPlayer::setLastCompleteLocation(LocationName::Type location)
{
    if (location < 0 || location >= locationCount)
    {
        std::cout << "Invalid location " << static_cast<int>(location) << std::endl;
        return;
    }
    lastCompleteLocation = location;
}

int ScrivletPlayer::getNumberOfCompletedLocations() const
{
    int complete = 0;
    for (int i = 0; i <= LocationName::Lesson; ++i)
        if (locationStates[i] == TaskState::Complete)
            ++complete;
    // The four fixed places are complete from the start.
    return complete > 4 ? complete - 4 : 0;
}

TaskState::Type ScrivletPlayer::getLessonState(int index) const
{
    if (index < 0 || index >= writingLessonCount)
    {
        std::cout << "Invalid index " << index << " of a writing lesson" << std::endl;
        return TaskState::Locked;
    }
    return lessonStates[index];
}

void ScrivletPlayer::setLessonState(int index, TaskState::Type state)
{
    if (index < 0 || index >= writingLessonCount || !isTaskState(state))
    {
        std::cout << "Invalid index " << index << " or state " << static_cast<int>(state)
                  << " of a writing lesson" << std::endl;
        return;
    }
    lessonStates[index] = state;
}

TaskState::Type ScrivletPlayer::getAdvancedLessonState(int index) const
{
    if (index < 0 || index >= advancedLessonCount)
    {
        std::cout << "Invalid index " << index << " of an advanced lesson" << std::endl;
        return TaskState::Locked;
    }
    return advancedLessonStates[index];
}

void ScrivletPlayer::setAdvancedLessonState(int index, TaskState::Type state)
{
    if (index < 0 || index >= advancedLessonCount || !isTaskState(state))
    {
        std::cout << "Invalid index " << index << " or state " << static_cast<int>(state)
                  << " of an advanced lesson" << std::endl;
        return;
    }
    advancedLessonStates[index] = state;
}

bool ScrivletPlayer::areNumberLessonsDone() const { return allComplete(lessonStates, 0, 9); }

bool ScrivletPlayer::areUppercaseLetterLessonsDone() const { return allComplete(lessonStates, 10, 35); }

bool ScrivletPlayer::areLowercaseLetterLessonsDone() const { return allComplete(lessonStates, 36, 61); }

bool ScrivletPlayer::hasBadge(BadgeName::Type badge) const
{
    TOVRANE_ASSERT((badge >= 0) && (badge < badgeCount) && "Invalid badge");
    return badges[badge] != 0;
}

bool ScrivletPlayer::hasAchievement(AchievementName::Type achievement) const
{
    TOVRANE_ASSERT((achievement >= 0) && (achievement < achievementCount) && "Invalid achievement");
    return achievements[achievement] != 0;
}

bool ScrivletPlayer::unlockBadge(BadgeName::Type badge)
{
    if (hasBadge(badge))
        return false;
    badges[badge] = 1;
    onSaveAchievements();
    if (hasPlayer())
        addBadge(static_cast<unsigned int>(badge) + 1);
    return true;
}

bool ScrivletPlayer::unlockAchievement(AchievementName::Type achievement)
{
    if (hasAchievement(achievement))
        return false;
    achievements[achievement] = 1;
    onSaveAchievements();
    if (hasPlayer())
        addAchievement(static_cast<short>(28 + achievement));
    return true;
}
}
