#ifndef RESOURCES_VFLIPEFFECT_H
#define RESOURCES_VFLIPEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
// Mirrors the top 13/15 of the picture's rows top-bottom among themselves (416 of 480); the rows below keep their pixels.
class VFlipEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(VFlipEffect)

public:
    VFlipEffect();
    ~VFlipEffect() override;

    void run(TexturePtr picture) override;
};
}

#endif
