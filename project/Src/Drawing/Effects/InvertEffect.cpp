#include "Resources/Drawing/Effects/InvertEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, InvertEffect, Effect);

InvertEffect::InvertEffect() {}

InvertEffect::~InvertEffect() {}

void InvertEffect::run(TexturePtr picture)
{
    // 255 - c for each colour byte is its complement; on five bits, 31 - c.
    if (picture->getFormat() == PixelFormat::RGBA5551)
        mapWords16(*picture, [](std::uint16_t v) { return static_cast<std::uint16_t>(v ^ Pixel5551::ColourBits); });
    else
        mapPixels(*picture, [](std::uint32_t w) { return w ^ 0x00FFFFFFu; });
}
}
