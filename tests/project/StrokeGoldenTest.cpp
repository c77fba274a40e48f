// Scripted strokes drawn through the canvas and the stroke filter, compared
// pixel for pixel with reviewed pictures in tests/data/drawing/.
#include "DrawingTestSupport.h"

#include "Resources/Brush.h"
#include "Resources/Canvas.h"
#include "Resources/Eraser.h"
#include "Resources/Filter.h"
#include "Resources/Zoom.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
typedef std::vector<std::pair<int, int>> Path;

// A stroke as the studio makes it: begin at the first touch, then the filter
// for every touch point.
void stroke(const CanvasPtr& canvas, Filter& filter, const ToolPtr& tool, const Path& path)
{
    filter.begin(path[0].first, path[0].second);
    for (const auto& p : path)
        filter.useTool(canvas, tool, p.first, p.second);
}

ToolPtr brush(int size, const Colour& colour)
{
    ToolPtr tool(new Brush(makeDiscMask(size), makeStripePattern(64, 64)));
    tool->setForegroundColor(colour);
    return tool;
}

// A wavy path across the screen with jumps of several pixels between touches.
const Path wave = {{20, 40}, {35, 52}, {60, 70}, {90, 75}, {120, 60}, {150, 40}, {175, 35}, {200, 50}, {230, 80}, {250, 95}};
const Path loop = {{40, 120}, {80, 100}, {120, 110}, {140, 150}, {110, 190}, {70, 180}, {60, 150}, {90, 140}};
}

TEST(StrokeGoldenTest, ThreeBrushSizes)
{
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    Filter filter(640, 480);
    stroke(canvas, filter, brush(8, Colour(200, 30, 30, 255)), wave);
    Path lower = wave;
    for (auto& p : lower)
        p.second += 60;
    stroke(canvas, filter, brush(16, Colour(30, 120, 200, 255)), lower);
    for (auto& p : lower)
        p.second += 70;
    stroke(canvas, filter, brush(32, Colour(20, 160, 40, 255)), lower);
    expectGolden(canvas->getLayer()->getTexture(), "strokes_sizes");
}

TEST(StrokeGoldenTest, FourMirrorModes)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CanvasPtr canvas(new Canvas(640, 480, false, 128));
        Filter filter(640, 480);
        filter.setSymmetryType(static_cast<SymmetryType::Type>(mode));
        stroke(canvas, filter, brush(16, Colour(120, 40, 180, 255)), wave);
        stroke(canvas, filter, brush(8, Colour(240, 140, 20, 255)), loop);
        expectGolden(canvas->getLayer()->getTexture(), "strokes_mirror_" + std::to_string(mode));
    }
}

TEST(StrokeGoldenTest, EraserOnWhiteAndOnTransparent)
{
    for (bool transparent : {false, true})
    {
        // A flipbook frame is 320 x 240 and transparent; a picture is white.
        const int w = transparent ? 320 : 640, h = transparent ? 240 : 480;
        CanvasPtr canvas(new Canvas(w, h, transparent, 128));
        Filter filter(w, h);
        stroke(canvas, filter, brush(32, Colour(0, 0, 0, 255)), wave);
        stroke(canvas, filter, brush(16, Colour(250, 200, 0, 255)), loop);
        boost::shared_ptr<Eraser> eraser(new Eraser(makeDiscMask(16), makeStripePattern(64, 64, false)));
        eraser->setTransparency(transparent);
        eraser->setForegroundColor(Colour(255, 0, 0, 255));
        stroke(canvas, filter, eraser, {{30, 20}, {60, 120}, {100, 160}, {180, 30}});
        expectGolden(canvas->getLayer()->getTexture(), transparent ? "eraser_transparent" : "eraser_white");
    }
}

TEST(StrokeGoldenTest, ZoomedStrokes)
{
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    Filter filter(640, 480);
    // Zoom in twice around picture point (400, 300): strokes land at a quarter of their screen size.
    canvas->useToolAt(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), tFixed(400), tFixed(300));
    canvas->useToolAt(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), tFixed(400), tFixed(300));
    ASSERT_EQ(canvas->getZoom(), tFixed(2));
    stroke(canvas, filter, brush(8, Colour(200, 30, 30, 255)), wave);
    stroke(canvas, filter, brush(16, Colour(30, 120, 200, 255)), loop);
    // Back out, and a stroke at zoom 0.5 beside it.
    canvas->useTool(ToolPtr(new Zoom(ZoomToolState::ZoomOut)), 160, 120);
    canvas->useTool(ToolPtr(new Zoom(ZoomToolState::ZoomOut)), 160, 120);
    stroke(canvas, filter, brush(16, Colour(20, 160, 40, 255)), loop);
    expectGolden(canvas->getLayer()->getTexture(), "strokes_zoomed");
}

TEST(StrokeGoldenTest, UndoTakesBackTheLastStroke)
{
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    Filter filter(640, 480);
    canvas->pushUndo();
    stroke(canvas, filter, brush(16, Colour(30, 120, 200, 255)), wave);
    const std::vector<std::uint16_t> afterFirst = pixels16(*canvas->getLayer());
    canvas->pushUndo();
    stroke(canvas, filter, brush(32, Colour(200, 30, 30, 255)), loop);
    const std::vector<std::uint16_t> afterSecond = pixels16(*canvas->getLayer());
    canvas->undo();
    EXPECT_EQ(pixels16(*canvas->getLayer()), afterFirst);
    expectGolden(canvas->getLayer()->getTexture(), "strokes_undo");
    canvas->redo();
    EXPECT_EQ(pixels16(*canvas->getLayer()), afterSecond);
}
