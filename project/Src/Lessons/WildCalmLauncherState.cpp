#include "Resources/Lessons/WildCalmLauncherState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace WildCalmLesson
{
const LessonStep steps[] = {
    LessonStep::movie("Wild_Calm_Intro.swf"),
    LessonStep::movie("Colors_Calm.swf"),
    LessonStep::task("tasks/calm.task", 47),
    LessonStep::movie("Colors_Wild.swf"),
    LessonStep::task("tasks/wild.task", 46),
    LessonStep::movie("Wild_Calm_Outro.swf"),
    LessonStep::end(16),
};
const LessonPart part = {0, 0, "WCA"};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), &part, 1, nullptr};
}

WildCalmLauncherState::WildCalmLauncherState(bool fromStory, bool skipTaskOnAbort) : LessonLauncherState(WildCalmLesson::table, 0, fromStory, skipTaskOnAbort) {}
}
