// Texture layout, conversions between every pair of formats, plain and masked
// blits with clipping, copies, renderer bindings and the misuse assertions.
// Blits and copies are checked against a pixel-by-pixel model of the clipping.

#include "Graphics/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;

const PixelFormat::Type directFormats[] = {PixelFormat::RGB565, PixelFormat::RGB888, PixelFormat::RGBA4444,
                                           PixelFormat::RGBA5551, PixelFormat::RGBA8888};
const Colour background(1, 2, 3, 255);

// A colour that differs from pixel to pixel in every channel, with alpha
// values on both sides of the one-bit and four-bit cuts.
Colour pattern(int x, int y)
{
    return Colour(static_cast<unsigned char>(x * 37 + y * 11), static_cast<unsigned char>(x * 5 + y * 71),
                  static_cast<unsigned char>(200 - x * 13 - y * 3),
                  static_cast<unsigned char>((x + y) % 3 == 0 ? 0 : x * 29 + y * 17));
}

template <typename F> TexturePtr made(int w, int h, PixelFormat::Type format, F colour)
{
    TexturePtr t(new Texture(w, h, format, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t->setPixel(colour(x, y), x, y);
    return t;
}

TexturePtr patterned(int w, int h, PixelFormat::Type format) { return made(w, h, format, pattern); }
TexturePtr filled(int w, int h, PixelFormat::Type format, const Colour& c)
{
    return made(w, h, format, [&](int, int) { return c; });
}
// RGBA8888 mask whose alpha at (x, y) comes from `alpha`.
template <typename F> TexturePtr mask(int w, int h, F alpha)
{
    return made(w, h, PixelFormat::RGBA8888, [&](int x, int y) { return Colour(1, 2, 3, alpha(x, y)); });
}

// A Palette8 texture whose index at (x, y) is (x + 2y) % 7, with seven
// distinct palette colours (one of them transparent) and the rest zero.
TexturePtr paletted(int w, int h)
{
    TexturePtr t(new Texture(w, h, PixelFormat::Palette8, true, 0));
    for (int i = 0; i < 7; ++i)
        t->setPaletteEntry(Colour(static_cast<unsigned char>(30 * i + 17), static_cast<unsigned char>(255 - 20 * i),
                                  static_cast<unsigned char>(i * 40), i == 3 ? 0 : 255),
                           i);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t->setPixel((x + 2 * y) % 7, x, y);
    return t;
}

// What `c` reads as after being stored in `format`.
Colour through(PixelFormat::Type format, const Colour& c)
{
    Texture t(1, 1, format, true, 0);
    t.setPixel(c, 0, 0);
    return t.getPixel(0, 0);
}

// Whether target pixel (x, y) receives a source pixel from a w x h rectangle
// placed at (dx, dy) and read from (sx, sy), and if so which.
bool lands(int x, int y, int dx, int dy, int sx, int sy, int w, int h, const Texture& source, int& srcX, int& srcY)
{
    srcX = sx + x - dx;
    srcY = sy + y - dy;
    return x >= dx && x < dx + w && y >= dy && y < dy + h && srcX >= 0 && srcX < source.getWidth() && srcY >= 0 &&
           srcY < source.getHeight();
}
}

TEST(Texture, BlockLayout)
{
    Texture p(3, 2, PixelFormat::Palette8, true, 7);
    EXPECT_EQ(1030u, p.getSize());
    EXPECT_EQ(3, p.getPitch());
    EXPECT_EQ(p.getData(), p.getPalette());
    EXPECT_EQ(p.getData() + 1024, p.getPixels());
    for (std::size_t i = 0; i < p.getSize(); ++i)
        ASSERT_EQ(7, p.getData()[i]) << i;
}

TEST(Texture, ConversionsBetweenEveryPairOfFormats)
{
    for (PixelFormat::Type from : directFormats)
        for (PixelFormat::Type to : directFormats)
        {
            SCOPED_TRACE(testing::Message() << from << " -> " << to);
            TexturePtr t = patterned(7, 5, from);
            TexturePtr before = t->copy();
            const unsigned char* block = t->getData();
            t->convertTo(to);
            ASSERT_EQ(to, t->getFormat());
            ASSERT_EQ(7 * PixelFormat::getBytesPerPixel(to), t->getPitch());
            ASSERT_EQ(static_cast<std::size_t>(35 * PixelFormat::getBytesPerPixel(to)), t->getSize());
            EXPECT_EQ(nullptr, t->getPalette());
            EXPECT_TRUE(from != to || block == t->getData()); // nothing to do
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x)
                    ASSERT_EQ(through(to, before->getPixel(x, y)), t->getPixel(x, y)) << x << "," << y;
        }

    // Every alpha bit set from RGB.
    TexturePtr rgb = filled(3, 2, PixelFormat::RGB888, Colour(255, 128, 7, 0));
    rgb->convertTo(PixelFormat::RGBA5551);
    EXPECT_EQ(Colour(248, 128, 0, 255), rgb->getPixel(2, 1));
}

