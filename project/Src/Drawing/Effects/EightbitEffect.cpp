#include "Resources/Drawing/Effects/EightbitEffect.h"

#include <algorithm>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, EightbitEffect, Effect);

EightbitEffect::EightbitEffect() {}

EightbitEffect::~EightbitEffect() {}

namespace
{
// Pixelate on the five-bit fields: the 8-bit mean 8S / n of a block keeps its
// top five bits, S / n, S being the sum of the five-bit values. Each band of
// block rows sums its columns first (sixteen-bit lanes), then the blocks.
void pixelate5551(Texture& picture)
{
    typedef PackedPixel<PixelFormat::RGBA5551> Pixel;
    const int w = picture.getWidth(), h = picture.getHeight(), pitch = picture.getPitch();
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(w) * 3);
    std::uint16_t* const red = sums.data();
    std::uint16_t* const green = red + w;
    std::uint16_t* const blue = green + w;
    picture.releaseBindings();
    for (int by = 0; by < h; by += 16)
    {
        const int rows = std::min(16, h - by);
        unsigned char* const band = picture.getPixels() + by * pitch;
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = 0; y < rows; ++y)
        {
            const unsigned char* row = band + y * pitch;
            for (int x = 0; x < w; ++x)
            {
                const std::uint16_t v = loadPixel16(row + 2 * x);
                red[x] = static_cast<std::uint16_t>(red[x] + Pixel::red(v));
                green[x] = static_cast<std::uint16_t>(green[x] + Pixel::green(v));
                blue[x] = static_cast<std::uint16_t>(blue[x] + Pixel::blue(v));
            }
        }
        for (int bx = 0; bx < w; bx += 16)
        {
            const int right = std::min(bx + 16, w);
            std::uint32_t r = 0, g = 0, b = 0;
            for (int x = bx; x < right; ++x)
                r += red[x], g += green[x], b += blue[x];
            const std::uint32_t n = static_cast<std::uint32_t>((right - bx) * rows);
            // The alpha of the block's bottom-right pixel.
            const std::uint16_t last = loadPixel16(band + (rows - 1) * pitch + 2 * (right - 1));
            const std::uint16_t mean = Pixel::fields(r / n, g / n, b / n, Pixel::alpha(last));
            for (int y = 0; y < rows; ++y)
                for (int x = bx; x < right; ++x)
                    storePixel16(band + y * pitch + 2 * x, mean);
        }
    }
}
}

void EightbitEffect::run(TexturePtr picture)
{
    const int w = picture->getWidth(), h = picture->getHeight();
    if (picture->getFormat() == PixelFormat::RGBA5551)
    {
        pixelate5551(*picture);
        return;
    }
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
