#include "Resources/Drawing/Effects/RGBRotateEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, RGBRotateEffect, Effect);

namespace
{
// Green and blue move up one field, red goes down to blue's.
TOVRANE_ROW_LOOP void rotateRow(unsigned char* words, int count)
{
    typedef PackedPixel<PixelFormat::RGBA5551> Pixel;
    for (int x = 0; x < count; ++x)
    {
        const std::uint16_t v = loadPixel16(words + 2 * x);
        storePixel16(words + 2 * x, static_cast<std::uint16_t>((v & (Pixel::GreenBits | Pixel::BlueBits)) << 5 |
                                                               (v & Pixel::RedBits) >> 10 | (v & Pixel::AlphaBit)));
    }
}
}

RGBRotateEffect::RGBRotateEffect() {}

RGBRotateEffect::~RGBRotateEffect() {}

void RGBRotateEffect::run(TexturePtr picture)
{
    // Red takes green's value, green blue's and blue red's.
    if (picture->getFormat() == PixelFormat::RGBA5551)
        mapRows16(*picture, rotateRow);
    else
        mapPixels(*picture,
                  [](std::uint32_t w) { return ((w >> 8) & 0xFFFFu) | ((w & 0xFFu) << 16) | (w & 0xFF000000u); });
}
}
