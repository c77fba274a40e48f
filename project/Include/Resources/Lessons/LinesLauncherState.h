#ifndef RESOURCES_LINESLAUNCHERSTATE_H
#define RESOURCES_LINESLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs one sub-lesson of the lines lesson: 1 straight, 2 curved, 3 diagonal lines.
class LinesLauncherState : public LessonLauncherState
{
public:
    LinesLauncherState(int index, bool fromStory, bool skipTaskOnAbort);
};
}

#endif
