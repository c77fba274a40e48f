#include "Resources/Drawing/Effects/GrayscaleEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, GrayscaleEffect, Effect);

GrayscaleEffect::GrayscaleEffect() {}

GrayscaleEffect::~GrayscaleEffect() {}

void GrayscaleEffect::run(TexturePtr picture)
{
    mapPixels(*picture, [](std::uint32_t w) {
        const std::uint32_t v = ((w & 0xFFu) + ((w >> 8) & 0xFFu) + ((w >> 16) & 0xFFu)) / 3;
        return v | v << 8 | v << 16 | (w & 0xFF000000u);
    });
}
}
