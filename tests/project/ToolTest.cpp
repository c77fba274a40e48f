#include "DrawingTestSupport.h"

#include "Resources/Brush.h"
#include "Resources/Canvas.h"
#include "Resources/Eraser.h"
#include "Resources/Zoom.h"

#include <gtest/gtest.h>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// Opaque white as an RGBA5551 pixel reads back: channels keep their top five bits.
const Colour White(248, 248, 248, 255);
const Colour Black(0, 0, 0, 255);

// The bounding box of the pixels that differ from white.
struct Box
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Box paintedBox(const Layer& layer)
{
    Box box;
    for (int y = 0; y < layer.getHeight(); ++y)
        for (int x = 0; x < layer.getWidth(); ++x)
            if (layer.getPixel(x, y) != White)
            {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

TexturePtr fullMask(int size) { return TexturePtr(new Texture(size, size, PixelFormat::RGBA8888, true, 255)); }
}

TEST(ToolTest, Defaults)
{
    Brush brush;
    EXPECT_EQ(brush.getForegroundColor(), Black);
    EXPECT_EQ(brush.getBackgroundColor(), Colour(255, 255, 255, 255));
    EXPECT_TRUE(brush.getRepeatWhileDragged());
    EXPECT_FALSE(Zoom(ZoomToolState::ZoomIn).getRepeatWhileDragged());
    EXPECT_EQ(Zoom(ZoomToolState::ZoomOut).getState(), ZoomToolState::ZoomOut);
    EXPECT_EQ(brush.getType().getName(), "Tovrane.Brush");
    EXPECT_TRUE(Eraser().getType().isDerived(Brush::RuntimeType));
    EXPECT_EQ(static_cast<int>(Brush::MaxBrushSize), 32);
}

TEST(ToolTest, DabsAreCentredOnTheTouchedPixel)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    ToolPtr brush16(new Brush(fullMask(16), makeSolidPattern(64, 64)));
    canvas->useToolAt(brush16, tFixed(100), tFixed(100));
    Box box = paintedBox(*canvas->getLayer());
    EXPECT_EQ(box.left, 92);
    EXPECT_EQ(box.top, 92);
    EXPECT_EQ(box.right, 107);
    EXPECT_EQ(box.bottom, 107);

    CanvasPtr small(new Canvas(320, 240, false, 128));
    small->useToolAt(ToolPtr(new Brush(fullMask(8), makeSolidPattern(64, 64))), tFixed(5), tFixed(5));
    box = paintedBox(*small->getLayer());
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 1);
    EXPECT_EQ(box.right, 8);

    // A 32-pixel dab at (0, 0): only the lower-right quarter lands, and the
    // pattern is read from its own (0, 0) there.
    CanvasPtr corner(new Canvas(320, 240, false, 128));
    TexturePtr pattern = makeStripePattern(64, 64);
    corner->useToolAt(ToolPtr(new Brush(fullMask(32), pattern)), tFixed(0), tFixed(0));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(corner->getLayer()->getPixel(x, y),
                      x < 16 && y < 16 ? as5551(pattern->getPaletteEntry(pattern->getPaletteIndex(x, y))) : White);
}

TEST(ToolTest, PatternsStayFixedToThePicture)
{
    // Two overlapping dabs agree wherever both painted: the pattern is
    // anchored to picture pixels, repeating every 32.
    TexturePtr pattern = makeStripePattern(64, 64);
    CanvasPtr a(new Canvas(320, 240, false, 128));
    CanvasPtr b(new Canvas(320, 240, false, 128));
    ToolPtr brush(new Brush(fullMask(32), pattern));
    a->useToolAt(brush, tFixed(100), tFixed(100));
    b->useToolAt(brush, tFixed(107), tFixed(93));
    int compared = 0;
    for (int y = 84; y < 116; ++y)
        for (int x = 84; x < 116; ++x)
        {
            const Colour pa = a->getLayer()->getPixel(x, y), pb = b->getLayer()->getPixel(x, y);
            if (x >= 91 && x < 116 && y >= 84 && y < 109)
            {
                EXPECT_EQ(pa, pb) << x << "," << y;
                ++compared;
            }
            // Dab corner (84, 84), pattern offset (84 % 32, 84 % 32): (x - 64, y - 64).
            EXPECT_EQ(pa, as5551(pattern->getPaletteEntry(pattern->getPaletteIndex(x - 64, y - 64)))) << x << "," << y;
        }
    EXPECT_GT(compared, 0);
}

