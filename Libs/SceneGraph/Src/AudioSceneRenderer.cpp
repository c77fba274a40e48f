#include "Tovrane/AudioSceneRenderer.h"

#include "Tovrane/Assert.h"
#include "Tovrane/AudioCuller.h"
#include "Tovrane/SoundEmitter.h"

namespace Tovrane
{
AudioSceneRenderer::AudioSceneRenderer() {}

AudioSceneRenderer::~AudioSceneRenderer() {}

void AudioSceneRenderer::render(SoundEmitter* emitter) { enableSoundEffect(emitter->soundEffect); }

void AudioSceneRenderer::renderScene(AudioCuller& culler)
{
    for (int i = 0; i < culler.getAudibleQuantity(); ++i)
    {
        Spatial* element = culler.getAudible(i);
        TOVRANE_ASSERT(element->getType().isDerived(SoundEmitter::RuntimeType) && "Only sound emitters are audible");
        render(static_cast<SoundEmitter*>(element));
    }
}
}
