#include "Resources/Drawing/Effects/RGBRotateEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, RGBRotateEffect, Effect);

RGBRotateEffect::RGBRotateEffect() {}

RGBRotateEffect::~RGBRotateEffect() {}

void RGBRotateEffect::run(TexturePtr picture)
{
    mapPixels(*picture, [](std::uint32_t w) { return ((w >> 8) & 0xFFFFu) | ((w & 0xFFu) << 16) | (w & 0xFF000000u); });
}
}
