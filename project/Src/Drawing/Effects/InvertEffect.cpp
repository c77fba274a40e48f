#include "Resources/Drawing/Effects/InvertEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, InvertEffect, Effect);

namespace
{
// 31 - c for each five-bit field.
TOVRANE_ROW_LOOP void invertRow(unsigned char* words, int count)
{
    for (int x = 0; x < count; ++x)
        storePixel16(words + 2 * x,
                     static_cast<std::uint16_t>(loadPixel16(words + 2 * x) ^
                                                PackedPixel<PixelFormat::RGBA5551>::ColourBits));
}
}

InvertEffect::InvertEffect() {}

InvertEffect::~InvertEffect() {}

void InvertEffect::run(TexturePtr picture)
{
    // 255 - c for each colour byte is its complement; on five bits, 31 - c.
    if (picture->getFormat() == PixelFormat::RGBA5551)
        mapRows16(*picture, invertRow);
    else
        mapPixels(*picture, [](std::uint32_t w) { return w ^ 0x00FFFFFFu; });
}
}
