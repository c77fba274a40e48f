// Packing and unpacking of single pixels in every format, checked against
// hand-computed words and bytes.

#include "Tovrane/Texture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;

std::uint16_t word(const Texture& t, int x, int y)
{
    std::uint16_t v;
    std::memcpy(&v, t.getPixels() + y * t.getPitch() + x * 2, 2);
    return v;
}

void setWord(Texture& t, int x, int y, std::uint16_t v)
{
    std::memcpy(t.getPixels() + y * t.getPitch() + x * 2, &v, 2);
}

// Stores `c` in a 1 x 1 texture of `format` and returns the raw bytes.
std::uint32_t packed(PixelFormat::Type format, const Colour& c)
{
    Texture t(1, 1, format, true, 0);
    t.setPixel(c, 0, 0);
    std::uint32_t v = 0;
    std::memcpy(&v, t.getPixels(), t.getBytesPerPixel());
    return v;
}
}

TEST(PixelFormat, BytesPerPixel)
{
    EXPECT_EQ(1, PixelFormat::getBytesPerPixel(PixelFormat::Palette8));
    EXPECT_EQ(2, PixelFormat::getBytesPerPixel(PixelFormat::RGB565));
    EXPECT_EQ(3, PixelFormat::getBytesPerPixel(PixelFormat::RGB888));
    EXPECT_EQ(2, PixelFormat::getBytesPerPixel(PixelFormat::RGBA4444));
    EXPECT_EQ(2, PixelFormat::getBytesPerPixel(PixelFormat::RGBA5551));
    EXPECT_EQ(4, PixelFormat::getBytesPerPixel(PixelFormat::RGBA8888));
}

TEST(PixelFormat, PackRGB565)
{
    EXPECT_EQ(0xFFFFu, packed(PixelFormat::RGB565, Colour(255, 255, 255, 0)));
    EXPECT_EQ(0xF800u, packed(PixelFormat::RGB565, Colour(255, 0, 0, 255)));
    EXPECT_EQ(0x07E0u, packed(PixelFormat::RGB565, Colour(0, 255, 0, 255)));
    EXPECT_EQ(0x001Fu, packed(PixelFormat::RGB565, Colour(0, 0, 255, 255)));
    // Low bits are cut off: 0x87 >> 3 = 0x10, 0x43 >> 2 = 0x10, 0x2F >> 3 = 5.
    EXPECT_EQ(0x8205u, packed(PixelFormat::RGB565, Colour(0x87, 0x43, 0x2F, 9)));
}

TEST(PixelFormat, UnpackRGB565)
{
    Texture t(1, 1, PixelFormat::RGB565);
    setWord(t, 0, 0, 0xFFFF);
    EXPECT_EQ(Colour(0xF8, 0xFC, 0xF8, 255), t.getPixel(0, 0));
    setWord(t, 0, 0, 0x8205);
    EXPECT_EQ(Colour(0x80, 0x40, 0x28, 255), t.getPixel(0, 0));
}

TEST(PixelFormat, PackAndUnpackRGB888)
{
    Texture t(2, 1, PixelFormat::RGB888, true, 0);
    t.setPixel(Colour(1, 2, 3, 0), 1, 0);
    const unsigned char expected[6] = {0, 0, 0, 1, 2, 3};
    EXPECT_EQ(0, std::memcmp(expected, t.getPixels(), 6));
    // Alpha is dropped and reads as opaque.
    EXPECT_EQ(Colour(1, 2, 3, 255), t.getPixel(1, 0));
}

TEST(PixelFormat, RGBA4444KeepsTheHighNibbles)
{
    Texture t(1, 1, PixelFormat::RGBA4444);
    t.setPixel(Colour(255, 255, 255, 255), 0, 0);
    EXPECT_EQ(0xFFFF, word(t, 0, 0));
    EXPECT_EQ(Colour(240, 240, 240, 240), t.getPixel(0, 0));

    EXPECT_EQ(0x1234u, packed(PixelFormat::RGBA4444, Colour(0x1F, 0x2E, 0x3D, 0x4C)));
    setWord(t, 0, 0, 0x1234);
    EXPECT_EQ(Colour(0x10, 0x20, 0x30, 0x40), t.getPixel(0, 0));
}

TEST(PixelFormat, RGBA5551AlphaIsOneBit)
{
    Texture t(1, 1, PixelFormat::RGBA5551);
    t.setPixel(Colour(255, 0, 0, 1), 0, 0);
    EXPECT_EQ(0xF801, word(t, 0, 0));
    EXPECT_EQ(Colour(248, 0, 0, 255), t.getPixel(0, 0));

    t.setPixel(Colour(255, 0, 0, 0), 0, 0);
    EXPECT_EQ(0xF800, word(t, 0, 0));
    EXPECT_EQ(Colour(248, 0, 0, 0), t.getPixel(0, 0));

    EXPECT_EQ(0x07C0u, packed(PixelFormat::RGBA5551, Colour(0, 255, 0, 0)));
    EXPECT_EQ(0x003Eu, packed(PixelFormat::RGBA5551, Colour(0, 0, 255, 0)));
    // The layer's documented example: channels keep their top 5 bits.
    t.setPixel(Colour(13, 200, 7, 1), 0, 0);
    EXPECT_EQ(Colour(8, 200, 0, 255), t.getPixel(0, 0));
}

TEST(PixelFormat, PackAndUnpackRGBA8888)
{
    Texture t(1, 1, PixelFormat::RGBA8888);
    t.setPixel(Colour(10, 20, 30, 40), 0, 0);
    const unsigned char expected[4] = {10, 20, 30, 40};
    EXPECT_EQ(0, std::memcmp(expected, t.getPixels(), 4));
    EXPECT_EQ(Colour(10, 20, 30, 40), t.getPixel(0, 0));
}

TEST(PixelFormat, PaletteIndicesAndEntries)
{
    Texture t(3, 2, PixelFormat::Palette8, true, 0);
    t.setPaletteEntry(Colour(9, 8, 7, 6), 200);
    t.setPixel(200 + 256, 2, 1); // only the low byte is stored
    EXPECT_EQ(200, t.getPaletteIndex(2, 1));
    EXPECT_EQ(200, t.getPixels()[1 * 3 + 2]);
    EXPECT_EQ(Colour(9, 8, 7, 6), t.getPaletteEntry(200));
    EXPECT_EQ(Colour(9, 8, 7, 6), t.getPixel(2, 1));
    EXPECT_EQ(Colour(0, 0, 0, 0), t.getPixel(0, 0));
    const unsigned char entry[4] = {9, 8, 7, 6};
    EXPECT_EQ(0, std::memcmp(entry, t.getPalette() + 800, 4));
}
