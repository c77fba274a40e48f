#ifndef RESOURCES_SHAPESLAUNCHERSTATE_H
#define RESOURCES_SHAPESLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs one sub-lesson of the shapes lesson: 1 triangles, 2 rectangles, 3 circles, 4 polygons.
class ShapesLauncherState : public LessonLauncherState
{
public:
    ShapesLauncherState(int index, bool fromStory, bool skipTaskOnAbort);
};
}

#endif
