#include "DrawingTestSupport.h"

#include <random>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// The pixels that differ between two pictures of one size.
std::vector<int> changedPixels(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b)
{
    std::vector<int> out;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            out.push_back(static_cast<int>(i));
    return out;
}
}

TEST(LayerTest, PixelsLandInTheirTilesAcrossEverySeam)
{
    Layer layer(640, 480, false, 128);
    EXPECT_EQ(std::make_pair(layer.getColumns(), layer.getRows()), std::make_pair(5, 4));
    EXPECT_EQ(Layer(320, 240, true, 128).getPixel(319, 239), Clear);
    // The bottom row's tiles cover rows 384 to 511: transparent beyond the picture.
    EXPECT_EQ(layer.getTile(4, 3)->getTexture()->getPixel(127, 95), White);
    EXPECT_EQ(layer.getTile(4, 3)->getTexture()->getPixel(0, 96), Clear);
    EXPECT_FALSE(layer.getTile(5, 0) || layer.getTile(0, 4));
    // Channels keep their top five bits and any alpha is opaque; positions outside are ignored.
    layer.setPixel(Colour(13, 200, 7, 1), 300, 300);
    EXPECT_EQ(pixels16(layer)[300 * 640 + 300], pack5551(Colour(8, 200, 0, 255)));
    layer.setPixel(Black, 640, 0);
    layer.setPixel(Black, -1, 0);
    // Pixel (130, 260) is texel (2, 4) of tile (1, 2), child 11.
    layer.setPixel(Red, 130, 260);
    EXPECT_EQ(layer.getTile(1, 2)->getTexture()->getPixel(2, 4), Red);
    EXPECT_EQ(layer.getChild(11), layer.getTile(1, 2));
    // Pixels and runs on both sides of every seam land where the whole picture says.
    const int xs[] = {127, 128, 255, 256, 383, 384, 511, 512}, ys[] = {0, 127, 128, 255, 256, 383, 384, 479};
    auto colourOf = [](int i, int j) {
        return Colour(static_cast<unsigned char>(8 * i), static_cast<unsigned char>(8 * j), 40, 255);
    };
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            layer.setPixel(colourOf(i, j), xs[i], ys[j]);
    TexturePtr whole = layer.getTexture();
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            EXPECT_EQ(whole->getPixel(xs[i], ys[j]), colourOf(i, j)) << xs[i] << "," << ys[j];
    layer.setPixelY(Red, 7, 128, 3);
    layer.setPixelX(Red, 256, 99, 10);
    for (int i = 120; i < 136; ++i)
        EXPECT_EQ(layer.getPixel(7, i), (i >= 125 && i < 131) ? Red : White) << i;
    for (int i = 240; i < 270; ++i)
        EXPECT_EQ(layer.getPixel(i, 99), (i >= 246 && i < 266) ? Red : White) << i;
}

TEST(LayerTest, ThickLinesPaintRunsAcrossTheLine)
{
    const std::vector<std::uint16_t> blank = pixels16(Layer(640, 480, false, 128));
    // A flat line paints runs of six rows, a steep one runs of six columns.
    struct Case
    {
        int x0, y0, x1, y1, left, top, right, bottom;
    };
    for (const Case& c : {Case{10, 20, 50, 20, 10, 16, 50, 21}, Case{20, 50, 20, 10, 17, 9, 22, 49}})
    {
        Layer layer(640, 480, false, 128);
        layer.drawLine(point(c.x0, c.y0), point(c.x1, c.y1), Black, tFixed(3));
        const std::vector<int> changed = changedPixels(blank, pixels16(layer));
        EXPECT_EQ(changed.size(), 41u * 6u);
        for (int i : changed)
            EXPECT_TRUE(i % 640 >= c.left && i % 640 <= c.right && i / 640 >= c.top && i / 640 <= c.bottom) << i;
    }
}

TEST(LayerTest, ClippedLinesPaintWhatTheWholeLineWouldPaint)
{
    // The same lines drawn 300 pixels further right and down on a larger
    // picture show what the clipped ones must paint.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-150, 250);
    for (int n = 0; n < 60; ++n)
    {
        const Vector3<tFixed> a = point(coordinate(random), coordinate(random));
        const Vector3<tFixed> b = point(coordinate(random), coordinate(random));
        Layer small(200, 150, false, 128), large(800, 800, false, 128);
        small.drawLine(a, b, Black, tFixed(1 + n % 6));
        large.drawLine(a + point(300, 300), b + point(300, 300), Black, tFixed(1 + n % 6));
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x)
                ASSERT_EQ(small.getPixel(x, y), large.getPixel(x + 300, y + 300))
                    << "line " << n << " at " << x << "," << y;
    }
}

