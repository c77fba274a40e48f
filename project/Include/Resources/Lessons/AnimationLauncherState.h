#ifndef RESOURCES_ANIMATIONLAUNCHERSTATE_H
#define RESOURCES_ANIMATIONLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs the animation lesson.
class AnimationLauncherState : public LessonLauncherState
{
public:
    AnimationLauncherState(bool fromStory, bool skipTaskOnAbort);
};
}

#endif
