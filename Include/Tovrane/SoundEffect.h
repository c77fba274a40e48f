#ifndef TOVRANE_SOUNDEFFECT_H
#define TOVRANE_SOUNDEFFECT_H

#include <boost/shared_ptr.hpp>

namespace Tovrane
{
class SoundEffect;
typedef boost::shared_ptr<SoundEffect> SoundEffectPtr;

// A sound carried by a sound emitter in the scene. What it holds is up to the
// audio renderer that plays it; the game plays all sound through its audio player.
class SoundEffect
{
public:
    virtual ~SoundEffect() = default;
};
}

#endif
