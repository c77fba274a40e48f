#ifndef RESOURCES_ORGANICSHAPESLAUNCHERSTATE_H
#define RESOURCES_ORGANICSHAPESLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs one sub-lesson of the drawing-objects lesson: 1 organic shapes (the cloud), 2 drawing objects (tree and car).
class OrganicShapesLauncherState : public LessonLauncherState
{
public:
    OrganicShapesLauncherState(int index, bool fromStory, bool skipTaskOnAbort);
};
}

#endif
