#include "Tovrane/TiledBillboard.h"

#include "Tovrane/VertexBuffer.h"

#include <gtest/gtest.h>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;

TexturePtr picture(int w, int h, PixelFormat::Type format = PixelFormat::RGBA8888)
{
    TexturePtr texture(new Texture(w, h, format, true, 0xFF));
    return texture;
}

Vector3<tFixed> at(int x, int y) { return Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(0)); }
}

TEST(TiledBillboardTest, TilesArePlacedRowByRowFromTheTopSharingOneMesh)
{
    TiledBillboard billboard(picture(640, 480), 128);
    EXPECT_EQ(billboard.getChildQuantity(), 20);
    // The billboard spans 0..640 and 0..480; tile (c, r) is centred at
    // (c x 128 + 64, 480 - r x 128 - 64) in the parent's space.
    EXPECT_EQ(billboard.getPosition(), at(320, 240));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
        {
            TriangleMeshPtr tile = billboard.getTile(c, r);
            ASSERT_EQ(tile, billboard.getChild(r * 5 + c));
            EXPECT_EQ(billboard.getPosition() + tile->getPosition(), at(c * 128 + 64, 480 - r * 128 - 64));
            EXPECT_EQ(tile->vertexBuffer, billboard.getTile(0, 0)->vertexBuffer);
            EXPECT_EQ(tile->indexBuffer, billboard.getTile(0, 0)->indexBuffer);
        }
    EXPECT_EQ(billboard.getTile(0, 0)->vertexBuffer->getVertexCount(), 4);
    EXPECT_EQ(TiledBillboard(picture(320, 240), 256).getColumns(), 2);
    TiledBillboard empty(picture(0, 10), 128);
    EXPECT_EQ(empty.getChildQuantity(), 0);
    EXPECT_FALSE(empty.getTile(0, 0));
}

TEST(TiledBillboardTest, TilesHoldTheirSquareOfThePicture)
{
    TexturePtr source(new Texture(300, 200, PixelFormat::RGBA4444, true, 0));
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            source->setPixel(Colour(static_cast<unsigned char>(x), static_cast<unsigned char>(y), 0x50, 0xF0), x, y);
    TiledBillboard billboard(source, 128);
    ASSERT_EQ(billboard.getChildQuantity(), 6);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
        {
            TexturePtr tile = billboard.getTile(c, r)->getTexture();
            EXPECT_EQ(tile->getFormat(), PixelFormat::RGBA4444);
            EXPECT_EQ(tile->getWidth(), 128);
            for (int y = 0; y < 128; ++y)
                for (int x = 0; x < 128; ++x)
                {
                    const int px = c * 128 + x, py = r * 128 + y;
                    // Texels beyond the picture are transparent.
                    const Colour expected = px < 300 && py < 200 ? source->getPixel(px, py) : Colour(0, 0, 0, 0);
                    ASSERT_EQ(tile->getPixel(x, y), expected) << px << "," << py;
                }
        }
    // Each tile owns its pixels.
    source->setPixel(Colour(0, 0, 0, 0), 0, 0);
    EXPECT_NE(billboard.getTile(0, 0)->getTexture()->getPixel(0, 0), Colour(0, 0, 0, 0));
}

TEST(TiledBillboardTest, SettingAPictureAgainReplacesEveryTile)
{
    TiledBillboard billboard(picture(640, 480), 128);
    TriangleMeshPtr old = billboard.getTile(0, 0);
    billboard.setTexture(picture(200, 100), 64);
    EXPECT_EQ(std::make_pair(4, 2), std::make_pair(billboard.getColumns(), billboard.getRows()));
    EXPECT_EQ(old->parent, nullptr);
    EXPECT_EQ(billboard.getPosition(), at(100, 50));

    // Palette pictures get tiles that can be drawn.
    TexturePtr indexed(new Texture(10, 10, PixelFormat::Palette8, true, 0));
    indexed->setPaletteEntry(Colour(10, 20, 30, 255), 0);
    billboard.setTexture(indexed, 128);
    EXPECT_EQ(billboard.getTile(0, 0)->getTexture()->getFormat(), PixelFormat::RGBA8888);
    EXPECT_EQ(billboard.getTile(0, 0)->getTexture()->getPixel(9, 9), Colour(10, 20, 30, 255));
    EXPECT_EQ(billboard.getTile(0, 0)->getTexture()->getPixel(10, 10), Colour(0, 0, 0, 0));

    TiledBillboard later;
    EXPECT_EQ(later.getChildQuantity(), 0);
    later.setTexture(picture(1, 1), 128);
    EXPECT_EQ(later.getChildQuantity(), 1);
}
