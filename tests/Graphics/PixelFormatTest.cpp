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
}

TEST(PixelFormat, PackAndUnpackEveryFormatAndPaletteIndices)
{
    // Stored colour, the bytes it packs to (little-endian) and what reads back.
    const struct
    {
        PixelFormat::Type format;
        int bytes;
        Colour in;
        std::uint32_t packed;
        Colour out;
    } cases[] = {
        {PixelFormat::RGB565, 2, Colour(255, 255, 255, 0), 0xFFFF, Colour(0xF8, 0xFC, 0xF8, 255)},
        {PixelFormat::RGB565, 2, Colour(255, 0, 0, 255), 0xF800, Colour(0xF8, 0, 0, 255)},
        {PixelFormat::RGB565, 2, Colour(0, 255, 0, 255), 0x07E0, Colour(0, 0xFC, 0, 255)},
        {PixelFormat::RGB565, 2, Colour(0, 0, 255, 255), 0x001F, Colour(0, 0, 0xF8, 255)},
        // Low bits are cut off: 0x87 >> 3 = 0x10, 0x43 >> 2 = 0x10, 0x2F >> 3 = 5.
        {PixelFormat::RGB565, 2, Colour(0x87, 0x43, 0x2F, 9), 0x8205, Colour(0x80, 0x40, 0x28, 255)},
        // Alpha is dropped and reads as opaque.
        {PixelFormat::RGB888, 3, Colour(1, 2, 3, 0), 0x030201, Colour(1, 2, 3, 255)},
        {PixelFormat::RGBA4444, 2, Colour(255, 255, 255, 255), 0xFFFF, Colour(240, 240, 240, 240)},
        {PixelFormat::RGBA4444, 2, Colour(0x1F, 0x2E, 0x3D, 0x4C), 0x1234, Colour(0x10, 0x20, 0x30, 0x40)},
        // One alpha bit: any alpha but 0 is opaque.
        {PixelFormat::RGBA5551, 2, Colour(255, 0, 0, 1), 0xF801, Colour(248, 0, 0, 255)},
        {PixelFormat::RGBA5551, 2, Colour(255, 0, 0, 0), 0xF800, Colour(248, 0, 0, 0)},
        {PixelFormat::RGBA5551, 2, Colour(0, 255, 0, 0), 0x07C0, Colour(0, 248, 0, 0)},
        {PixelFormat::RGBA5551, 2, Colour(0, 0, 255, 0), 0x003E, Colour(0, 0, 248, 0)},
        {PixelFormat::RGBA5551, 2, Colour(13, 200, 7, 1), 0x0E41, Colour(8, 200, 0, 255)},
        {PixelFormat::RGBA8888, 4, Colour(10, 20, 30, 40), 0x281E140A, Colour(10, 20, 30, 40)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "format " << c.format << " packed " << std::hex << c.packed);
        EXPECT_EQ(c.bytes, PixelFormat::getBytesPerPixel(c.format));
        // The second pixel of two, so that a wrong pitch or offset shows.
        Texture t(2, 1, c.format, true, 0);
        t.setPixel(c.in, 1, 0);
        std::uint32_t word = 0;
        std::memcpy(&word, t.getPixels() + c.bytes, c.bytes);
        EXPECT_EQ(c.packed, word);
        EXPECT_EQ(c.out, t.getPixel(1, 0));
        // Unpacking a word written directly.
        std::memcpy(t.getPixels(), &c.packed, c.bytes);
        EXPECT_EQ(c.out, t.getPixel(0, 0));
    }

    // Palette textures store the low byte of an index and look it up.
    EXPECT_EQ(1, PixelFormat::getBytesPerPixel(PixelFormat::Palette8));
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

