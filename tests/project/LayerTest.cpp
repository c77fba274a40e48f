#include "DrawingTestSupport.h"

#include "Resources/Layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// Opaque white as an RGBA5551 pixel reads back: channels keep their top five bits.
const Colour White(248, 248, 248, 255);
const Colour Black(0, 0, 0, 255);
const Colour Clear(0, 0, 0, 0);
const Colour Red(248, 0, 0, 255);

// The set of pixels that differ between two pictures of one size.
std::vector<int> changedPixels(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b)
{
    std::vector<int> out;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            out.push_back(static_cast<int>(i));
    return out;
}

Vector3<tFixed> point(int x, int y) { return Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(0)); }
}

TEST(LayerTest, BlankLayersAndPixelPacking)
{
    Layer opaque(640, 480, false, 128);
    Layer clear(320, 240, true, 128);
    EXPECT_EQ(opaque.getColumns(), 5);
    EXPECT_EQ(opaque.getRows(), 4);
    EXPECT_EQ(clear.getColumns(), 3);
    EXPECT_EQ(clear.getRows(), 2);
    for (int y : {0, 127, 128, 479})
        for (int x : {0, 127, 128, 639})
            EXPECT_EQ(opaque.getPixel(x, y), White);
    EXPECT_EQ(clear.getPixel(319, 239), Clear);

    // Channels keep their top five bits; any alpha is opaque.
    opaque.setPixel(Colour(13, 200, 7, 1), 300, 300);
    EXPECT_EQ(opaque.getPixel(300, 300), Colour(8, 200, 0, 255));
    // Positions outside the picture are ignored.
    opaque.setPixel(Black, 640, 0);
    opaque.setPixel(Black, -1, 0);
    EXPECT_EQ(opaque.getPixel(640, 0), Clear);
    EXPECT_EQ(pixels16(opaque)[300 * 640 + 300], pack5551(Colour(8, 200, 0, 255)));
}

TEST(LayerTest, EdgeTilesAreTransparentBeyondThePicture)
{
    Layer layer(640, 480, false, 128);
    // The bottom row's tiles cover picture rows 384 to 511.
    TexturePtr tile = layer.getTile(4, 3)->getTexture();
    EXPECT_EQ(tile->getPixel(127, 95), White);
    EXPECT_EQ(tile->getPixel(0, 96), Clear);
    EXPECT_EQ(tile->getPixel(127, 127), Clear);
    EXPECT_FALSE(layer.getTile(5, 0));
    EXPECT_FALSE(layer.getTile(0, 4));
}

TEST(LayerTest, TileAddressingAcrossSeams)
{
    Layer layer(640, 480, true, 128);
    layer.setPixel(Red, 130, 260);
    // Pixel (130, 260) is texel (2, 4) of child 11.
    TexturePtr tile = boost::dynamic_pointer_cast<TriangleMesh>(layer.getChild(11))->getTexture();
    EXPECT_EQ(tile->getPixel(2, 4), Red);
    EXPECT_EQ(layer.getTile(1, 2)->getTexture(), tile);

    // Pixels on both sides of every seam land where the whole picture says.
    std::vector<std::pair<int, int>> points;
    for (int s : {127, 128, 255, 256, 383, 384, 511, 512})
        for (int t : {0, 127, 128, 255, 256, 383, 384, 479})
            points.push_back({s, t});
    auto colourOf = [](int n) {
        return Colour(static_cast<unsigned char>(8 * (n % 32)), static_cast<unsigned char>(8 * (n / 32)), 40, 255);
    };
    int n = 0;
    for (auto& p : points)
        layer.setPixel(colourOf(n++), p.first, p.second);
    TexturePtr whole = layer.getTexture();
    EXPECT_EQ(whole->getWidth(), 640);
    EXPECT_EQ(whole->getHeight(), 480);
    n = 0;
    for (auto& p : points)
    {
        const Colour c = colourOf(n++);
        EXPECT_EQ(whole->getPixel(p.first, p.second), c) << p.first << "," << p.second;
        EXPECT_EQ(layer.getPixel(p.first, p.second), c);
    }
}