// A plain blit copies part of a picture across tiles, or the whole of it
// straddling the picture's corner.
TEST(LayerTest, PlainBlitsCopyTheirRectangle)
{
    TexturePtr picture(new Texture(40, 30, PixelFormat::RGBA8888, true, 0));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture->setPixel(Colour(static_cast<unsigned char>(x * 6), static_cast<unsigned char>(y * 8), 100, 255), x,
                              y);
    Layer layer(640, 300, false, 128);
    const std::vector<std::uint16_t> before = pixels16(layer);
    layer.blit(picture, 110, 120, 5, 3, 30, 20);
    const std::vector<std::uint16_t> after = pixels16(layer);
    for (int py = 0; py < 300; ++py)
        for (int px = 0; px < 640; ++px)
        {
            const int mx = px - 110, my = py - 120, i = py * 640 + px;
            const bool inside = mx >= 0 && my >= 0 && mx < 30 && my < 20;
            ASSERT_EQ(after[i], inside ? pack5551(picture->getPixel(5 + mx, 3 + my)) : before[i]) << px << "," << py;
        }
    Layer corner(640, 480, false, 128);
    corner.blit(picture, 620, 460, 0, 0, 0, 0);
    EXPECT_EQ(corner.getPixel(639, 479), as5551(picture->getPixel(19, 19)));
}

// Random dabs of many sizes, tiles and patterns, some while a renderer holds
// the tiles, with colours, patterns and masks changed in place between them,
// against the rule applied pixel by pixel.
TEST(LayerTest, MaskedBlitsEqualThePlainRule)
{
    std::mt19937 random(21);
    for (int tileSize : {16, 32, 128})
    {
        LayerPtr layer(new Layer(300, 200, false, tileSize));
        std::vector<std::uint16_t> expected = pixels16(*layer);
        CountingRenderer renderer;
        for (int round = 0; round < 60; ++round)
        {
            const int size = std::vector<int>{8, 16, 32, 13}[random() % 4];
            TexturePtr mask = random() % 2 ? makeDiscMask(size) : makeFullMask(size);
            TexturePtr pattern = makeStripePattern(std::vector<int>{64, 5, 32}[random() % 3], 64 - random() % 3);
            for (int dab = 0; dab < 6; ++dab)
            {
                // Changes through the textures' own operations and through their bytes.
                if (dab == 1)
                    pattern->setPixel(static_cast<int>(random() % 3), 0, 0);
                if (dab == 2)
                    pattern->setPaletteEntry(Colour(static_cast<unsigned char>(random()), 40, 200, 255), 0);
                if (dab == 3)
                    pattern->getPixels()[random() % (pattern->getWidth() * pattern->getHeight())] = 2;
                if (dab == 4)
                    mask->getPixels()[4 * (random() % (size * size)) + 3] ^= 0xFF;
                if (dab == 5)
                    mask->setPixel(random() % 2 ? Clear : Black, 0, 0);
                if (random() % 3 == 0)
                    renderer.frame(layer);
                const int x = static_cast<int>(random() % 340) - 20, y = static_cast<int>(random() % 240) - 20;
                const int srcX = static_cast<int>(random() % 64) - 32, srcY = static_cast<int>(random() % 64) - 32;
                layer->blit(pattern, mask, x, y, srcX, srcY);
                for (int j = 0; j < size; ++j)
                    for (int i = 0; i < size; ++i)
                        if (x + i >= 0 && y + j >= 0 && x + i < 300 && y + j < 200 && mask->getPixel(i, j).a == 255)
                        {
                            const int pw = pattern->getWidth(), ph = pattern->getHeight();
                            expected[(y + j) * 300 + x + i] = pack5551(
                                patternColour(pattern, ((srcX + i) % pw + pw) % pw, ((srcY + j) % ph + ph) % ph));
                        }
                ASSERT_TRUE(pixels16(*layer) == expected) << tileSize << " " << round << " " << dab;
            }
        }
    }
}

