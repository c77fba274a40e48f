#include "Resources/Lessons/LinesLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{1, "DSL", 2}, {2, "DCL", 3}, {3, "DDL", 4}};
}

LinesLauncherState::LinesLauncherState(int part, bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, static_cast<int>(sizeof(parts) / sizeof(parts[0])), part, fromStory, skipTaskOnAbort)
{
}
}
