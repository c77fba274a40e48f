// The canvas drawn through the OpenGL ES 1 renderer into the headless
// 320 x 240 pbuffer: what the child sees must be the picture at the canvas's
// zoom and pan.
#include "GLES1Renderer/RendererFixture.h"
#include "DrawingTestSupport.h"

#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Zoom.h"

#include <cstdlib>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// Whether the pbuffer shows a picture pixel's colour (5-bit channels widened to 8).
bool near(const Rgba& shown, const Colour& picture)
{
    auto expand5 = [](int channel) { return (channel >> 3 << 3) | (channel >> 5); };
    return std::abs(shown.r - expand5(picture.r)) <= 1 && std::abs(shown.g - expand5(picture.g)) <= 1 &&
           std::abs(shown.b - expand5(picture.b)) <= 1;
}

// An opaque picture of random pixels, or of 16 x 16 blocks each of its own colour.
TexturePtr picture(int w, int h, bool random)
{
    TexturePtr out(new Texture(w, h, PixelFormat::RGBA5551, false));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const int bx = x / 16, by = y / 16;
            const int r = random ? std::rand() : bx * 37, g = random ? std::rand() : by * 53;
            const int b = random ? std::rand() : bx * 11 + by * 29;
            out->setPixel(Colour(static_cast<unsigned char>(r % 256), static_cast<unsigned char>(g % 256),
                                 static_cast<unsigned char>(b % 256), 255),
                          x, y);
        }
    return out;
}
}

class CanvasRender : public RendererFixture
{
protected:
    // The screen pixel at (sx, sy) counted from the top, as touches are.
    Rgba screen(int sx, int sy) const { return at(sx, 239 - sy); }
};

// At one to one every screen pixel is its picture pixel, also after a stroke
// and its undo: changed tiles show in the next frame.
TEST_F(CanvasRender, OneToOneEveryScreenPixelIsItsPicturePixelFrameAfterFrame)
{
    std::srand(11);
    CanvasPtr canvas(new Canvas(picture(320, 240, true), 128));
    root->addChild(canvas);
    ToolPtr brush(new Brush(makeFullMask(8), makeSolidPattern(64, 64)));
    brush->setForegroundColor(Colour(0, 0, 255, 255));
    for (int step = 0; step < 3; ++step)
    {
        if (step == 1)
        {
            canvas->pushUndo();
            canvas->useTool(brush, 200, 100);
        }
        if (step == 2)
            canvas->undo();
        frame();
        EXPECT_EQ(step == 1, screen(200, 100) == Rgba(0, 0, 255, 255)) << step;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                ASSERT_TRUE(near(screen(x, y), canvas->getLayer()->getPixel(x, y))) << x << "," << y << " " << step;
    }
}

TEST_F(CanvasRender, ZoomAndPanShowThePictureWhereTheCanvasSays)
{
    CanvasPtr canvas(new Canvas(picture(640, 480, false), 128));
    root->addChild(canvas);
    for (int step = 0; step < 4; ++step)
    {
        if (step == 1 || step == 2)
            canvas->useToolAt(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), tFixed(step == 1 ? 200 : 630),
                              tFixed(step == 1 ? 300 : 10));
        if (step == 3)
            canvas->panBy(-37, 21);
        frame();
        SCOPED_TRACE(testing::Message() << "step " << step);
        // The middle of every screen pixel shows the block under it; pixels
        // near block edges may be blended by the texture filter.
        int checked = 0;
        for (int sy = 0; sy < 240; sy += 3)
            for (int sx = 0; sx < 320; sx += 3)
            {
                tFixed x, y;
                canvas->actualXY(sx, sy, x, y);
                const float half = canvas->getScale().toFloat() / 2, px = x.toFloat() + half, py = y.toFloat() + half;
                const float fx = px - 16 * static_cast<int>(px / 16), fy = py - 16 * static_cast<int>(py / 16);
                if (fx < 2 || fx > 14 || fy < 2 || fy > 14)
                    continue;
                ++checked;
                const Colour shown = canvas->getLayer()->getPixel(static_cast<int>(px), static_cast<int>(py));
                ASSERT_TRUE(near(screen(sx, sy), shown)) << sx << "," << sy;
            }
        EXPECT_GT(checked, 1000);
    }
}