TEST(LayerTest, RunsAreClippedToThePicture)
{
    Layer layer(200, 100, false, 128);
    std::vector<std::uint16_t> before = pixels16(layer);
    layer.setPixelX(Black, 5, 10, 8);
    std::vector<int> changed = changedPixels(before, pixels16(layer));
    ASSERT_EQ(changed.size(), 13u);
    EXPECT_EQ(changed.front(), 10 * 200 + 0);
    EXPECT_EQ(changed.back(), 10 * 200 + 12);

    before = pixels16(layer);
    layer.setPixelY(Black, 200, 50, 8);
    layer.setPixelX(Black, 50, 100, 8);
    layer.setPixelX(Black, 50, -1, 8);
    EXPECT_TRUE(changedPixels(before, pixels16(layer)).empty());

    // A vertical run across the seam between tile rows.
    Layer tall(100, 300, false, 128);
    tall.setPixelY(Red, 7, 128, 3);
    for (int y = 120; y < 136; ++y)
        EXPECT_EQ(tall.getPixel(7, y), (y >= 125 && y < 131) ? Red : White) << y;
    // A horizontal run across the seam between tile columns.
    Layer wide(300, 100, false, 128);
    wide.setPixelX(Red, 256, 99, 10);
    for (int x = 240; x < 270; ++x)
        EXPECT_EQ(wide.getPixel(x, 99), (x >= 246 && x < 266) ? Red : White) << x;
}

TEST(LayerTest, ThickLinesPaintRunsAcrossTheLine)
{
    Layer layer(640, 480, false, 128);
    std::vector<std::uint16_t> blank = pixels16(layer);
    layer.drawLine(point(10, 20), point(50, 20), Black, tFixed(3));
    std::vector<int> changed = changedPixels(blank, pixels16(layer));
    EXPECT_EQ(changed.size(), 41u * 6u);
    for (int i : changed)
    {
        const int x = i % 640, y = i / 640;
        EXPECT_TRUE(x >= 10 && x <= 50 && y >= 16 && y <= 21) << x << "," << y;
    }

    Layer steep(640, 480, false, 128);
    steep.drawLine(point(20, 50), point(20, 10), Black, tFixed(3));
    changed = changedPixels(blank, pixels16(steep));
    EXPECT_EQ(changed.size(), 41u * 6u);
    for (int i : changed)
    {
        const int x = i % 640, y = i / 640;
        EXPECT_TRUE(x >= 17 && x <= 22 && y >= 9 && y <= 49) << x << "," << y;
    }
}

TEST(LayerTest, ClippedLinesPaintWhatTheWholeLineWouldPaint)
{
    // The same lines drawn 300 pixels further right and down on a larger
    // picture show what the clipped ones must paint.
    const int shift = 300;
    std::mt19937 random(7);
    for (int n = 0; n < 60; ++n)
    {
        std::uniform_int_distribution<int> coordinate(-150, 250);
        const Vector3<tFixed> a = point(coordinate(random), coordinate(random));
        const Vector3<tFixed> b = point(coordinate(random), coordinate(random));
        const tFixed w = tFixed(1 + n % 6);
        Layer small(200, 150, false, 128);
        Layer large(800, 800, false, 128);
        small.drawLine(a, b, Black, w);
        large.drawLine(a + point(shift, shift), b + point(shift, shift), Black, w);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x)
                ASSERT_EQ(small.getPixel(x, y), large.getPixel(x + shift, y + shift))
                    << "line " << n << " at " << x << "," << y;
    }
}

TEST(LayerTest, MaskedBlitAcrossFourTiles)
{
    Layer layer(640, 480, false, 128);
    TexturePtr mask = makeDiscMask(32);
    TexturePtr pattern = makeStripePattern(64, 64);
    std::vector<std::uint16_t> before = pixels16(layer);
    const int x = 112, y = 115, srcX = 112 % 32, srcY = 115 % 32;
    layer.blit(pattern, mask, x, y, srcX, srcY);
    std::vector<std::uint16_t> after = pixels16(layer);
    for (int py = 0; py < 480; ++py)
        for (int px = 0; px < 640; ++px)
        {
            std::uint16_t expected = before[py * 640 + px];
            const int mx = px - x, my = py - y;
            if (mx >= 0 && my >= 0 && mx < 32 && my < 32 && mask->getPixel(mx, my).a == 255)
                expected = pack5551(pattern->getPaletteEntry(pattern->getPaletteIndex(srcX + mx, srcY + my)));
            ASSERT_EQ(after[py * 640 + px], expected) << px << "," << py;
        }
    // All four tiles around (128, 128) changed.
    int tilesChanged[2][2] = {{0, 0}, {0, 0}};
    for (int i : changedPixels(before, after))
        ++tilesChanged[(i % 640) / 128][(i / 640) / 128];
    for (int c : {0, 1})
        for (int r : {0, 1})
            EXPECT_GT(tilesChanged[c][r], 0);
}

TEST(LayerTest, MaskedBlitReadsThePatternModuloItsSize)
{
    Layer layer(100, 100, false, 128);
    TexturePtr mask(new Texture(32, 32, PixelFormat::RGBA8888, true, 255));
    TexturePtr pattern = makeStripePattern(5, 3);
    layer.blit(pattern, mask, -7, 20, -7 % 32, 20 % 32);
    for (int py = 20; py < 52; ++py)
        for (int px = 0; px < 25; ++px)
        {
            const int sx = ((-7 + px + 7) % 5 + 5) % 5;
            const int sy = (20 + py - 20) % 3;
            ASSERT_EQ(layer.getPixel(px, py), as5551(pattern->getPaletteEntry(pattern->getPaletteIndex(sx, sy))));
        }
    EXPECT_EQ(layer.getPixel(26, 19), White);
}

