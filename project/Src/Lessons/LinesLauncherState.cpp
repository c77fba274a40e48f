#include "Resources/Lessons/LinesLauncherState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace LinesLesson
{
const LessonStep steps[] = {
    LessonStep::movie("Lines_Intro.swf"),
    LessonStep::movie("Horizontal_Lines_p1.swf"),
    LessonStep::task("tasks/straight_line.task", 38),
    LessonStep::movie("Horizontal_Lines_p2.swf"),
    LessonStep::task("tasks/horizontal_line.task", 39),
    LessonStep::movie("Horizontal_Lines_p3.swf"),
    LessonStep::task("tasks/vertical_line.task", 40),
    LessonStep::movie("Straight_Lines_Outro.swf", 2),
    LessonStep::end(),
    LessonStep::movie("Curved_Lines_p1.swf"),
    LessonStep::task("tasks/curve.task", 41),
    LessonStep::movie("Curved_Lines_p2.swf"),
    LessonStep::task("tasks/waves.task", 42),
    LessonStep::movie("Curved_Lines_Outro.swf", 3),
    LessonStep::end(),
    LessonStep::movie("Diagonal_Lines_p1.swf"),
    LessonStep::task("tasks/diagonal_line.task", 43),
    LessonStep::movie("Diagonal_Lines_p2a.swf"),
    LessonStep::task("tasks/zigzag.task", 44),
    LessonStep::movie("Diagonal_Lines_p2b.swf"),
    LessonStep::movie("Diagonal_Lines_Outro.swf", 4),
    LessonStep::end(),
};
const LessonPart parts[] = {{1, 0, "DSL"}, {2, 9, "DCL"}, {3, 15, "DDL"}};
const LessonGroupCheck group = {1, 4, {2, 3, 4}, 3};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), parts, sizeof(parts) / sizeof(parts[0]), &group};
}

LinesLauncherState::LinesLauncherState(int index, bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(LinesLesson::table, index, fromStory, skipTaskOnAbort)
{
}
}
