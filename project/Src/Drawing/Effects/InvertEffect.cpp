#include "Resources/Drawing/Effects/InvertEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, InvertEffect, Effect);

InvertEffect::InvertEffect() {}

InvertEffect::~InvertEffect() {}

void InvertEffect::run(TexturePtr picture)
{
    // 255 - c for each colour byte is its complement.
    mapPixels(*picture, [](std::uint32_t w) { return w ^ 0x00FFFFFFu; });
}
}
