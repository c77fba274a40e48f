#include "DrawingTestSupport.h"

#include "Resources/Canvas.h"
#include "Resources/Stamp.h"

#include <gtest/gtest.h>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
const Colour White(248, 248, 248, 255);

// A w x h stamp: index 0 around the edge, 1 (red) and 2 (green) inside.
TexturePtr stampImage(int w, int h)
{
    TexturePtr image(new Texture(w, h, PixelFormat::Palette8, true, 0));
    image->setPaletteEntry(Colour(255, 255, 255, 255), 0);
    image->setPaletteEntry(Colour(248, 0, 0, 255), 1);
    image->setPaletteEntry(Colour(0, 248, 0, 255), 2);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            image->setPixel((x + y) % 2 + 1, x, y);
    return image;
}

// Where the stamp went: the top-left of the painted pixels, one inside the image's corner.
std::pair<int, int> placed(const Layer& layer)
{
    for (int y = 0; y < layer.getHeight(); ++y)
        for (int x = 0; x < layer.getWidth(); ++x)
            if (layer.getPixel(x, y) != White)
                return {x - 1, y - 1};
    return {-1000, -1000};
}
}

TEST(StampTest, StampsAreCentredByHalfTheirWidth)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    canvas->useToolAt(ToolPtr(new Stamp(stampImage(64, 64))), tFixed(100), tFixed(80));
    EXPECT_EQ(placed(*canvas->getLayer()), std::make_pair(68, 48));

    // The vertical offset is also half the width.
    CanvasPtr wide(new Canvas(320, 240, false, 128));
    wide->useToolAt(ToolPtr(new Stamp(stampImage(40, 20))), tFixed(100), tFixed(100));
    EXPECT_EQ(placed(*wide->getLayer()), std::make_pair(80, 80));

    // Parts that fall off the picture are clipped.
    CanvasPtr corner(new Canvas(320, 240, false, 128));
    TexturePtr image = stampImage(31, 31);
    corner->useToolAt(ToolPtr(new Stamp(image)), tFixed(10), tFixed(10));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
        {
            const int ix = x + 5, iy = y + 5;
            const Colour expected = ix < 30 && iy < 30 ? as5551(image->getPaletteEntry(image->getPaletteIndex(ix, iy))) : White;
            ASSERT_EQ(corner->getLayer()->getPixel(x, y), expected) << x << "," << y;
        }
}

TEST(StampTest, OnlyNonZeroIndicesArePaintedInTheStampsOwnColours)
{
    TexturePtr image = stampImage(16, 16);
    Stamp stamp(image);
    EXPECT_FALSE(stamp.getRepeatWhileDragged());
    ASSERT_TRUE(stamp.getMask());
    EXPECT_EQ(stamp.getMask()->getFormat(), PixelFormat::RGBA8888);
    EXPECT_EQ(stamp.getMask()->getPixel(0, 0), Colour(0, 0, 0, 0));
    EXPECT_EQ(stamp.getMask()->getPixel(3, 3), Colour(0, 0, 0, 255));

    CanvasPtr canvas(new Canvas(100, 100, false, 128));
    ToolPtr tool(new Stamp(image));
    tool->setForegroundColor(Colour(0, 0, 255, 255));
    canvas->useToolAt(tool, tFixed(50), tFixed(50));
    EXPECT_EQ(canvas->getLayer()->getPixel(42, 42), White);
    EXPECT_EQ(canvas->getLayer()->getPixel(43, 43), Colour(248, 0, 0, 255));
    EXPECT_EQ(canvas->getLayer()->getPixel(44, 43), Colour(0, 248, 0, 255));

    // A stamp of background only changes nothing; a stamp without image does nothing.
    CanvasPtr blank(new Canvas(100, 100, false, 128));
    const std::vector<std::uint16_t> before = pixels16(*blank->getLayer());
    blank->useToolAt(ToolPtr(new Stamp(TexturePtr(new Texture(20, 20, PixelFormat::Palette8, true, 0)))), tFixed(50),
                     tFixed(50));
    blank->useToolAt(ToolPtr(new Stamp()), tFixed(50), tFixed(50));
    EXPECT_EQ(pixels16(*blank->getLayer()), before);

    // A new image replaces the mask.
    stamp.setStampTexture(stampImage(8, 4));
    EXPECT_EQ(stamp.getMask()->getWidth(), 8);
    EXPECT_EQ(stamp.getMask()->getHeight(), 4);
}
