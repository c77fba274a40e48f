#include "Resources/Lessons/ColorsLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{0, "PSC", 14}};
}

ColorsLauncherState::ColorsLauncherState(bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, 1, 0, fromStory, skipTaskOnAbort)
{
}
}
