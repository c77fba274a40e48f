#ifndef RESOURCES_COLORSLAUNCHERSTATE_H
#define RESOURCES_COLORSLAUNCHERSTATE_H

#include "Resources/Lessons/LessonLauncherState.h"

namespace Tovrane
{
// Runs the colours lesson.
class ColorsLauncherState : public LessonLauncherState
{
public:
    ColorsLauncherState(bool fromStory, bool skipTaskOnAbort);
};
}

#endif
