#ifndef RESOURCES_BLUREFFECT_H
#define RESOURCES_BLUREFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
// A 5 x 5 box blur, the window clipped at the picture's edges.
class BlurEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(BlurEffect)

public:
    BlurEffect();
    ~BlurEffect() override;

    void run(TexturePtr picture) override;
};
}

#endif
