#include "Resources/Lessons/AnimationLauncherState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace AnimationLesson
{
const LessonStep steps[] = {
    LessonStep::movie("Animation_p1.swf"),
    LessonStep::task("tasks/animation.task", 48),
    LessonStep::movie("Animation_Outro.swf"),
    LessonStep::end(18, 8),
};
const LessonPart part = {0, 0, "AFB"};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), &part, 1, nullptr};
}

AnimationLauncherState::AnimationLauncherState(bool fromStory, bool skipTaskOnAbort) : LessonLauncherState(AnimationLesson::table, 0, fromStory, skipTaskOnAbort) {}
}
