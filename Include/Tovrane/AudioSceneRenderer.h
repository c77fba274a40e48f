#ifndef TOVRANE_AUDIOSCENERENDERER_H
#define TOVRANE_AUDIOSCENERENDERER_H

#include "Tovrane/AudioRenderer.h"

namespace Tovrane
{
class AudioCuller;
class SoundEmitter;

// Hands the sound effect of each collected emitter to the audio back end.
class AudioSceneRenderer : public AudioRenderer
{
public:
    AudioSceneRenderer();
    ~AudioSceneRenderer() override;

    void render(SoundEmitter* emitter);
    // Every collected element is a sound emitter.
    void renderScene(AudioCuller& culler);
};
}

#endif
