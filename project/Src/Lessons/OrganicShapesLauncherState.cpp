#include "Resources/Lessons/OrganicShapesLauncherState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace OrganicShapesLesson
{
// Index 1 (organic shapes) records entry 13 and index 2 (drawing objects)
// entry 12: the story's task studio tests the same entries.
const LessonStep steps[] = {
    LessonStep::movie("Organic_Intro.swf"),
    LessonStep::movie("Organic_Shapes_p1a.swf"),
    LessonStep::task("tasks/cloud.task", 35),
    LessonStep::movie("Organic_Shapes_p1b.swf", 13),
    LessonStep::end(),
    LessonStep::movie("Organic_Shapes_p2a.swf"),
    LessonStep::task("tasks/tree.task", 36),
    LessonStep::movie("Organic_Shapes_p2b.swf"),
    LessonStep::task("tasks/car.task", 37),
    LessonStep::movie("Organic_Shapes_p2c.swf", 12),
    LessonStep::end(),
};
const LessonPart parts[] = {{1, 0, "DOC"}, {2, 5, "DWO"}};
const LessonGroupCheck group = {11, -1, {12, 13}, 2};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), parts, sizeof(parts) / sizeof(parts[0]), &group};
}

OrganicShapesLauncherState::OrganicShapesLauncherState(int index, bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(OrganicShapesLesson::table, index, fromStory, skipTaskOnAbort)
{
}
}
