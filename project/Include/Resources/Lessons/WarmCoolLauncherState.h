#ifndef RESOURCES_WARMCOOLLAUNCHERSTATE_H
#define RESOURCES_WARMCOOLLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs the warm and cool colours lesson.
class WarmCoolLauncherState : public LessonLauncherState
{
public:
    WarmCoolLauncherState(bool fromStory, bool skipTaskOnAbort);
};
}

#endif
