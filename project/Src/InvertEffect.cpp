#include "Resources/InvertEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, InvertEffect, Effect);

InvertEffect::InvertEffect() {}

InvertEffect::~InvertEffect() {}

void InvertEffect::run(TexturePtr picture)
{
    std::vector<Colour> colours = readPixels(*picture);
    for (Colour& c : colours)
    {
        c.r = static_cast<unsigned char>(255 - c.r);
        c.g = static_cast<unsigned char>(255 - c.g);
        c.b = static_cast<unsigned char>(255 - c.b);
    }
    writePixels(*picture, colours);
}
}
