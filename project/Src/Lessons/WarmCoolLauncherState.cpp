#include "Resources/Lessons/WarmCoolLauncherState.h"

#include "Resources/MiniGames/WarmCoolState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace WarmCoolLesson
{
const LessonStep steps[] = {
    LessonStep::movie("Warm_Cool_p1.swf"),
    LessonStep::movie("Warm_Cool_p2.swf"),
    LessonStep::game<WarmCoolState>(),
    LessonStep::end(15, 6),
};
const LessonPart part = {0, 0, "WCC"};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), &part, 1, nullptr};
}

WarmCoolLauncherState::WarmCoolLauncherState(bool fromStory, bool skipTaskOnAbort) : LessonLauncherState(WarmCoolLesson::table, 0, fromStory, skipTaskOnAbort) {}
}
