#include "DrawingTestSupport.h"

#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Eraser.h"
#include "Resources/Drawing/Stamp.h"

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// One use of the tool at picture pixel (x, y) of a blank 320 x 240 picture.
LayerPtr used(const ToolPtr& tool, int x, int y, const CanvasPtr& canvas = CanvasPtr(new Canvas(320, 240, false, 128)))
{
    canvas->useToolAt(tool, tFixed(x), tFixed(y));
    return canvas->getLayer();
}

// The bounding box of the pixels that differ from white, as left, top, right, bottom.
std::vector<int> paintedBox(const LayerPtr& layer)
{
    std::vector<int> box = {1 << 30, 1 << 30, -1, -1};
    for (int y = 0; y < layer->getHeight(); ++y)
        for (int x = 0; x < layer->getWidth(); ++x)
            if (layer->getPixel(x, y) != White)
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    return box;
}

ToolPtr brush(int maskSize, TexturePtr pattern) { return ToolPtr(new Brush(makeFullMask(maskSize), pattern)); }

// A w x h stamp: index 0 around the edge, 1 (red) and 2 (green) inside.
TexturePtr stampImage(int w, int h)
{
    TexturePtr image(new Texture(w, h, PixelFormat::Palette8, true, 0));
    image->setPaletteEntry(Red, 1);
    image->setPaletteEntry(Colour(0, 248, 0, 255), 2);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            image->setPixel((x + y) % 2 + 1, x, y);
    return image;
}
}

TEST(ToolTest, DabsAreCentredOnTheTouchedPixel)
{
    EXPECT_EQ(paintedBox(used(brush(16, makeSolidPattern(64, 64)), 100, 100)), (std::vector<int>{92, 92, 107, 107}));
    EXPECT_EQ(paintedBox(used(brush(8, makeSolidPattern(64, 64)), 5, 5)), (std::vector<int>{1, 1, 8, 8}));
    // Without a mask the whole pattern is copied; with neither nothing is painted.
    EXPECT_EQ(paintedBox(used(ToolPtr(new Brush(TexturePtr(), makeStripePattern(20, 10))), 50, 50)),
              (std::vector<int>{40, 40, 59, 49}));
    EXPECT_EQ(paintedBox(used(ToolPtr(new Brush()), 50, 50)), (std::vector<int>{1 << 30, 1 << 30, -1, -1}));
    // A 32-pixel dab at (0, 0): only the lower-right quarter lands, and the
    // pattern is read from its own (0, 0) there.
    TexturePtr pattern = makeStripePattern(64, 64);
    LayerPtr corner = used(brush(32, pattern), 0, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(corner->getPixel(x, y), x < 16 && y < 16 ? patternColour(pattern, x, y) : White);
}

TEST(ToolTest, PatternsStayFixedToThePicture)
{
    // The pattern is anchored to picture pixels, repeating every 32: a dab with
    // its corner at (84, 84) reads the pattern at (84 % 32, 84 % 32).
    TexturePtr pattern = makeStripePattern(64, 64);
    LayerPtr layer = used(brush(32, pattern), 100, 100);
    for (int y = 84; y < 116; ++y)
        for (int x = 84; x < 116; ++x)
            EXPECT_EQ(layer->getPixel(x, y), patternColour(pattern, x - 64, y - 64)) << x << "," << y;
}

TEST(ToolTest, ColoursGoToEachBrushsOwnPalette)
{
    TexturePtr shared = makeSolidPattern(64, 64);
    Brush first(makeFullMask(8), shared), second(makeFullMask(8), shared);
    first.setForegroundColor(Colour(200, 10, 10, 255));
    second.setForegroundColor(Colour(10, 200, 10, 255));
    first.setBackgroundColor(Colour(1, 2, 3, 255));
    EXPECT_EQ(first.getPattern()->getPaletteEntry(0), Colour(200, 10, 10, 255));
    EXPECT_EQ(first.getPattern()->getPaletteEntry(1), Colour(1, 2, 3, 255));
    EXPECT_EQ(second.getPattern()->getPaletteEntry(0), Colour(10, 200, 10, 255));
    EXPECT_EQ(second.getPattern()->getPaletteEntry(1), Colour(255, 255, 255, 255));
    EXPECT_EQ(shared->getPaletteEntry(0), Black);
    // A pattern without palette keeps its pixels; only the stored colour changes.
    TexturePtr rgba(new Texture(8, 8, PixelFormat::RGBA8888, true, 0));
    Brush plain(TexturePtr(), rgba);
    plain.setForegroundColor(Colour(200, 10, 10, 255));
    plain.setBackgroundColor(Colour(200, 10, 10, 255));
    EXPECT_EQ(plain.getForegroundColor(), Colour(200, 10, 10, 255));
    EXPECT_EQ(rgba->getPixel(0, 0), Clear);
    EXPECT_EQ(plain.getPattern(), rgba);
}

TEST(ToolTest, ErasersPaintWhiteOrClearWhateverTheColour)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    used(brush(16, makeSolidPattern(64, 64)), 50, 50, canvas);
    boost::shared_ptr<Eraser> eraser(new Eraser(makeFullMask(8), makeStripePattern(64, 64, false)));
    eraser->setForegroundColor(Colour(200, 10, 10, 255));
    used(eraser, 50, 50, canvas);
    EXPECT_EQ(paintedBox(canvas->getLayer()), (std::vector<int>{42, 42, 57, 57}));
    for (int y = 46; y < 54; ++y)
        for (int x = 46; x < 54; ++x)
            EXPECT_EQ(canvas->getLayer()->getPixel(x, y), White);
    eraser->setTransparency(true);
    eraser->setForegroundColor(Colour(200, 10, 10, 255));
    used(eraser, 60, 50, canvas);
    EXPECT_EQ(canvas->getLayer()->getPixel(60, 50), Clear);
    EXPECT_EQ(eraser->getForegroundColor(), Eraser::clear);
    eraser->setTransparency(false);
    EXPECT_EQ(eraser->getBackgroundColor(), Eraser::white);
}