TEST(Texture, BlitsClipAgainstSourceAndDestinationInEveryPairOfFormats)
{
    // Destination x, y, source x, y, width, height (0: the source's) of a
    // 6 x 5 source onto an 8 x 8 destination.
    const int cases[][6] = {
        {1, 2, 2, 1, 3, 4},   {0, 0, 0, 0, 0, 0},  {-3, -2, 0, 0, 0, 0}, // inside, whole, past left and top
        {5, 6, 1, 1, 4, 4},   {0, 0, 2, 1, 6, 6},  {1, 1, -2, -1, 5, 5}, // past right and bottom; source clipped
        {-10, 0, 0, 0, 0, 0}, {8, 0, 0, 0, 0, 0},  {0, -10, 0, 0, 0, 0}, // wholly outside
        {0, 8, 0, 0, 0, 0},   {0, 0, 6, 0, 0, 0},  {0, 0, 0, 5, 0, 0}};
    std::vector<PixelFormat::Type> sources(std::begin(directFormats), std::end(directFormats));
    sources.push_back(PixelFormat::Palette8);
    for (PixelFormat::Type dst : directFormats)
        for (PixelFormat::Type src : sources)
            for (const auto& c : cases)
            {
                SCOPED_TRACE(testing::Message() << src << " -> " << dst << " case " << c[0] << "," << c[1] << ","
                                                << c[2] << "," << c[3] << "," << c[4] << "," << c[5]);
                TexturePtr source = src == PixelFormat::Palette8 ? paletted(6, 5) : patterned(6, 5, src);
                TexturePtr target = filled(8, 8, dst, background);
                target->blitTexture(source, c[0], c[1], c[2], c[3], c[4], c[5]);
                const int w = c[4] ? c[4] : 6, h = c[5] ? c[5] : 5;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x)
                    {
                        int sx, sy;
                        const bool in = lands(x, y, c[0], c[1], c[2], c[3], w, h, *source, sx, sy);
                        ASSERT_EQ(through(dst, in ? source->getPixel(sx, sy) : background), target->getPixel(x, y))
                            << x << "," << y;
                    }
            }
}

TEST(Texture, MaskedBlitPaintsPaletteColoursWhereMaskAlphaIs255)
{
    // An 8 x 8 mask with alpha 0, 254 and 255 over a 16 x 16 palette source,
    // onto a 10 x 10 destination: inside, past each side of the destination,
    // source offsets past the source's right and bottom or before its left and
    // top, and a brush dab whose corner lies left of and above the picture.
    TexturePtr source = paletted(16, 16);
    TexturePtr m = mask(8, 8, [](int x, int y) { return (x * 3 + y) % 4 == 0 ? 0 : (x + y) % 5 == 0 ? 254 : 255; });
    const int cases[][4] = {{2, 1, 1, 2},    {-3, 0, 5, 5},  {6, 0, 5, 5},  {0, -5, 5, 5},  {0, 7, 5, 5},
                            {-2, -2, 0, 0},  {5, 6, 12, 11}, {1, 1, -3, -6}, {-4, 5, -2, 10}, {-4, -4, -4, -4}};
    for (PixelFormat::Type dst : directFormats)
        for (const auto& c : cases)
        {
            SCOPED_TRACE(testing::Message() << dst << " case " << c[0] << "," << c[1] << "," << c[2] << "," << c[3]);
            TexturePtr target = filled(10, 10, dst, background);
            target->blitTexture(source, m, c[0], c[1], c[2], c[3]);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 10; ++x)
                {
                    int sx, sy;
                    const bool painted = lands(x, y, c[0], c[1], c[2], c[3], 8, 8, *source, sx, sy) &&
                                         m->getPixel(x - c[0], y - c[1]).a == 255;
                    ASSERT_EQ(through(dst, painted ? source->getPixel(sx, sy) : background), target->getPixel(x, y))
                        << x << "," << y;
                }
        }

    // A source without palette writes nothing.
    for (PixelFormat::Type src : directFormats)
    {
        TexturePtr target = filled(4, 4, PixelFormat::RGBA8888, background);
        target->blitTexture(patterned(4, 4, src), mask(4, 4, [](int, int) { return 255; }), 0, 0, 0, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                ASSERT_EQ(background, target->getPixel(x, y)) << src;
    }
}

