#include "Resources/Drawing/Effects/Effect.h"

#include <cstdint>

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
                out[x] = Pixel5551::unpack(row + 2 * x);
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
                Pixel5551::pack(row + 2 * x, in[x]);
        }
        return;
    }
    for (int y = y0; y < y0 + count; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(toColour(words[static_cast<std::size_t>(y - y0) * w + x]), x, y);
}
}