TEST(StampTest, StampsAreCentredByHalfTheirWidthAndClipped)
{
    // The image's top-left corner goes half its width up and left; its edge is index 0.
    EXPECT_EQ(paintedBox(used(ToolPtr(new Stamp(stampImage(64, 64))), 100, 80)), (std::vector<int>{69, 49, 130, 110}));
    EXPECT_EQ(paintedBox(used(ToolPtr(new Stamp(stampImage(40, 20))), 100, 100)), (std::vector<int>{81, 81, 118, 98}));
    TexturePtr image = stampImage(31, 31);
    LayerPtr corner = used(ToolPtr(new Stamp(image)), 10, 10);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(corner->getPixel(x, y), x < 25 && y < 25 ? patternColour(image, x + 5, y + 5) : White)
                << x << "," << y;
}

TEST(StampTest, OnlyNonZeroIndicesArePaintedInTheStampsOwnColours)
{
    ToolPtr stamp(new Stamp(stampImage(16, 16)));
    stamp->setForegroundColor(Blue);
    EXPECT_FALSE(stamp->getRepeatWhileDragged());
    LayerPtr layer = used(stamp, 50, 50);
    EXPECT_EQ(layer->getPixel(42, 42), White);
    EXPECT_EQ(layer->getPixel(43, 43), Red);
    EXPECT_EQ(layer->getPixel(44, 43), Colour(0, 248, 0, 255));
    // A stamp of background only changes nothing; a stamp without image does nothing.
    const std::vector<int> nothing = {1 << 30, 1 << 30, -1, -1};
    EXPECT_EQ(
        paintedBox(used(ToolPtr(new Stamp(TexturePtr(new Texture(20, 20, PixelFormat::Palette8, true, 0)))), 50, 50)),
        nothing);
    EXPECT_EQ(paintedBox(used(ToolPtr(new Stamp()), 50, 50)), nothing);
    // A new image replaces the mask.
    Stamp replaced(stampImage(16, 16));
    replaced.setStampTexture(stampImage(8, 4));
    EXPECT_EQ(std::make_pair(replaced.getMask()->getWidth(), replaced.getMask()->getHeight()), std::make_pair(8, 4));
}
