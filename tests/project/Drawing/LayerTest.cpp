#include "DrawingTestSupport.h"

using namespace DrawingTest;

TEST(LayerTest, PixelsLandInTheirTilesAcrossEverySeam)
{
    Layer layer(640, 480, false, 128);
    EXPECT_TRUE(layer.getColumns() == 5 && layer.getRows() == 4 && !layer.getTile(5, 0) && !layer.getTile(0, 4));
    // The bottom row's tiles cover rows 384 to 511: transparent beyond the picture.
    EXPECT_EQ((std::vector<Colour>{Clear, White, Clear}),
              (std::vector<Colour>{Layer(320, 240, true, 128).getPixel(319, 239),
                                   layer.getTile(4, 3)->getTexture()->getPixel(127, 95),
                                   layer.getTile(4, 3)->getTexture()->getPixel(0, 96)}));
    // Channels keep their top five bits and any alpha is opaque; positions outside are ignored.
    layer.setPixel(Colour(13, 200, 7, 1), 300, 300);
    EXPECT_EQ(pixels16(layer)[300 * 640 + 300], pack5551(Colour(8, 200, 0, 255)));
    layer.setPixel(Black, 640, 0);
    layer.setPixel(Black, -1, 0);
    // Pixel (130, 260) is texel (2, 4) of tile (1, 2).
    layer.setPixel(Red, 130, 260);
    EXPECT_EQ(layer.getTile(1, 2)->getTexture()->getPixel(2, 4), Red);
    // Pixels and runs on both sides of every seam land where the whole picture says.
    const int xs[] = {127, 128, 255, 256, 383, 384, 511, 512}, ys[] = {0, 127, 128, 255, 256, 383, 384, 479};
    for (int i = 0; i < 64; ++i)
        layer.setPixel(Colour(8 * (i % 8), 8 * (i / 8), 40, 255), xs[i % 8], ys[i / 8]);
    TexturePtr whole = layer.getTexture();
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(whole->getPixel(xs[i % 8], ys[i / 8]), Colour(8 * (i % 8), 8 * (i / 8), 40, 255)) << i;
    layer.setPixelY(Red, 7, 128, 3);
    layer.setPixelX(Red, 256, 99, 10);
    for (int i = 120; i < 136; ++i)
        EXPECT_EQ(layer.getPixel(7, i), (i >= 125 && i < 131) ? Red : White) << i;
    for (int i = 240; i < 270; ++i)
        EXPECT_EQ(layer.getPixel(i, 99), (i >= 246 && i < 266) ? Red : White) << i;
}

// Clipped lines paint what the same lines paint on a larger picture.
TEST(LayerTest, ThickAndClippedLines)
{
    const int cases[][8] = {{10, 20, 50, 20, 10, 16, 50, 21}, {20, 50, 20, 10, 17, 9, 22, 49}};
    for (const auto& c : cases)
    {
        Layer layer(640, 480, false, 128);
        layer.drawLine(point(c[0], c[1]), point(c[2], c[3]), Black, tFixed(3));
        for (int i = 0; i < 640 * 480; ++i)
            ASSERT_EQ(layer.getPixel(i % 640, i / 640) == Black,
                      i % 640 >= c[4] && i % 640 <= c[6] && i / 640 >= c[5] && i / 640 <= c[7])
                << i;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-150, 250);
    for (int n = 0; n < 60; ++n)
    {
        const Vector3<tFixed> a = point(coordinate(random), coordinate(random));
        const Vector3<tFixed> b = point(coordinate(random), coordinate(random));
        Layer small(200, 150, false, 128), large(800, 800, false, 128);
        small.drawLine(a, b, Black, tFixed(1 + n % 6));
        large.drawLine(a + point(300, 300), b + point(300, 300), Black, tFixed(1 + n % 6));
        for (int i = 0; i < 200 * 150; ++i)
            ASSERT_EQ(small.getPixel(i % 200, i / 200), large.getPixel(i % 200 + 300, i / 200 + 300)) << n << " " << i;
    }
}

TEST(LayerTest, PlainBlitsAndDeeperTiles)
{
    TexturePtr picture = randomPicture(40, 30, PixelFormat::RGB888, 3);
    picture->convertTo(PixelFormat::RGBA8888);
    Layer layer(640, 300, false, 128);
    const std::vector<std::uint16_t> before = pixels16(layer);
    layer.blit(picture, 110, 120, 5, 3, 30, 20);
    const std::vector<std::uint16_t> after = pixels16(layer);
    for (int i = 0; i < 640 * 300; ++i)
    {
        const int mx = i % 640 - 110, my = i / 640 - 120;
        const bool inside = mx >= 0 && my >= 0 && mx < 30 && my < 20;
        ASSERT_EQ(after[i], inside ? pack5551(picture->getPixel(5 + mx, 3 + my)) : before[i]) << i;
    }
    Layer corner(640, 480, false, 128);
    corner.blit(picture, 620, 460, 0, 0, 0, 0);
    EXPECT_EQ(corner.getPixel(639, 479), as5551(picture->getPixel(19, 19)));
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

TEST(LayerTest, WholePictureTexturesAndUploads)
{
    for (auto size :
         {std::make_pair(640, 480), std::make_pair(333, 201), std::make_pair(128, 128), std::make_pair(1, 1)})
    {
        Layer layer(size.first, size.second, false, 128);
        layer.setPixel(Red, size.first - 1, size.second - 1);
        TexturePtr p = layer.getTexture();
        EXPECT_EQ(std::make_tuple(size.first, size.second, PixelFormat::RGBA5551, Red, size.first == 1 ? Red : White),
                  std::make_tuple(p->getWidth(), p->getHeight(), p->getFormat(),
                                  p->getPixel(size.first - 1, size.second - 1), p->getPixel(0, 0)));
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
    // Inside one tile, again (no change), where four meet, ending at an edge.
    LayerPtr tiles(new Layer(640, 480, false, 128));
    CountingRenderer renderer;
    EXPECT_EQ(renderer.frame(tiles), 20);
    EXPECT_EQ(renderer.frame(tiles), 0);
    TexturePtr mask = makeDiscMask(16), pattern = makeSolidPattern(64, 64);
    const int dabs[][5] = {{40, 40, 8, 8, 1}, {40, 40, 8, 8, 0}, {248, 120, 24, 24, 4}, {112, 300, 16, 12, 1}};
    for (const auto& dab : dabs)
    {
        tiles->blit(pattern, mask, dab[0], dab[1], dab[2], dab[3]);
        EXPECT_EQ(renderer.frame(tiles), dab[4]) << dab[0] << "," << dab[1];
    }
}
