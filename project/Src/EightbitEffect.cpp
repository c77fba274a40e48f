#include "Resources/EightbitEffect.h"

#include <algorithm>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, EightbitEffect, Effect);

EightbitEffect::EightbitEffect() {}

EightbitEffect::~EightbitEffect() {}

void EightbitEffect::run(TexturePtr picture)
{
    const int w = picture->getWidth(), h = picture->getHeight();
    std::vector<Colour> colours = readPixels(*picture);
    for (int by = 0; by < h; by += 16)
        for (int bx = 0; bx < w; bx += 16)
        {
            // Blocks at the right and bottom edges are clipped to the picture.
            const int right = std::min(bx + 16, w), bottom = std::min(by + 16, h);
            int r = 0, g = 0, b = 0;
            for (int y = by; y < bottom; ++y)
                for (int x = bx; x < right; ++x)
                {
                    const Colour& c = colours[static_cast<std::size_t>(y) * w + x];
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            const int n = (right - bx) * (bottom - by);
            // The alpha of the last pixel read, the block's bottom-right one.
            const Colour mean(static_cast<unsigned char>(r / n), static_cast<unsigned char>(g / n),
                              static_cast<unsigned char>(b / n),
                              colours[static_cast<std::size_t>(bottom - 1) * w + right - 1].a);
            for (int y = by; y < bottom; ++y)
                std::fill(colours.begin() + static_cast<std::ptrdiff_t>(y) * w + bx,
                          colours.begin() + static_cast<std::ptrdiff_t>(y) * w + right, mean);
        }
    writePixels(*picture, colours);
}
}
