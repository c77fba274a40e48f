#include "Resources/RGBRotateEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, RGBRotateEffect, Effect);

RGBRotateEffect::RGBRotateEffect() {}

RGBRotateEffect::~RGBRotateEffect() {}

void RGBRotateEffect::run(TexturePtr picture)
{
    std::vector<Colour> colours = readPixels(*picture);
    for (Colour& c : colours)
        c = Colour(c.g, c.b, c.r, c.a);
    writePixels(*picture, colours);
}
}