TEST(LayerTest, MaskedBlitWritesOnlyFromPalettesAndInsideThePicture)
{
    Layer layer(300, 200, false, 128);
    const std::vector<std::uint16_t> blank = pixels16(layer);
    TexturePtr mask(new Texture(16, 16, PixelFormat::RGBA8888, true, 255));
    TexturePtr rgb(new Texture(16, 16, PixelFormat::RGBA8888, true, 0));
    layer.blit(rgb, mask, 10, 10, 0, 0);
    EXPECT_TRUE(changedPixels(blank, pixels16(layer)).empty());

    TexturePtr pattern = makeSolidPattern(16, 16);
    layer.blit(pattern, mask, -16, 5, 0, 0);
    layer.blit(pattern, mask, 5, -16, 0, 0);
    layer.blit(pattern, mask, 300, 5, 0, 0);
    layer.blit(pattern, mask, 5, 200, 0, 0);
    layer.blit(pattern, 5, -16, 0, 0, 0, 0);
    layer.blit(pattern, -16, 5, 0, 0, 0, 0);
    EXPECT_TRUE(changedPixels(blank, pixels16(layer)).empty());

    // Partial alpha is never painted.
    TexturePtr half(new Texture(16, 16, PixelFormat::RGBA8888, true, 254));
    layer.blit(pattern, half, 10, 10, 0, 0);
    EXPECT_TRUE(changedPixels(blank, pixels16(layer)).empty());
}

TEST(LayerTest, PlainBlitAcrossTiles)
{
    Layer layer(640, 480, false, 128);
    TexturePtr source(new Texture(40, 30, PixelFormat::RGBA8888, true, 0));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            source->setPixel(Colour(static_cast<unsigned char>(x * 6), static_cast<unsigned char>(y * 8), 100, 255), x, y);
    const std::vector<std::uint16_t> before = pixels16(layer);
    layer.blit(source, 110, 120, 5, 3, 30, 20);
    const std::vector<std::uint16_t> after = pixels16(layer);
    for (int py = 0; py < 480; ++py)
        for (int px = 0; px < 640; ++px)
        {
            const bool inside = px >= 110 && px < 140 && py >= 120 && py < 140;
            const std::uint16_t expected =
                inside ? pack5551(source->getPixel(5 + px - 110, 3 + py - 120)) : before[py * 640 + px];
            ASSERT_EQ(after[py * 640 + px], expected) << px << "," << py;
        }
    // A whole-texture blit straddling the picture's corner.
    layer.blit(source, 620, 460, 0, 0, 0, 0);
    EXPECT_EQ(layer.getPixel(639, 479), Colour(19 * 6 & 0xF8, 19 * 8 & 0xF8, 100 & 0xF8, 255));
}

TEST(LayerTest, CopiesAreIndependent)
{
    Layer layer(640, 480, false, 128);
    layer.setPixel(Red, 10, 10);
    LayerPtr copy = layer.copy();
    ASSERT_EQ(copy->getChildQuantity(), layer.getChildQuantity());
    EXPECT_EQ(copy->getWidth(), 640);
    EXPECT_EQ(copy->getHeight(), 480);
    EXPECT_EQ(copy->getTileSize(), 128);
    for (int i = 0; i < layer.getChildQuantity(); ++i)
    {
        TriangleMeshPtr a = boost::dynamic_pointer_cast<TriangleMesh>(layer.getChild(i));
        TriangleMeshPtr b = boost::dynamic_pointer_cast<TriangleMesh>(copy->getChild(i));
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->getPosition(), b->getPosition());
        EXPECT_EQ(a->vertexBuffer, b->vertexBuffer);
        EXPECT_NE(a->getTexture(), b->getTexture());
    }
    EXPECT_EQ(copy->getPosition(), layer.getPosition());
    EXPECT_EQ(copy->getPixel(10, 10), Red);

    copy->setPixel(Black, 20, 20);
    layer.setPixel(Black, 30, 30);
    EXPECT_EQ(layer.getPixel(20, 20), White);
    EXPECT_EQ(copy->getPixel(30, 30), White);
}

TEST(LayerTest, WholePictureTexturesHaveThePicturesOwnSize)
{
    for (auto size : {std::make_pair(640, 480), std::make_pair(320, 240), std::make_pair(333, 201),
                      std::make_pair(128, 128), std::make_pair(1, 1)})
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
}

