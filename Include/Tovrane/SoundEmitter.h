#ifndef TOVRANE_SOUNDEMITTER_H
#define TOVRANE_SOUNDEMITTER_H

#include "Tovrane/SoundEffect.h"
#include "Tovrane/Spatial.h"

namespace Tovrane
{
class SoundEmitter;
typedef boost::shared_ptr<SoundEmitter> SoundEmitterPtr;

// Scene leaf that carries a sound effect; it is collected by audio cullers and
// never drawn.
class SoundEmitter : public Spatial
{
    TOVRANE_DECLARE_RTTI(SoundEmitter)

public:
    SoundEmitter();
    ~SoundEmitter() override;

    // An emitter has no extent: only the flag is set.
    void updateWorldBound() override;
    void getVisibleSet(GraphicsCuller& culler, bool force) override;
    void getAudibleSet(AudioCuller& culler, bool force) override;

    SoundEffectPtr soundEffect;
};
}

#endif
