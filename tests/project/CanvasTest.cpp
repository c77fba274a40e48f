#include "DrawingTestSupport.h"

#include "Resources/Brush.h"
#include "Resources/Canvas.h"
#include "Resources/Zoom.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// Records the picture pixels it is used at.
class RecordingTool : public Tool
{
public:
    void use(Canvas*, int x, int y) override { points.push_back({x, y}); }
    std::vector<std::pair<int, int>> points;
};

tFixed fixed(float f) { return tFixed(f); }

void zoomAt(Canvas& canvas, ZoomToolState::Type state, int x, int y)
{
    Zoom zoom(state);
    canvas.useZoom(&zoom, x, y);
}

// A black 16-pixel dab at picture pixel (x, y).
void dab(const CanvasPtr& canvas, int x, int y)
{
    static TexturePtr mask = makeDiscMask(16);
    static TexturePtr pattern = makeSolidPattern(64, 64);
    ToolPtr brush(new Brush(mask, pattern));
    canvas->useToolAt(brush, tFixed(x), tFixed(y));
}
}

TEST(CanvasTest, StartsFullyZoomedOut)
{
    Canvas canvas(640, 480, false, 128);
    EXPECT_EQ(canvas.getZoom(), fixed(0.5f));
    EXPECT_EQ(canvas.getMinZoom(), fixed(0.5f));
    EXPECT_EQ(canvas.getMaxZoom(), tFixed(2));
    EXPECT_EQ(canvas.getScale(), tFixed(2));
    EXPECT_EQ(canvas.getViewWidth(), tFixed(640));
    EXPECT_EQ(canvas.getViewHeight(), tFixed(480));
    EXPECT_EQ(canvas.getPanX(), tFixed(0));
    EXPECT_EQ(canvas.getPanY(), tFixed(0));
    EXPECT_EQ(canvas.getMaxUndo(), 1);
    EXPECT_EQ(canvas.getChild(0), canvas.getLayer());

    boost::shared_ptr<RecordingTool> tool(new RecordingTool);
    canvas.useTool(tool, 100, 50);
    ASSERT_EQ(tool->points.size(), 1u);
    EXPECT_EQ(tool->points[0], std::make_pair(200, 100));

    // The node's transform shows picture row 0 at the top of the screen.
    EXPECT_EQ(canvas.local[0], fixed(0.5f));
    EXPECT_EQ(canvas.local[5], fixed(0.5f));
    EXPECT_EQ(canvas.local[12], tFixed(0));
    EXPECT_EQ(canvas.local[13], tFixed(0));

    Canvas frame(320, 240, true, 128);
    EXPECT_EQ(frame.getZoom(), tFixed(1));
    EXPECT_EQ(frame.getMaxZoom(), tFixed(4));
}

TEST(CanvasTest, ZoomSequences)
{
    Canvas canvas(640, 480, false, 128);
    zoomAt(canvas, ZoomToolState::ZoomIn, 320, 240);
    EXPECT_EQ(canvas.getZoom(), tFixed(1));
    EXPECT_EQ(canvas.getViewWidth(), tFixed(320));
    EXPECT_EQ(canvas.getViewHeight(), tFixed(240));
    EXPECT_EQ(canvas.getPanX(), tFixed(160));
    EXPECT_EQ(canvas.getPanY(), tFixed(120));
    zoomAt(canvas, ZoomToolState::ZoomIn, 320, 240);
    EXPECT_EQ(canvas.getZoom(), tFixed(2));
    EXPECT_EQ(canvas.getViewWidth(), tFixed(160));
    EXPECT_EQ(canvas.getViewHeight(), tFixed(120));
    EXPECT_EQ(canvas.getPanX(), tFixed(240));
    EXPECT_EQ(canvas.getPanY(), tFixed(180));
    // At the maximum nothing changes, not even the pan.
    zoomAt(canvas, ZoomToolState::ZoomIn, 0, 0);
    EXPECT_EQ(canvas.getZoom(), tFixed(2));
    EXPECT_EQ(canvas.getPanX(), tFixed(240));
    EXPECT_EQ(canvas.getPanY(), tFixed(180));
    // The view transform follows: picture point (240, 180) at the screen's top-left.
    EXPECT_EQ(canvas.local[0], tFixed(2));
    EXPECT_EQ(canvas.local[12], tFixed(-480));
    EXPECT_EQ(canvas.local[13], (tFixed(180) + tFixed(120) - tFixed(480)) * tFixed(2));

    zoomAt(canvas, ZoomToolState::ZoomOut, 320, 240);
    zoomAt(canvas, ZoomToolState::ZoomOut, 320, 240);
    EXPECT_EQ(canvas.getZoom(), fixed(0.5f));
    EXPECT_EQ(canvas.getPanX(), tFixed(0));
    zoomAt(canvas, ZoomToolState::ZoomOut, 320, 240);
    EXPECT_EQ(canvas.getZoom(), fixed(0.5f));

    Canvas corner(640, 480, false, 128);
    zoomAt(corner, ZoomToolState::ZoomIn, 10, 10);
    EXPECT_EQ(corner.getPanX(), tFixed(0));
    EXPECT_EQ(corner.getPanY(), tFixed(0));
    zoomAt(corner, ZoomToolState::ZoomIn, 630, 470);
    EXPECT_EQ(corner.getPanX(), tFixed(640) - corner.getViewWidth());
    EXPECT_EQ(corner.getPanY(), tFixed(480) - corner.getViewHeight());
    corner.panBy(-1000, 0);
    EXPECT_EQ(corner.getPanX(), tFixed(0));
    corner.panBy(0, 2);
    EXPECT_EQ(corner.getPanY(), tFixed(480) - corner.getViewHeight());

    // The studio's zoom toggle: in at the screen centre, then out again.
    Canvas toggled(640, 480, false, 128);
    toggled.useTool(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), 160, 120);
    EXPECT_EQ(toggled.getZoom(), tFixed(1));
    EXPECT_EQ(toggled.getPanX(), tFixed(160));
    toggled.useTool(ToolPtr(new Zoom(ZoomToolState::ZoomOut)), 160, 120);
    EXPECT_EQ(toggled.getZoom(), fixed(0.5f));
    EXPECT_EQ(toggled.getPanX(), tFixed(0));
    EXPECT_EQ(toggled.getPanY(), tFixed(0));
}

