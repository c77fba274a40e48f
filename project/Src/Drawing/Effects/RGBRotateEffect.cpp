#include "Resources/Drawing/Effects/RGBRotateEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, RGBRotateEffect, Effect);

RGBRotateEffect::RGBRotateEffect() {}

RGBRotateEffect::~RGBRotateEffect() {}

void RGBRotateEffect::run(TexturePtr picture)
{
    // Red takes green's value, green blue's and blue red's.
    if (picture->getFormat() == PixelFormat::RGBA5551)
        mapWords16(*picture, [](std::uint16_t v) {
            // Green and blue move up one field, red goes down to blue's.
            return static_cast<std::uint16_t>((v & (Pixel5551::GreenBits | Pixel5551::BlueBits)) << 5 |
                                              (v & Pixel5551::RedBits) >> 10 | (v & Pixel5551::AlphaBit));
        });
    else
        mapPixels(*picture,
                  [](std::uint32_t w) { return ((w >> 8) & 0xFFFFu) | ((w & 0xFFu) << 16) | (w & 0xFF000000u); });
}
}
