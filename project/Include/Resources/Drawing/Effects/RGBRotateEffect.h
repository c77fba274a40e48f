#ifndef RESOURCES_RGBROTATEEFFECT_H
#define RESOURCES_RGBROTATEEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
// Each pixel (R, G, B, A) becomes (G, B, R, A).
class RGBRotateEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(RGBRotateEffect)

public:
    RGBRotateEffect();
    ~RGBRotateEffect() override;

    void run(TexturePtr picture) override;
};
}

#endif
