#include "Resources/HFlipEffect.h"

#include <algorithm>
#include <vector>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, HFlipEffect, Effect);

HFlipEffect::HFlipEffect() {}

HFlipEffect::~HFlipEffect() {}

void HFlipEffect::run(TexturePtr picture)
{
    // Column i goes to column width - 1 - i, on every row.
    const int w = picture->getWidth(), h = picture->getHeight(), bpp = picture->getBytesPerPixel();
    picture->releaseBindings();
    for (int y = 0; y < h; ++y)
    {
        unsigned char* row = picture->getPixels() + y * picture->getPitch();
        for (int i = 0, j = w - 1; i < j; ++i, --j)
            std::swap_ranges(row + i * bpp, row + (i + 1) * bpp, row + j * bpp);
    }
}
}
