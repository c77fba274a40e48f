#include "Resources/Drawing/Effects/VFlipEffect.h"

#include <algorithm>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, VFlipEffect, Effect);

VFlipEffect::VFlipEffect() {}

VFlipEffect::~VFlipEffect() {}

void VFlipEffect::run(TexturePtr picture)
{
    // Rows 0 to n - 1 are mirrored among themselves, n being 13/15 of the
    // height (416 of 480); the rows below stay.
    const int rows = picture->getHeight() * 13 / 15;
    const int pitch = picture->getPitch();
    picture->releaseBindings();
    unsigned char* pixels = picture->getPixels();
    for (int i = 0, j = rows - 1; i < j; ++i, --j)
        std::swap_ranges(pixels + i * pitch, pixels + (i + 1) * pitch, pixels + j * pitch);
}
}