TEST(CanvasTest, ScreenAndPictureCoordinates)
{
    Canvas canvas(640, 480, false, 128);
    zoomAt(canvas, ZoomToolState::ZoomIn, 320, 240);
    tFixed x, y;
    canvas.actualXY(10, 20, x, y);
    EXPECT_EQ(x, tFixed(170));
    EXPECT_EQ(y, tFixed(140));
    int sx, sy;
    canvas.screenXY(170, 140, sx, sy);
    EXPECT_EQ(sx, 10);
    EXPECT_EQ(sy, 20);
    canvas.screenXY(100, 100, sx, sy);
    EXPECT_EQ(sx, -60);
    EXPECT_EQ(sy, -20);
}

TEST(CanvasTest, EveryPictureSizeKeepsTheViewInsideThePicture)
{
    std::vector<std::pair<int, int>> sizes;
    for (int s = 100; s <= 1100; ++s)
        sizes.push_back({s, s});
    for (int w = 100; w <= 1100; w += 41)
        for (int h = 100; h <= 1100; h += 43)
            sizes.push_back({w, h});
    sizes.push_back({400, 300});
    sizes.push_back({1100, 100});
    sizes.push_back({100, 1100});

    TexturePtr picture;
    for (const auto& size : sizes)
    {
        const int w = size.first, h = size.second;
        picture.reset(new Texture(w, h, PixelFormat::RGBA5551, false));
        Canvas canvas(picture, 128);
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const tFixed a = tFixed::fromRaw(tFixed(320).getRaw() / w);
        const tFixed b = tFixed::fromRaw(tFixed(240).getRaw() / h);
        ASSERT_EQ(canvas.getMinZoom(), a > b ? a : b);
        for (int level = 0; level < 3; ++level)
        {
            for (const auto& pan : {std::make_pair(0, 0), std::make_pair(w, h), std::make_pair(w / 2, h / 3)})
            {
                canvas.panTo(tFixed(pan.first), tFixed(pan.second));
                ASSERT_GE(canvas.getPanX().getRaw(), 0);
                ASSERT_GE(canvas.getPanY().getRaw(), 0);
                tFixed x, y;
                for (const auto& corner : {std::make_pair(0, 0), std::make_pair(319, 239)})
                {
                    canvas.actualXY(corner.first, corner.second, x, y);
                    ASSERT_GE(x.getRaw() >> 16, 0);
                    ASSERT_LT(x.getRaw() >> 16, w);
                    ASSERT_GE(y.getRaw() >> 16, 0);
                    ASSERT_LT(y.getRaw() >> 16, h);
                }
            }
            zoomAt(canvas, ZoomToolState::ZoomIn, w - 1, h - 1);
            ASSERT_GE(canvas.getPanX().getRaw(), 0);
            ASSERT_GE(canvas.getPanY().getRaw(), 0);
        }
        ASSERT_EQ(canvas.getZoom(), canvas.getMaxZoom());
    }
}

