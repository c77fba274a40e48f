#ifndef TOVRANE_AUDIORENDERER_H
#define TOVRANE_AUDIORENDERER_H

#include "Tovrane/SoundEffect.h"

namespace Tovrane
{
// Back end that plays the sound effects of the audio scene.
class AudioRenderer
{
public:
    virtual ~AudioRenderer() = default;

    virtual void enableSoundEffect(SoundEffectPtr soundEffect) = 0;
};
}

#endif
