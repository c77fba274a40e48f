#include "Tovrane/SoundEmitter.h"

#include "Tovrane/AudioCuller.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, SoundEmitter, Spatial);

SoundEmitter::SoundEmitter() {}

SoundEmitter::~SoundEmitter() { soundEffect.reset(); }

void SoundEmitter::updateWorldBound() { worldBoundCurrent = true; }

void SoundEmitter::getVisibleSet(GraphicsCuller&, bool) {}

void SoundEmitter::getAudibleSet(AudioCuller& culler, bool) { culler.insert(this); }
}
