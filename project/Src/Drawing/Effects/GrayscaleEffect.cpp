#include "Resources/Drawing/Effects/GrayscaleEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, GrayscaleEffect, Effect);

namespace
{
// The 8-bit mean 8s / 3 of five-bit channels summing to s keeps its top five
// bits, s / 3: (s x 683) >> 11 for s up to 93.
TOVRANE_ROW_LOOP void greyRow(unsigned char* words, int count)
{
    typedef PackedPixel<PixelFormat::RGBA5551> Pixel;
    for (int x = 0; x < count; ++x)
    {
        const std::uint16_t v = loadPixel16(words + 2 * x);
        const std::uint32_t s = Pixel::red(v) + Pixel::green(v) + Pixel::blue(v);
        const std::uint32_t grey = (s * 683) >> 11;
        storePixel16(words + 2 * x, Pixel::fields(grey, grey, grey, Pixel::alpha(v)));
    }
}
}

GrayscaleEffect::GrayscaleEffect() {}

GrayscaleEffect::~GrayscaleEffect() {}

void GrayscaleEffect::run(TexturePtr picture)
{
    if (picture->getFormat() == PixelFormat::RGBA5551)
    {
        mapRows16(*picture, greyRow);
        return;
    }
    mapPixels(*picture, [](std::uint32_t w) {
        const std::uint32_t v = ((w & 0xFFu) + ((w >> 8) & 0xFFu) + ((w >> 16) & 0xFFu)) / 3;
        return v | v << 8 | v << 16 | (w & 0xFF000000u);
    });
}
}
