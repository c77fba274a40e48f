#include "Resources/Drawing/Effects/EightbitEffect.h"

#include <algorithm>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, EightbitEffect, Effect);

EightbitEffect::EightbitEffect() {}

EightbitEffect::~EightbitEffect() {}

void EightbitEffect::run(TexturePtr picture)
{
    const int w = picture->getWidth(), h = picture->getHeight();
    // One band of block rows at a time.
    std::vector<std::uint32_t> band(static_cast<std::size_t>(w) * 16);
    for (int by = 0; by < h; by += 16)
    {
        // Blocks at the right and bottom edges are clipped to the picture.
        const int rows = std::min(16, h - by);
        readRows(*picture, by, rows, band.data());
        for (int bx = 0; bx < w; bx += 16)
        {
            const int right = std::min(bx + 16, w);
            std::uint32_t r = 0, g = 0, b = 0;
            for (int y = 0; y < rows; ++y)
                for (int x = bx; x < right; ++x)
                {
                    const std::uint32_t c = band[static_cast<std::size_t>(y) * w + x];
                    r += c & 0xFF;
                    g += (c >> 8) & 0xFF;
                    b += (c >> 16) & 0xFF;
                }
            const std::uint32_t n = static_cast<std::uint32_t>((right - bx) * rows);
            // The alpha of the last pixel read, the block's bottom-right one.
            const std::uint32_t mean = (r / n) | (g / n) << 8 | (b / n) << 16 |
                                       (band[static_cast<std::size_t>(rows - 1) * w + right - 1] & 0xFF000000u);
            for (int y = 0; y < rows; ++y)
                std::fill(band.begin() + static_cast<std::ptrdiff_t>(y) * w + bx,
                          band.begin() + static_cast<std::ptrdiff_t>(y) * w + right, mean);
        }
        writeRows(*picture, by, rows, band.data());
    }
}
}
