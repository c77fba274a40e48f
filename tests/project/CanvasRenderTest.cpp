// The canvas drawn through the OpenGL ES 1 renderer into the headless
// 320 x 240 pbuffer: what the child sees must be the picture at the canvas's
// zoom and pan.
#include "../GLES1Renderer/RendererFixture.h"
#include "DrawingTestSupport.h"

#include "Resources/Brush.h"
#include "Resources/Canvas.h"
#include "Resources/Zoom.h"

#include <cstdlib>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// A 5-bit channel as the pbuffer shows it.
int expand5(int channel)
{
    const int c = channel >> 3;
    return (c << 3) | (c >> 2);
}

bool near(const Rgba& shown, const Colour& picture)
{
    return std::abs(shown.r - expand5(picture.r)) <= 1 && std::abs(shown.g - expand5(picture.g)) <= 1 &&
           std::abs(shown.b - expand5(picture.b)) <= 1;
}

// Opaque blocks of `block` pixels, each its own colour.
TexturePtr blocks(int w, int h, int block)
{
    TexturePtr picture(new Texture(w, h, PixelFormat::RGBA5551, false));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const int bx = x / block, by = y / block;
            picture->setPixel(Colour(static_cast<unsigned char>((bx * 37) % 256), static_cast<unsigned char>((by * 53) % 256),
                                     static_cast<unsigned char>((bx * 11 + by * 29) % 256), 255),
                              x, y);
        }
    return picture;
}
}

class CanvasRender : public RendererFixture
{
protected:
    // The screen pixel at (sx, sy) counted from the top, as touches are.
    Rgba screen(int sx, int sy) const { return at(sx, 239 - sy); }
};

TEST_F(CanvasRender, OneToOneEveryScreenPixelIsItsPicturePixel)
{
    TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA5551, false));
    std::srand(11);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            picture->setPixel(Colour(static_cast<unsigned char>(std::rand()), static_cast<unsigned char>(std::rand()),
                                     static_cast<unsigned char>(std::rand()), 255),
                              x, y);
    CanvasPtr canvas(new Canvas(picture, 128));
    root->addChild(canvas);
    frame();
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_TRUE(near(screen(x, y), canvas->getLayer()->getPixel(x, y))) << x << "," << y;
}

TEST_F(CanvasRender, ZoomAndPanShowThePictureWhereTheCanvasSays)
{
    CanvasPtr canvas(new Canvas(blocks(640, 480, 16), 128));
    root->addChild(canvas);
    for (int step = 0; step < 4; ++step)
    {
        if (step == 1)
            canvas->useToolAt(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), tFixed(200), tFixed(300));
        if (step == 2)
            canvas->useToolAt(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), tFixed(630), tFixed(10));
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
                const float px = x.toFloat() + canvas->getScale().toFloat() * 0.5f;
                const float py = y.toFloat() + canvas->getScale().toFloat() * 0.5f;
                const float fx = px - 16 * static_cast<int>(px / 16), fy = py - 16 * static_cast<int>(py / 16);
                if (fx < 2 || fx > 14 || fy < 2 || fy > 14)
                    continue;
                ++checked;
                ASSERT_TRUE(near(screen(sx, sy), canvas->getLayer()->getPixel(static_cast<int>(px), static_cast<int>(py))))
                    << sx << "," << sy;
            }
        EXPECT_GT(checked, 1000);
    }
}

TEST_F(CanvasRender, StrokesShowInTheNextFrame)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    root->addChild(canvas);
    frame();
    EXPECT_EQ(screen(200, 100), Rgba(255, 255, 255, 255));
    ToolPtr brush(new Brush(TexturePtr(new Texture(8, 8, PixelFormat::RGBA8888, true, 255)), makeSolidPattern(64, 64)));
    brush->setForegroundColor(Colour(0, 0, 255, 255));
    canvas->useTool(brush, 200, 100);
    frame();
    EXPECT_EQ(screen(200, 100), Rgba(0, 0, 255, 255));
    EXPECT_EQ(screen(196, 96), Rgba(0, 0, 255, 255));
    EXPECT_EQ(screen(204, 100), Rgba(255, 255, 255, 255));
    // Undo shows the saved picture.
    canvas->pushUndo();
    canvas->useTool(brush, 20, 20);
    frame();
    EXPECT_EQ(screen(20, 20), Rgba(0, 0, 255, 255));
    canvas->undo();
    frame();
    EXPECT_EQ(screen(20, 20), Rgba(255, 255, 255, 255));
    EXPECT_EQ(screen(200, 100), Rgba(0, 0, 255, 255));
}
