#include "Resources/BlurEffect.h"

#include <algorithm>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, BlurEffect, Effect);

BlurEffect::BlurEffect() {}

BlurEffect::~BlurEffect() {}

void BlurEffect::run(TexturePtr picture)
{
    const int w = picture->getWidth(), h = picture->getHeight();
    if (w <= 0 || h <= 0)
        return;
    const std::vector<Colour> source = readPixels(*picture);
    std::vector<Colour> result(source.size());
    // Running sums: the colour sums of each column over the window's rows,
    // then a window sliding along those. The sums are exact, so the result is
    // that of summing every window pixel by pixel.
    std::vector<int> columns(static_cast<std::size_t>(w) * 3, 0);
    auto addRow = [&](int y, int sign) {
        const Colour* row = source.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x)
        {
            columns[3 * x] += sign * row[x].r;
            columns[3 * x + 1] += sign * row[x].g;
            columns[3 * x + 2] += sign * row[x].b;
        }
    };
    for (int y = 0; y < std::min(2, h - 1) + 1; ++y)
        addRow(y, 1);
    for (int y = 0; y < h; ++y)
    {
        // The column sums now hold rows max(y - 2, 0) to min(y + 2, h - 1).
        const int rows = std::min(y + 2, h - 1) - std::max(y - 2, 0) + 1;
        int r = 0, g = 0, b = 0;
        for (int x = 0; x <= std::min(2, w - 1); ++x)
        {
            r += columns[3 * x];
            g += columns[3 * x + 1];
            b += columns[3 * x + 2];
        }
        const Colour* in = source.data() + static_cast<std::size_t>(y) * w;
        Colour* out = result.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x)
        {
            const int n = rows * (std::min(x + 2, w - 1) - std::max(x - 2, 0) + 1);
            out[x] = Colour(static_cast<unsigned char>(r / n), static_cast<unsigned char>(g / n),
                            static_cast<unsigned char>(b / n), in[x].a);
            if (x + 3 < w)
            {
                r += columns[3 * (x + 3)];
                g += columns[3 * (x + 3) + 1];
                b += columns[3 * (x + 3) + 2];
            }
            if (x - 2 >= 0)
            {
                r -= columns[3 * (x - 2)];
                g -= columns[3 * (x - 2) + 1];
                b -= columns[3 * (x - 2) + 2];
            }
        }
        if (y + 3 < h)
            addRow(y + 3, 1);
        if (y - 2 >= 0)
            addRow(y - 2, -1);
    }
    writePixels(*picture, result);
}
}
