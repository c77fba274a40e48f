#ifndef RESOURCES_EIGHTBITEFFECT_H
#define RESOURCES_EIGHTBITEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
// Pixelate: each 16 x 16 block (clipped at the edges) takes the mean of its colours and the alpha of its last pixel.
class EightbitEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(EightbitEffect)

public:
    EightbitEffect();
    ~EightbitEffect() override;

    void run(TexturePtr picture) override;
};
}

#endif
