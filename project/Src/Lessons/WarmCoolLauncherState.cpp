#include "Resources/Lessons/WarmCoolLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{0, "WCC", 15}};
}

WarmCoolLauncherState::WarmCoolLauncherState(bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, 1, 0, fromStory, skipTaskOnAbort)
{
}
}
