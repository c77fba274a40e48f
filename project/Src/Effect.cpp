#include "Resources/Effect.h"

#include <cstdint>
#include <cstring>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Effect, Object);

Effect::Effect() {}

Effect::~Effect() {}

std::vector<Effect::Colour> Effect::readPixels(const Texture& picture)
{
    const int w = picture.getWidth(), h = picture.getHeight();
    std::vector<Colour> colours(static_cast<std::size_t>(w) * h);
    if (picture.getFormat() == PixelFormat::RGBA5551)
    {
        // The whole-picture textures of a layer: unpacked directly.
        for (int y = 0; y < h; ++y)
        {
            const unsigned char* row = picture.getPixels() + y * picture.getPitch();
            Colour* out = colours.data() + static_cast<std::size_t>(y) * w;
            for (int x = 0; x < w; ++x)
            {
                std::uint16_t v;
                std::memcpy(&v, row + 2 * x, 2);
                out[x] = Colour(static_cast<unsigned char>((v >> 8) & 0xF8), static_cast<unsigned char>((v >> 3) & 0xF8),
                                static_cast<unsigned char>((v << 2) & 0xF8), (v & 1) ? 255 : 0);
            }
        }
        return colours;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            colours[static_cast<std::size_t>(y) * w + x] = picture.getPixel(x, y);
    return colours;
}

void Effect::writePixels(Texture& picture, const std::vector<Colour>& colours)
{
    const int w = picture.getWidth(), h = picture.getHeight();
    if (picture.getFormat() == PixelFormat::RGBA5551)
    {
        picture.releaseBindings();
        for (int y = 0; y < h; ++y)
        {
            unsigned char* row = picture.getPixels() + y * picture.getPitch();
            const Colour* in = colours.data() + static_cast<std::size_t>(y) * w;
            for (int x = 0; x < w; ++x)
            {
                const Colour& c = in[x];
                const std::uint16_t v = static_cast<std::uint16_t>((c.r >> 3) << 11 | (c.g >> 3) << 6 | (c.b >> 3) << 1 |
                                                                   (c.a ? 1 : 0));
                std::memcpy(row + 2 * x, &v, 2);
            }
        }
        return;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(colours[static_cast<std::size_t>(y) * w + x], x, y);
}
}