TEST(ToolTest, ColoursGoToThePatternsPalette)
{
    TexturePtr shared = makeSolidPattern(64, 64);
    Brush first(fullMask(8), shared);
    Brush second(fullMask(8), shared);
    first.setForegroundColor(Colour(200, 10, 10, 255));
    second.setForegroundColor(Colour(10, 200, 10, 255));
    first.setBackgroundColor(Colour(1, 2, 3, 255));
    EXPECT_EQ(first.getPattern()->getPaletteEntry(0), Colour(200, 10, 10, 255));
    EXPECT_EQ(first.getPattern()->getPaletteEntry(1), Colour(1, 2, 3, 255));
    // Each brush has its own palette; the shared picture is untouched.
    EXPECT_EQ(second.getPattern()->getPaletteEntry(0), Colour(10, 200, 10, 255));
    EXPECT_EQ(second.getPattern()->getPaletteEntry(1), Colour(255, 255, 255, 255));
    EXPECT_EQ(shared->getPaletteEntry(0), Black);

    // A pattern without palette keeps its pixels; only the stored colour changes.
    TexturePtr rgba(new Texture(8, 8, PixelFormat::RGBA8888, true, 0));
    Brush plain(TexturePtr(), rgba);
    plain.setForegroundColor(Colour(200, 10, 10, 255));
    plain.setBackgroundColor(Colour(200, 10, 10, 255));
    EXPECT_EQ(plain.getForegroundColor(), Colour(200, 10, 10, 255));
    EXPECT_EQ(rgba->getPixel(0, 0), Colour(0, 0, 0, 0));
    EXPECT_EQ(plain.getPattern(), rgba);
}

TEST(ToolTest, BrushWithoutMaskCopiesTheWholePattern)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    TexturePtr pattern = makeStripePattern(20, 10);
    canvas->useToolAt(ToolPtr(new Brush(TexturePtr(), pattern)), tFixed(50), tFixed(50));
    Box box = paintedBox(*canvas->getLayer());
    EXPECT_EQ(box.left, 40);
    EXPECT_EQ(box.top, 40);
    EXPECT_EQ(box.right, 59);
    EXPECT_EQ(box.bottom, 49);
    // A brush with neither mask nor pattern does nothing.
    canvas->useToolAt(ToolPtr(new Brush()), tFixed(200), tFixed(200));
    EXPECT_EQ(canvas->getLayer()->getPixel(200, 200), White);
}

TEST(ToolTest, ErasersPaintWhiteOrClear)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    canvas->useToolAt(ToolPtr(new Brush(fullMask(16), makeSolidPattern(64, 64))), tFixed(50), tFixed(50));
    EXPECT_EQ(canvas->getLayer()->getPixel(50, 50), Black);

    boost::shared_ptr<Eraser> eraser(new Eraser(fullMask(8), makeStripePattern(64, 64, false)));
    eraser->setForegroundColor(Colour(200, 10, 10, 255));
    canvas->useToolAt(eraser, tFixed(50), tFixed(50));
    for (int y = 46; y < 54; ++y)
        for (int x = 46; x < 54; ++x)
            EXPECT_EQ(canvas->getLayer()->getPixel(x, y), White);

    eraser->setTransparency(true);
    EXPECT_TRUE(eraser->getTransparency());
    eraser->setForegroundColor(Colour(200, 10, 10, 255));
    canvas->useToolAt(eraser, tFixed(60), tFixed(50));
    EXPECT_EQ(canvas->getLayer()->getPixel(60, 50), Colour(0, 0, 0, 0));
    EXPECT_EQ(eraser->getForegroundColor(), Eraser::clear);
    eraser->setTransparency(false);
    EXPECT_EQ(eraser->getBackgroundColor(), Eraser::white);
}
