#include "Resources/Drawing/Effects/HFlipEffect.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, HFlipEffect, Effect);

namespace
{
// Reverses the order of the Bytes-sized pixels of every row. Locals
// throughout: stores through the byte pointers could otherwise change them.
template <int Bytes> void mirrorRow(unsigned char* __restrict row, const unsigned char* __restrict saved, int w)
{
    for (int x = 0; x < w; ++x)
        std::memcpy(row + x * Bytes, saved + (w - 1 - x) * Bytes, Bytes);
}

// The 16-bit rows of the canvas's pictures, built for every processor.
TOVRANE_ROW_LOOP void mirrorRow16(unsigned char* __restrict row, const unsigned char* __restrict saved, int w)
{
    for (int x = 0; x < w; ++x)
        storePixel16(row + 2 * x, loadPixel16(saved + 2 * (w - 1 - x)));
}

template <int Bytes> void mirrorRows(Texture& picture)
{
    const int w = picture.getWidth(), h = picture.getHeight(), pitch = picture.getPitch();
    unsigned char* const pixels = picture.getPixels();
    std::vector<unsigned char> copy(static_cast<std::size_t>(w) * Bytes);
    unsigned char* const saved = copy.data();
    for (int y = 0; y < h; ++y)
    {
        unsigned char* const row = pixels + static_cast<std::ptrdiff_t>(y) * pitch;
        std::memcpy(saved, row, static_cast<std::size_t>(w) * Bytes);
        if (Bytes == 2)
            mirrorRow16(row, saved, w);
        else
            mirrorRow<Bytes>(row, saved, w);
    }
}
}

HFlipEffect::HFlipEffect() {}

HFlipEffect::~HFlipEffect() {}

void HFlipEffect::run(TexturePtr picture)
{
    // Column i goes to column width - 1 - i, on every row.
    picture->releaseBindings();
    switch (picture->getBytesPerPixel())
    {
    case 1: mirrorRows<1>(*picture); break;
    case 2: mirrorRows<2>(*picture); break;
    case 3: mirrorRows<3>(*picture); break;
    default: mirrorRows<4>(*picture); break;
    }
}
}
