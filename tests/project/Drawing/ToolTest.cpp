#include "DrawingTestSupport.h"

#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Eraser.h"
#include "Resources/Drawing/Stamp.h"

#include <random>

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

// Random brush and stamp dabs, some over the picture's edges, against the
// plain rule: the image is centred on the touched pixel (half its width up
// and left); a brush paints its pattern where its mask is full, the pattern
// fixed to the picture (read from the dab's corner modulo 32, as far as that
// goes on the left and top); without a mask the whole pattern is copied; a
// stamp paints its nonzero indices in its own colours.
TEST(ToolTest, DabsFollowThePlainRule)
{
    std::mt19937 random(9);
    for (int n = 0; n < 150; ++n)
    {
        CanvasPtr canvas(new Canvas(320, 240, false, 128));
        std::vector<std::uint16_t> expected = pixels16(*canvas->getLayer());
        const int kind = n % 3, size = 8 << (random() % 3);
        TexturePtr image = kind == 2 ? stampImage(size + random() % 9, size) : makeStripePattern(size + n % 7, 40);
        TexturePtr mask = kind == 0 ? makeDiscMask(size) : TexturePtr();
        ToolPtr tool(kind == 2 ? static_cast<Tool*>(new Stamp(image)) : new Brush(mask, image));
        const int x = static_cast<int>(random() % 360) - 20, y = static_cast<int>(random() % 280) - 20;
        canvas->useToolAt(tool, tFixed(x), tFixed(y));
        const int left = x - (mask ? mask : image)->getWidth() / 2, top = y - (mask ? mask : image)->getWidth() / 2;
        const int w = (mask ? mask : image)->getWidth(), h = (mask ? mask : image)->getHeight();
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
            {
                const int pw = image->getWidth(), ph = image->getHeight();
                const int sx = mask ? ((left % 32 + i) % pw + pw) % pw : i;
                const int sy = mask ? ((top % 32 + j) % ph + ph) % ph : j;
                const bool painted = mask ? mask->getPixel(i, j).a == 255 : kind == 1 || image->getPaletteIndex(i, j);
                if (painted && left + i >= 0 && top + j >= 0 && left + i < 320 && top + j < 240)
                    expected[(top + j) * 320 + left + i] = pack5551(patternColour(image, sx, sy));
            }
        ASSERT_TRUE(pixels16(*canvas->getLayer()) == expected) << n << ": " << x << "," << y;
    }
    // Without an image a brush or stamp paints nothing.
    const std::vector<std::uint16_t> blank = pixels16(*used(ToolPtr(new Brush()), 50, 50));
    EXPECT_EQ(blank, pixels16(*used(ToolPtr(new Stamp()), 50, 50)));
    EXPECT_EQ(blank, pixels16(*CanvasPtr(new Canvas(320, 240, false, 128))->getLayer()));
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
    used(ToolPtr(new Brush(makeFullMask(16), makeSolidPattern(64, 64))), 50, 50, canvas);
    boost::shared_ptr<Eraser> eraser(new Eraser(makeFullMask(8), makeStripePattern(64, 64, false)));
    eraser->setForegroundColor(Colour(200, 10, 10, 255));
    used(eraser, 50, 50, canvas);
    for (int y = 40; y < 60; ++y)
        for (int x = 40; x < 60; ++x)
        {
            const bool dab = x >= 42 && x < 58 && y >= 42 && y < 58, erased = x >= 46 && x < 54 && y >= 46 && y < 54;
            ASSERT_EQ(canvas->getLayer()->getPixel(x, y), dab && !erased ? Black : White) << x << "," << y;
        }
    eraser->setTransparency(true);
    eraser->setForegroundColor(Colour(200, 10, 10, 255));
    used(eraser, 60, 50, canvas);
    EXPECT_EQ(canvas->getLayer()->getPixel(60, 50), Clear);
    EXPECT_EQ(eraser->getForegroundColor(), Eraser::clear);
    eraser->setTransparency(false);
    EXPECT_EQ(eraser->getBackgroundColor(), Eraser::white);
}

TEST(StampTest, AStampKeepsItsOwnColoursAndItsImageMakesItsMask)
{
    ToolPtr stamp(new Stamp(stampImage(16, 16)));
    stamp->setForegroundColor(Blue);
    EXPECT_FALSE(stamp->getRepeatWhileDragged());
    LayerPtr layer = used(stamp, 50, 50);
    EXPECT_EQ(layer->getPixel(43, 43), Red);
    EXPECT_EQ(layer->getPixel(44, 43), Colour(0, 248, 0, 255));
    // A new image replaces the mask.
    Stamp replaced(stampImage(16, 16));
    replaced.setStampTexture(stampImage(8, 4));
    EXPECT_EQ(std::make_pair(replaced.getMask()->getWidth(), replaced.getMask()->getHeight()), std::make_pair(8, 4));
}
