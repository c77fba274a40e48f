#include "Resources/Lessons/CompositionLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{0, "CPH", 17}};
}

CompositionLauncherState::CompositionLauncherState(bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, 1, 0, fromStory, skipTaskOnAbort)
{
}
}
