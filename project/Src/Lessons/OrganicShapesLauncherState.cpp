#include "Resources/Lessons/OrganicShapesLauncherState.h"

namespace Tovrane
{
namespace
{
const LessonPart parts[] = {{1, "DOC", 13}, {2, "DWO", 12}};
}

OrganicShapesLauncherState::OrganicShapesLauncherState(int part, bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(parts, static_cast<int>(sizeof(parts) / sizeof(parts[0])), part, fromStory, skipTaskOnAbort)
{
}
}
