#include "Resources/Lessons/CompositionLauncherState.h"

#include "Resources/MiniGames/MovingObjectsState.h"
#include "Resources/MiniGames/PickPineapplesState.h"
#include "Resources/MiniGames/SkyGroundState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace CompositionLesson
{
const LessonStep steps[] = {
    LessonStep::movie("Composition_p1.swf"),
    LessonStep::game<SkyGroundState>(),
    LessonStep::task("tasks/horizon_line.task", 45),
    LessonStep::movie("Composition_p2.swf"),
    LessonStep::game<MovingObjectsState>(),
    LessonStep::movie("Composition_p3.swf"),
    LessonStep::game<PickPineapplesState>(),
    LessonStep::movie("Composition_Outro.swf"),
    LessonStep::end(17, 7),
};
const LessonPart part = {0, 0, "CPH"};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), &part, 1, nullptr};
}

CompositionLauncherState::CompositionLauncherState(bool fromStory, bool skipTaskOnAbort) : LessonLauncherState(CompositionLesson::table, 0, fromStory, skipTaskOnAbort) {}
}
