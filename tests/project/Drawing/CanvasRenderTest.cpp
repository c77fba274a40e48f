// The canvas drawn through the OpenGL ES 1 renderer into the headless pbuffer.
#include "GLES1Renderer/RendererFixture.h"
#include "DrawingTestSupport.h"

using namespace DrawingTest;

using CanvasRender = RendererFixture;

// At one to one every screen pixel, also after a stroke and its undo; zoomed
// and panned, pixels away from the edges of the 16 x 16 blocks (the texture
// filter may blend those).
TEST_F(CanvasRender, TheScreenShowsThePictureWhereTheCanvasSays)
{
    TexturePtr blocks(new Texture(640, 480, PixelFormat::RGBA5551, false));
    for (int i = 0; i < 640 * 480; ++i)
    {
        const int bx = i % 640 / 16, by = i / 640 / 16;
        blocks->setPixel(Colour(bx * 37, by * 53, bx * 11 + by * 29, 255), i % 640, i / 640);
    }
    CanvasPtr canvas(new Canvas(blocks, 128));
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
        EXPECT_EQ(step == 2, at(200, 139) == Rgba(0, 0, 255, 255));
        const bool oneToOne = canvas->getZoom() == tFixed(1);
        int checked = 0;
        for (int i = 0; i < 320 * 240; ++i)
        {
            tFixed x, y;
            canvas->actualXY(i % 320, i / 320, x, y);
            const float half = canvas->getScale().toFloat() / 2, px = x.toFloat() + half, py = y.toFloat() + half;
            const float fx = px - 16 * static_cast<int>(px / 16), fy = py - 16 * static_cast<int>(py / 16);
            if (!oneToOne && (fx < 2 || fx > 14 || fy < 2 || fy > 14))
                continue;
            ++checked;
            // The screen's rows count from the bottom; 5-bit channels are widened to 8.
            const Colour picture = canvas->getLayer()->getPixel(static_cast<int>(px), static_cast<int>(py));
            const Rgba shown = at(i % 320, 239 - i / 320);
            auto near = [](int shown, int channel) {
                return std::abs(shown - ((channel >> 3 << 3) | (channel >> 5))) <= 1;
            };
            ASSERT_TRUE(near(shown.r, picture.r) && near(shown.g, picture.g) && near(shown.b, picture.b)) << i;
        }
        EXPECT_GT(checked, oneToOne ? 76799 : 10000);
    }
}