TEST(Texture, CopiesClearWhatLiesOutsideTheSource)
{
    TexturePtr p = paletted(5, 3);
    TexturePtr c = p->copy();
    ASSERT_EQ(p->getSize(), c->getSize());
    EXPECT_EQ(0, std::memcmp(p->getData(), c->getData(), p->getSize()));
    EXPECT_EQ(c->getData(), c->getPalette());
    c->setPixel(6, 0, 0);
    EXPECT_EQ(0, p->getPaletteIndex(0, 0));

    // x, y, width, height (0: the texture's): whole, inside and past the right
    // and bottom, starting left of and above, wholly outside.
    TexturePtr t = patterned(6, 4, PixelFormat::RGBA4444);
    const int cases[][4] = {{0, 0, 0, 0}, {4, 2, 5, 3}, {-2, -1, 4, 3}, {10, 10, 3, 3}};
    for (const auto& r : cases)
    {
        SCOPED_TRACE(testing::Message() << r[0] << "," << r[1] << "," << r[2] << "," << r[3]);
        TexturePtr part = t->copy(r[0], r[1], r[2], r[3]);
        const int w = r[2] ? r[2] : 6, h = r[3] ? r[3] : 4;
        ASSERT_EQ(w, part->getWidth());
        ASSERT_EQ(h, part->getHeight());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                const int sx = r[0] + x, sy = r[1] + y;
                const bool inside = sx >= 0 && sx < 6 && sy >= 0 && sy < 4;
                ASSERT_EQ(inside ? t->getPixel(sx, sy) : Colour(0, 0, 0, 0), part->getPixel(x, y)) << x << "," << y;
            }
    }
}

TEST(Texture, EveryChangeDropsTheUploadedCopies)
{
    RecordingRenderer a, b;
    TexturePtr t = patterned(4, 4, PixelFormat::RGBA8888);
    TexturePtr source = paletted(4, 4);
    TexturePtr m = mask(2, 2, [](int, int) { return 255; });
    a.bindTexture(t);
    a.bindTexture(t); // already uploaded: no second copy
    EXPECT_EQ(1, a.live);
    // Reading, copying and converting to the same format change nothing.
    (void)t->getPixel(0, 0);
    (void)t->copy();
    t->convertTo(PixelFormat::RGBA8888);
    EXPECT_EQ(1u, t->bindings.size());

    const std::pair<const char*, std::function<void()>> changes[] = {
        {"setPixel", [&] { t->setPixel(Colour(1, 1, 1, 1), 0, 0); }},
        {"convertTo", [&] { t->convertTo(PixelFormat::RGBA5551); }},
        {"blitTexture", [&] { t->blitTexture(source, 0, 0, 0, 0, 0, 0); }},
        {"masked blitTexture", [&] { t->blitTexture(source, m, 0, 0, 0, 0); }},
        {"setPaletteEntry", [&] { source->setPaletteEntry(Colour(1, 2, 3, 4), 9); }},
        {"setPixel with index", [&] { source->setPixel(1, 1, 1); }},
        {"destructor", [&] { t.reset(); }}};
    for (const auto& change : changes)
    {
        for (RecordingRenderer* r : {&a, &b})
        {
            r->bindTexture(t);
            r->bindTexture(source);
        }
        ASSERT_EQ(4, a.live + b.live);
        change.second();
        EXPECT_EQ(2, a.live + b.live) << change.first; // both copies of the changed texture, no other
        EXPECT_EQ(a.live, b.live) << change.first;
    }
}

TEST(TextureDeathTest, PaletteMisuseNegativeSizesAndMasksWithoutAWholeByteOfAlpha)
{
    TexturePtr p = paletted(2, 2);
    TexturePtr rgba = patterned(2, 2, PixelFormat::RGBA8888);
    EXPECT_DEATH(p->blitTexture(rgba, 0, 0, 0, 0, 0, 0), "Texture contains a palette");
    EXPECT_DEATH(p->copy(0, 0, 1, 1), "Texture contains a palette");
    EXPECT_DEATH(rgba->setPixel(3, 0, 0), "Texture does not contain a palette");
    EXPECT_DEATH(rgba->getPaletteEntry(0), "Texture does not contain a palette");
    EXPECT_DEATH(p->convertTo(PixelFormat::RGB565), "Converting palettized textures not supported");
    EXPECT_DEATH(rgba->convertTo(PixelFormat::Palette8), "Converting to a palettized texture is not supported");
    EXPECT_DEATH(Texture(4, -1, PixelFormat::RGB888), "Texture size must not be negative");
    for (PixelFormat::Type format : {PixelFormat::RGB565, PixelFormat::RGB888, PixelFormat::RGBA4444,
                                     PixelFormat::RGBA5551})
        EXPECT_DEATH(rgba->blitTexture(p, patterned(2, 2, format), 0, 0, 0, 0), "Mask doesn't contain an alpha channel");
}
