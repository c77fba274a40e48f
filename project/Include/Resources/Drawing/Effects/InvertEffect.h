#ifndef RESOURCES_INVERTEFFECT_H
#define RESOURCES_INVERTEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
// Each pixel's red, green and blue become their complement (255 - c).
class InvertEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(InvertEffect)

public:
    InvertEffect();
    ~InvertEffect() override;

    void run(TexturePtr picture) override;
};
}

#endif
