#include "Resources/Lessons/WildCalmLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{0, "WCA", 16}};
}

WildCalmLauncherState::WildCalmLauncherState(bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, 1, 0, fromStory, skipTaskOnAbort)
{
}
}
