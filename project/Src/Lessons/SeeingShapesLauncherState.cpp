#include "Resources/Lessons/SeeingShapesLauncherState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace SeeingShapesLesson
{
const LessonStep steps[] = {
    LessonStep::movie("Seeing_Shapes_Intro.swf"),
    LessonStep::movie("Seeing_Shapes.swf"),
    LessonStep::task("tasks/seeing_shapes.task", 27),
    LessonStep::movie("Seeing_Shapes_Outro.swf"),
    LessonStep::end(10),
};
const LessonPart part = {0, 0, "SET"};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), &part, 1, nullptr};
}

SeeingShapesLauncherState::SeeingShapesLauncherState(bool fromStory, bool skipTaskOnAbort) : LessonLauncherState(SeeingShapesLesson::table, 0, fromStory, skipTaskOnAbort) {}
}
