#ifndef RESOURCES_COMPOSITIONLAUNCHERSTATE_H
#define RESOURCES_COMPOSITIONLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs the composition lesson (the horizon line).
class CompositionLauncherState : public LessonLauncherState
{
public:
    CompositionLauncherState(bool fromStory, bool skipTaskOnAbort);
};
}

#endif
