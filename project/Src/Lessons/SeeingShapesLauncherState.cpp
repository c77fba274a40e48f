#include "Resources/Lessons/SeeingShapesLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{0, "SET", 10}};
}

SeeingShapesLauncherState::SeeingShapesLauncherState(bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, 1, 0, fromStory, skipTaskOnAbort)
{
}
}
