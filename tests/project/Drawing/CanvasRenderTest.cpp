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

// An opaque picture of 16 x 16 blocks, each of its own colour and unlike its neighbours.
TexturePtr blocks(int w, int h)
{
    TexturePtr out(new Texture(w, h, PixelFormat::RGBA5551, false));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out->setPixel(Colour(static_cast<unsigned char>(x / 16 * 37), static_cast<unsigned char>(y / 16 * 53),
                                 static_cast<unsigned char>(x / 16 * 11 + y / 16 * 29), 255),
                          x, y);
    return out;
}
}

class CanvasRender : public RendererFixture
{
protected:
    // The screen pixel at (sx, sy) counted from the top, as touches are.
    Rgba screen(int sx, int sy) const { return at(sx, 239 - sy); }
};

// The screen shows the picture where the canvas says, frame after frame: at
// one to one every screen pixel is its picture pixel, also after a stroke and
// its undo (changed tiles show in the next frame); zoomed out, zoomed in and
// panned, the middle of every screen pixel shows the block under it (pixels
// near block edges may be blended by the texture filter).
TEST_F(CanvasRender, TheScreenShowsThePictureWhereTheCanvasSays)
{
    CanvasPtr canvas(new Canvas(blocks(640, 480), 128));
    root->addChild(canvas);
    ToolPtr brush(new Brush(makeFullMask(8), makeSolidPattern(64, 64)));
    brush->setForegroundColor(Colour(0, 0, 255, 255));
    for (int step = 0; step < 6; ++step)
    {
        if (step == 1 || step == 4)
            canvas->useToolAt(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), tFixed(step == 1 ? 200 : 630),
                              tFixed(step == 1 ? 300 : 10));
        if (step == 2)
        {
            canvas->pushUndo();
            canvas->useTool(brush, 200, 100);
        }
        if (step == 3)
            canvas->undo();
        if (step == 5)
            canvas->panBy(-37, 21);
        frame();
        SCOPED_TRACE(testing::Message() << "step " << step);
        EXPECT_EQ(step == 2, screen(200, 100) == Rgba(0, 0, 255, 255));
        const bool oneToOne = canvas->getZoom() == tFixed(1);
        int checked = 0;
        for (int sy = 0; sy < 240; ++sy)
            for (int sx = 0; sx < 320; ++sx)
            {
                tFixed x, y;
                canvas->actualXY(sx, sy, x, y);
                const float half = canvas->getScale().toFloat() / 2, px = x.toFloat() + half, py = y.toFloat() + half;
                const float fx = px - 16 * static_cast<int>(px / 16), fy = py - 16 * static_cast<int>(py / 16);
                if (!oneToOne && (fx < 2 || fx > 14 || fy < 2 || fy > 14))
                    continue;
                ++checked;
                const Colour shown = canvas->getLayer()->getPixel(static_cast<int>(px), static_cast<int>(py));
                ASSERT_TRUE(near(screen(sx, sy), shown)) << sx << "," << sy;
            }
        EXPECT_GT(checked, oneToOne ? 76799 : 10000);
    }
}
