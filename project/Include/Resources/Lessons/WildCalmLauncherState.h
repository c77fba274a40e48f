#ifndef RESOURCES_WILDCALMLAUNCHERSTATE_H
#define RESOURCES_WILDCALMLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs the wild and calm colours lesson.
class WildCalmLauncherState : public LessonLauncherState
{
public:
    WildCalmLauncherState(bool fromStory, bool skipTaskOnAbort);
};
}

#endif
