#include "Resources/Lessons/ShapesLauncherState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace ShapesLesson
{
const LessonStep steps[] = {
    LessonStep::movie("Shapes_intro.swf"),
    LessonStep::movie("Triangle_p1.swf"),
    LessonStep::task("tasks/shapes_eq_triangle.task", 28),
    LessonStep::movie("Triangle_p2.swf"),
    LessonStep::task("tasks/shapes_triangle_2.task", 29),
    LessonStep::movie("Triangle_Outro.swf", 6),
    LessonStep::end(),
    LessonStep::movie("Rectangles_p1.swf"),
    LessonStep::task("tasks/shapes_rectangle.task", 30),
    LessonStep::movie("Rectangles_p2.swf"),
    LessonStep::task("tasks/shapes_square.task", 31),
    LessonStep::movie("Rectangles_Outro.swf", 7),
    LessonStep::end(),
    LessonStep::movie("Circle_p1.swf"),
    LessonStep::task("tasks/shapes_circle.task", 32),
    LessonStep::movie("Circle_p2.swf"),
    LessonStep::task("tasks/shapes_ellipse.task", 33),
    LessonStep::movie("Circle_Outro.swf", 8),
    LessonStep::end(),
    LessonStep::movie("Polygons_p1.swf"),
    LessonStep::task("tasks/shapes_hexigon.task", 34),
    LessonStep::movie("Polygons_Outro.swf", 9),
    LessonStep::end(),
};
const LessonPart parts[] = {{1, 0, "TRI"}, {2, 7, "REC"}, {3, 13, "CIR"}, {4, 19, "HEX"}};
const LessonGroupCheck group = {5, 5, {6, 7, 8, 9}, 4};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), parts, sizeof(parts) / sizeof(parts[0]), &group};
}

ShapesLauncherState::ShapesLauncherState(int index, bool fromStory, bool skipTaskOnAbort)
    : LessonLauncherState(ShapesLesson::table, index, fromStory, skipTaskOnAbort)
{
}
}