TEST(CanvasTest, UndoAndRedo)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    const Colour white(248, 248, 248, 255), black(0, 0, 0, 255);
    canvas->undo();
    canvas->redo();
    EXPECT_EQ(canvas->getUndoCount(), 0);

    canvas->pushUndo();
    dab(canvas, 50, 50);
    EXPECT_EQ(canvas->getLayer()->getPixel(50, 50), black);
    canvas->undo();
    EXPECT_EQ(canvas->getLayer()->getPixel(50, 50), white);
    EXPECT_EQ(canvas->getChild(0), canvas->getLayer());
    canvas->undo();
    EXPECT_EQ(canvas->getLayer()->getPixel(50, 50), white);
    canvas->redo();
    EXPECT_EQ(canvas->getLayer()->getPixel(50, 50), black);
    EXPECT_EQ(canvas->getChild(0), canvas->getLayer());
    EXPECT_EQ(canvas->getUndoCount(), 1);
    EXPECT_EQ(canvas->getRedoCount(), 0);

    // Two pushes with the limit of one: undo goes back to the second.
    canvas->pushUndo();
    dab(canvas, 100, 100);
    canvas->pushUndo();
    dab(canvas, 150, 150);
    EXPECT_EQ(canvas->getUndoCount(), 1);
    canvas->undo();
    EXPECT_EQ(canvas->getLayer()->getPixel(100, 100), black);
    EXPECT_EQ(canvas->getLayer()->getPixel(150, 150), white);
    // A new push forgets what could be redone.
    canvas->pushUndo();
    EXPECT_EQ(canvas->getRedoCount(), 0);

    // Zoom and pan stay through undo.
    zoomAt(*canvas, ZoomToolState::ZoomIn, 300, 200);
    const tFixed panX = canvas->getPanX();
    canvas->undo();
    EXPECT_EQ(canvas->getZoom(), tFixed(2));
    EXPECT_EQ(canvas->getPanX(), panX);

    // A new picture empties both lists and resets the view.
    canvas->pushUndo();
    canvas->setTexture(TexturePtr(new Texture(640, 480, PixelFormat::RGBA5551, true, 0xFF)), 128);
    EXPECT_EQ(canvas->getUndoCount(), 0);
    EXPECT_EQ(canvas->getZoom(), fixed(0.5f));
    EXPECT_EQ(canvas->getLayer()->getWidth(), 640);
    EXPECT_EQ(canvas->getChild(0), canvas->getLayer());
    canvas->undo();
    EXPECT_EQ(canvas->getLayer()->getWidth(), 640);
}

TEST(CanvasTest, UndoLimits)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    const Colour white(248, 248, 248, 255), black(0, 0, 0, 255);
    canvas->setMaxUndo(3);
    for (int i = 0; i < 5; ++i)
    {
        canvas->pushUndo();
        dab(canvas, 20 + 40 * i, 100);
    }
    EXPECT_EQ(canvas->getUndoCount(), 3);
    canvas->undo();
    canvas->undo();
    canvas->undo();
    EXPECT_EQ(canvas->getUndoCount(), 0);
    EXPECT_EQ(canvas->getRedoCount(), 3);
    // Strokes 0 and 1 stay; 2 to 4 are undone.
    EXPECT_EQ(canvas->getLayer()->getPixel(60, 100), black);
    EXPECT_EQ(canvas->getLayer()->getPixel(100, 100), white);
    canvas->undo();
    EXPECT_EQ(canvas->getLayer()->getPixel(60, 100), black);
    canvas->redo();
    canvas->redo();
    EXPECT_EQ(canvas->getLayer()->getPixel(140, 100), black);
    EXPECT_EQ(canvas->getLayer()->getPixel(180, 100), white);

    // Lowering the limit drops the oldest entries at once.
    canvas->setMaxUndo(1);
    EXPECT_EQ(canvas->getUndoCount(), 1);
    canvas->setMaxUndo(0);
    canvas->pushUndo();
    EXPECT_EQ(canvas->getUndoCount(), 0);
    dab(canvas, 300, 200);
    canvas->undo();
    EXPECT_EQ(canvas->getLayer()->getPixel(300, 200), black);
    canvas->setMaxUndo(-4);
    EXPECT_EQ(canvas->getMaxUndo(), 0);
    canvas->clearUndo();
    EXPECT_EQ(canvas->getRedoCount(), 0);
}

TEST(CanvasTest, TilesTouchedByDabsAreUploadedAlone)
{
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    CountingRenderer renderer;
    EXPECT_EQ(renderer.frame(canvas), 20);
    EXPECT_EQ(renderer.frame(canvas), 0);
    dab(canvas, 64, 64);
    EXPECT_EQ(renderer.frame(canvas), 1);
    dab(canvas, 256, 256);
    EXPECT_EQ(renderer.frame(canvas), 4);
    EXPECT_EQ(renderer.frame(canvas), 0);
    // Undo shows the saved copy, whose tiles were never uploaded.
    canvas->pushUndo();
    dab(canvas, 64, 300);
    canvas->undo();
    EXPECT_EQ(renderer.frame(canvas), 20);
}
