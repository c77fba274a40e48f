#include "Resources/Drawing/Effects/GrayscaleEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, GrayscaleEffect, Effect);

GrayscaleEffect::GrayscaleEffect() {}

GrayscaleEffect::~GrayscaleEffect() {}

void GrayscaleEffect::run(TexturePtr picture)
{
    if (picture->getFormat() == PixelFormat::RGBA5551)
    {
        // The 8-bit mean 8s / 3 of five-bit channels summing to s keeps its
        // top five bits, s / 3: (s x 683) >> 11 for s up to 93.
        mapWords16(*picture, [](std::uint16_t v) {
            const std::uint32_t s = Pixel5551::red(v) + Pixel5551::green(v) + Pixel5551::blue(v);
            const std::uint32_t grey = (s * 683) >> 11;
            return Pixel5551::fields(grey, grey, grey, Pixel5551::alpha(v));
        });
        return;
    }
    mapPixels(*picture, [](std::uint32_t w) {
        const std::uint32_t v = ((w & 0xFFu) + ((w >> 8) & 0xFFu) + ((w >> 16) & 0xFFu)) / 3;
        return v | v << 8 | v << 16 | (w & 0xFF000000u);
    });
}
}