TEST(LayerTest, LayersFromTexturesKeepTheirFormat)
{
    TexturePtr picture(new Texture(200, 150, PixelFormat::RGBA8888, true, 0));
    picture->setPixel(Colour(1, 2, 3, 4), 199, 149);
    Layer layer(picture, 128);
    EXPECT_EQ(layer.getTile(1, 1)->getTexture()->getFormat(), PixelFormat::RGBA8888);
    EXPECT_EQ(layer.getPixel(199, 149), Colour(1, 2, 3, 4));
    // Writing a whole RGBA5551 picture back turns the tiles into RGBA5551.
    TexturePtr whole = layer.getTexture();
    layer.writeTexture(whole);
    EXPECT_EQ(layer.getTile(1, 1)->getTexture()->getFormat(), PixelFormat::RGBA5551);
    EXPECT_EQ(layer.getPixel(199, 149), Colour(0, 0, 0, 255));
}

TEST(LayerTest, OnlyChangedTilesAreUploadedAgain)
{
    LayerPtr layer(new Layer(640, 480, false, 128));
    CountingRenderer renderer;
    EXPECT_EQ(renderer.frame(layer), 20);
    EXPECT_EQ(renderer.frame(layer), 0);

    TexturePtr mask = makeDiscMask(16);
    TexturePtr pattern = makeSolidPattern(64, 64);
    // A dab inside one tile.
    layer->blit(pattern, mask, 40, 40, 8, 8);
    EXPECT_EQ(renderer.frame(layer), 1);
    // The same dab again changes no pixel.
    layer->blit(pattern, mask, 40, 40, 8, 8);
    EXPECT_EQ(renderer.frame(layer), 0);
    // A dab on a corner where four tiles meet.
    layer->blit(pattern, mask, 248, 120, 24, 24);
    EXPECT_EQ(renderer.frame(layer), 4);
    // A dab that ends exactly at a tile's edge touches only its own tile.
    layer->blit(pattern, mask, 112, 300, 16, 12);
    EXPECT_EQ(renderer.frame(layer), 1);

    // Writing the whole picture back uploads only what changed.
    TexturePtr picture = layer->getTexture();
    picture->setPixel(Red, 600, 470);
    layer->writeTexture(picture);
    EXPECT_EQ(renderer.frame(layer), 1);
    layer->writeTexture(layer->getTexture());
    EXPECT_EQ(renderer.frame(layer), 0);
}

TEST(LayerTest, MaskedBlitsSeeChangedColoursPatternsAndMasks)
{
    Layer layer(320, 240, false, 128);
    TexturePtr mask(new Texture(8, 8, PixelFormat::RGBA8888, true, 255));
    TexturePtr pattern = makeSolidPattern(16, 16);
    layer.blit(pattern, mask, 10, 10, 0, 0);
    EXPECT_EQ(layer.getPixel(10, 10), Black);
    // The same textures changed in place.
    pattern->setPaletteEntry(Colour(0, 0, 248, 255), 0);
    layer.blit(pattern, mask, 20, 10, 0, 0);
    EXPECT_EQ(layer.getPixel(20, 10), Colour(0, 0, 248, 255));
    pattern->setPixel(1, 1, 0);
    layer.blit(pattern, mask, 30, 10, 0, 0);
    EXPECT_EQ(layer.getPixel(31, 10), White);
    mask->setPixel(Colour(0, 0, 0, 0), 0, 0);
    layer.blit(pattern, mask, 40, 10, 0, 0);
    EXPECT_EQ(layer.getPixel(40, 10), White);
    EXPECT_EQ(layer.getPixel(42, 10), Colour(0, 0, 248, 255));
    // Another layer format: RGBA8888 tiles take the full colour.
    Layer deep(TexturePtr(new Texture(64, 64, PixelFormat::RGBA8888, true, 0)), 32);
    pattern->setPaletteEntry(Colour(1, 2, 3, 4), 0);
    deep.blit(pattern, mask, 30, 30, 0, 0);
    EXPECT_EQ(deep.getPixel(32, 32), Colour(1, 2, 3, 4));
    EXPECT_EQ(deep.getPixel(30, 30), Colour(0, 0, 0, 0));
    EXPECT_EQ(deep.getPixel(31, 30), Colour(255, 255, 255, 255));
    // Three-byte tiles go pixel by pixel.
    Layer rgb(TexturePtr(new Texture(40, 40, PixelFormat::RGB888, true, 0)), 32);
    rgb.blit(pattern, mask, 28, 28, 0, 0);
    EXPECT_EQ(rgb.getPixel(33, 33), Colour(1, 2, 3, 255));
    EXPECT_EQ(rgb.getPixel(28, 28), Colour(0, 0, 0, 255));
}
