#ifndef RESOURCES_HFLIPEFFECT_H
#define RESOURCES_HFLIPEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
// Mirrors the picture left-right.
class HFlipEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(HFlipEffect)

public:
    HFlipEffect();
    ~HFlipEffect() override;

    void run(TexturePtr picture) override;
};
}

#endif
