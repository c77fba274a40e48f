#include "Resources/GrayscaleEffect.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, GrayscaleEffect, Effect);

GrayscaleEffect::GrayscaleEffect() {}

GrayscaleEffect::~GrayscaleEffect() {}

void GrayscaleEffect::run(TexturePtr picture)
{
    std::vector<Colour> colours = readPixels(*picture);
    for (Colour& c : colours)
    {
        const unsigned char v = static_cast<unsigned char>((c.r + c.g + c.b) / 3);
        c = Colour(v, v, v, c.a);
    }
    writePixels(*picture, colours);
}
}
