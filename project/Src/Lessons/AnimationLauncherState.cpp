#include "Resources/Lessons/AnimationLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{0, "AFB", 18}};
}

AnimationLauncherState::AnimationLauncherState(bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, 1, 0, fromStory, skipTaskOnAbort)
{
}
}