TEST(LayerTest, MaskedBlitsWriteOnlyFromPalettesFullAlphaAndInsideThePicture)
{
    Layer layer(300, 200, false, 128);
    const std::vector<std::uint16_t> blank = pixels16(layer);
    TexturePtr mask = makeFullMask(16), pattern = makeSolidPattern(16, 16);
    layer.blit(TexturePtr(new Texture(16, 16, PixelFormat::RGBA8888, true, 0)), mask, 10, 10, 0, 0);
    for (auto at : {std::make_pair(-16, 5), std::make_pair(5, -16), std::make_pair(300, 5), std::make_pair(5, 200)})
    {
        layer.blit(pattern, mask, at.first, at.second, 0, 0);
        layer.blit(pattern, at.first, at.second, 0, 0, 0, 0);
    }
    layer.blit(pattern, TexturePtr(new Texture(16, 16, PixelFormat::RGBA8888, true, 254)), 10, 10, 0, 0);
    EXPECT_TRUE(changedPixels(blank, pixels16(layer)).empty());
}

// RGBA8888 tiles take the full colour; three-byte tiles go pixel by pixel.
TEST(LayerTest, MaskedBlitsOnDeeperTiles)
{
    TexturePtr mask = makeFullMask(8), pattern = makeSolidPattern(16, 16);
    pattern->setPixel(1, 1, 0);
    mask->setPixel(Clear, 0, 0);
    Layer deep(TexturePtr(new Texture(64, 64, PixelFormat::RGBA8888, true, 0)), 32);
    pattern->setPaletteEntry(Colour(1, 2, 3, 4), 0);
    deep.blit(pattern, mask, 30, 30, 0, 0);
    EXPECT_EQ(deep.getPixel(32, 32), Colour(1, 2, 3, 4));
    EXPECT_EQ(deep.getPixel(30, 30), Clear);
    EXPECT_EQ(deep.getPixel(31, 30), Colour(255, 255, 255, 255));
    Layer rgb(TexturePtr(new Texture(40, 40, PixelFormat::RGB888, true, 0)), 32);
    rgb.blit(pattern, mask, 28, 28, 0, 0);
    EXPECT_EQ(rgb.getPixel(33, 33), Colour(1, 2, 3, 255));
    EXPECT_EQ(rgb.getPixel(28, 28), Black);
}

TEST(LayerTest, WholePictureTexturesHaveThePicturesOwnSizeAndFormat)
{
    for (auto size :
         {std::make_pair(640, 480), std::make_pair(333, 201), std::make_pair(128, 128), std::make_pair(1, 1)})
    {
        Layer layer(size.first, size.second, false, 128);
        layer.setPixel(Red, size.first - 1, size.second - 1);
        TexturePtr picture = layer.getTexture();
        EXPECT_EQ(picture->getWidth(), size.first);
        EXPECT_EQ(picture->getHeight(), size.second);
        EXPECT_EQ(picture->getFormat(), PixelFormat::RGBA5551);
        EXPECT_EQ(picture->getPixel(size.first - 1, size.second - 1), Red);
        EXPECT_EQ(picture->getPixel(0, 0), size.first == 1 ? Red : White);
    }
    // A layer made from a texture keeps its format, until an RGBA5551 picture is written back.
    TexturePtr picture(new Texture(200, 150, PixelFormat::RGBA8888, true, 0));
    picture->setPixel(Colour(1, 2, 3, 4), 199, 149);
    Layer layer(picture, 128);
    EXPECT_EQ(layer.getTile(1, 1)->getTexture()->getFormat(), PixelFormat::RGBA8888);
    EXPECT_EQ(layer.getPixel(199, 149), Colour(1, 2, 3, 4));
    layer.writeTexture(layer.getTexture());
    EXPECT_EQ(layer.getTile(1, 1)->getTexture()->getFormat(), PixelFormat::RGBA5551);
    EXPECT_EQ(layer.getPixel(199, 149), Black);
}

TEST(LayerTest, OnlyChangedTilesAreUploadedAgain)
{
    LayerPtr layer(new Layer(640, 480, false, 128));
    CountingRenderer renderer;
    EXPECT_EQ(renderer.frame(layer), 20);
    EXPECT_EQ(renderer.frame(layer), 0);
    TexturePtr mask = makeDiscMask(16), pattern = makeSolidPattern(64, 64);
    // A dab inside one tile, the same dab again (no pixel changes), a dab where
    // four tiles meet, and one ending exactly at a tile's edge.
    const int dabs[][5] = {{40, 40, 8, 8, 1}, {40, 40, 8, 8, 0}, {248, 120, 24, 24, 4}, {112, 300, 16, 12, 1}};
    for (const auto& dab : dabs)
    {
        layer->blit(pattern, mask, dab[0], dab[1], dab[2], dab[3]);
        EXPECT_EQ(renderer.frame(layer), dab[4]) << dab[0] << "," << dab[1];
    }
}
