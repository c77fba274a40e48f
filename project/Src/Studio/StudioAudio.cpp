// The studio's speech and sounds. They are spoken once the studio has an
// audio player and its interface; until then they stay silent.
#include "Resources/Studio/Studio.h"

namespace Tovrane
{
void Studio::setAudioPlayer(AudioPlayer* player) { audioPlayer = player; }

void Studio::playToolbarAudio() {}

void Studio::drawingStudioHint() {}

void Studio::colorWheelAudioHint() {}

void Studio::stampSlotDialogAudioHint() {}

void Studio::effectSlotDialogAudioHint() {}

void Studio::playToolSfx() {}

void Studio::stopToolSfx() {}
}
