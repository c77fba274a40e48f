#include "Resources/Lessons/ShapesLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{1, "TRI", 6}, {2, "REC", 7}, {3, "CIR", 8}, {4, "HEX", 9}};
}

ShapesLauncherState::ShapesLauncherState(int part, bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, static_cast<int>(sizeof(parts) / sizeof(parts[0])), part, fromStory, skipTaskOnAbort)
{
}
}
