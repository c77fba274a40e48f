#ifndef RESOURCES_SEEINGSHAPESLAUNCHERSTATE_H
#define RESOURCES_SEEINGSHAPESLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs the seeing-shapes lesson.
class SeeingShapesLauncherState : public LessonLauncherState
{
public:
    SeeingShapesLauncherState(bool fromStory, bool skipTaskOnAbort);
};
}

#endif
