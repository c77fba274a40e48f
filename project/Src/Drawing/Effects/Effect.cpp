#include "Resources/Drawing/Effects/Effect.h"

#include <cstdint>
#include <cstring>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Effect, Object);

Effect::Effect() {}

Effect::~Effect() {}

void Effect::readRows(const Texture& picture, int y0, int count, std::uint32_t* words)
{
    const int w = picture.getWidth();
    if (picture.getFormat() == PixelFormat::RGBA5551)
    {
        // The whole-picture textures of a layer: unpacked directly.
        for (int y = y0; y < y0 + count; ++y)
        {
            const unsigned char* row = picture.getPixels() + y * picture.getPitch();
            std::uint32_t* out = words + static_cast<std::size_t>(y - y0) * w;
            for (int x = 0; x < w; ++x)
            {
                std::uint16_t v;
                std::memcpy(&v, row + 2 * x, 2);
                const std::uint32_t p = v;
                out[x] = ((p >> 8) & 0xF8) | ((p << 5) & 0xF800) | ((p << 18) & 0xF80000) | ((0u - (p & 1)) & 0xFF000000u);
            }
        }
        return;
    }
    for (int y = y0; y < y0 + count; ++y)
        for (int x = 0; x < w; ++x)
            words[static_cast<std::size_t>(y - y0) * w + x] = toWord(picture.getPixel(x, y));
}

void Effect::writeRows(Texture& picture, int y0, int count, const std::uint32_t* words)
{
    const int w = picture.getWidth();
    if (picture.getFormat() == PixelFormat::RGBA5551)
    {
        picture.releaseBindings();
        for (int y = y0; y < y0 + count; ++y)
        {
            unsigned char* row = picture.getPixels() + y * picture.getPitch();
            const std::uint32_t* in = words + static_cast<std::size_t>(y - y0) * w;
            for (int x = 0; x < w; ++x)
            {
                const std::uint32_t c = in[x];
                const std::uint16_t v = static_cast<std::uint16_t>(((c & 0xF8) << 8) | ((c >> 5) & 0x7C0) |
                                                                   ((c >> 18) & 0x3E) | ((c >> 24) ? 1 : 0));
                std::memcpy(row + 2 * x, &v, 2);
            }
        }
        return;
    }
    for (int y = y0; y < y0 + count; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(toColour(words[static_cast<std::size_t>(y - y0) * w + x]), x, y);
}
}
