#ifndef RESOURCES_GRAYSCALEEFFECT_H
#define RESOURCES_GRAYSCALEEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
// Each pixel becomes the grey of the mean of its red, green and blue (truncated).
class GrayscaleEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(GrayscaleEffect)

public:
    GrayscaleEffect();
    ~GrayscaleEffect() override;

    void run(TexturePtr picture) override;
};
}

#endif
