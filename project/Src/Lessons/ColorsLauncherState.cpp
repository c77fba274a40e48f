#include "Resources/Lessons/ColorsLauncherState.h"

#include "Resources/MiniGames/MixingColorsState.h"

namespace Tovrane
{
// The lesson's steps, named for this launcher: sources compile together.
namespace ColorsLesson
{
const LessonStep steps[] = {
    LessonStep::movie("Color.swf"),
    LessonStep::game<MixingColorsState>(),
    LessonStep::movie("Colors_Outro.swf"),
    LessonStep::end(14),
};
const LessonPart part = {0, 0, "PSC"};
const LessonTable table = {steps, sizeof(steps) / sizeof(steps[0]), &part, 1, nullptr};
}

ColorsLauncherState::ColorsLauncherState(bool fromStory, bool skipTaskOnAbort) : LessonLauncherState(ColorsLesson::table, 0, fromStory, skipTaskOnAbort) {}
}
