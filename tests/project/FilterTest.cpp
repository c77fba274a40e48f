#include "Resources/Canvas.h"
#include "Resources/Filter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Tovrane;

namespace
{
typedef std::vector<std::pair<int, int>> Points;

class RecordingTool : public Tool
{
public:
    void use(Canvas*, int x, int y) override { points.push_back({x, y}); }
    Points points;
};

// A stroke from one screen point to another on a canvas whose screen and
// picture pixels coincide (320 x 240 at zoom 1).
Points stroke(int x0, int y0, int x1, int y1, SymmetryType::Type mode = SymmetryType::None)
{
    CanvasPtr canvas(new Canvas(320, 240, true, 128));
    boost::shared_ptr<RecordingTool> tool(new RecordingTool);
    Filter filter(320, 240);
    filter.setSymmetryType(mode);
    filter.begin(x0, y0);
    filter.useTool(canvas, tool, x1, y1);
    return tool->points;
}
}

TEST(FilterTest, GapsAreFilledWithBresenhamLines)
{
    EXPECT_EQ(stroke(0, 0, 5, 2), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    EXPECT_EQ(stroke(0, 0, 2, 5), (Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}));
    // Backwards: the ends are swapped, so the same points come in increasing x.
    EXPECT_EQ(stroke(5, 2, 0, 0), stroke(0, 0, 5, 2));
    EXPECT_EQ(stroke(2, 5, 0, 0), stroke(0, 0, 2, 5));
    // Equal steps on both axes are not steep.
    EXPECT_EQ(stroke(3, 3, 0, 0), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(stroke(10, 10, 10, 10), (Points{{10, 10}}));
    // Falling lines step the minor axis downwards.
    EXPECT_EQ(stroke(0, 4, 4, 0), (Points{{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}}));
    EXPECT_EQ(stroke(0, 9, 3, 0).size(), 10u);
}

TEST(FilterTest, SuccessiveTouchesContinueFromTheLastPoint)
{
    CanvasPtr canvas(new Canvas(320, 240, true, 128));
    boost::shared_ptr<RecordingTool> tool(new RecordingTool);
    Filter filter(320, 240);
    filter.begin(10, 10);
    filter.useTool(canvas, tool, 10, 10);
    filter.useTool(canvas, tool, 13, 10);
    filter.useTool(canvas, tool, 13, 12);
    EXPECT_EQ(tool->points, (Points{{10, 10}, {10, 10}, {11, 10}, {12, 10}, {13, 10}, {13, 10}, {13, 11}, {13, 12}}));
}

TEST(FilterTest, MirrorModes)
{
    EXPECT_EQ(stroke(10, 20, 10, 20, SymmetryType::None), (Points{{10, 20}}));
    EXPECT_EQ(stroke(10, 20, 10, 20, SymmetryType::LeftRight), (Points{{310, 20}, {10, 20}}));
    EXPECT_EQ(stroke(10, 20, 10, 20, SymmetryType::TopBottom), (Points{{10, 220}, {10, 20}}));
    // Mode 3: the three mirror images first, the touched point last.
    EXPECT_EQ(stroke(10, 20, 10, 20, SymmetryType::Both), (Points{{310, 20}, {10, 220}, {310, 220}, {10, 20}}));
    EXPECT_EQ(stroke(0, 0, 1, 0, SymmetryType::Both).size(), 8u);

    // Mirroring works on picture coordinates: at zoom 0.5 on a 640-wide
    // picture, screen x 50 is picture x 100, mirrored to 540; x 0 goes to 640.
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    boost::shared_ptr<RecordingTool> tool(new RecordingTool);
    Filter filter(640, 480);
    filter.setSymmetryType(SymmetryType::LeftRight);
    filter.begin(50, 10);
    filter.useTool(canvas, tool, 50, 10);
    filter.begin(0, 0);
    filter.useTool(canvas, tool, 0, 0);
    EXPECT_EQ(tool->points, (Points{{540, 20}, {100, 20}, {640, 0}, {0, 0}}));

    // A new filter starts without symmetry.
    EXPECT_EQ(Filter(640, 480).getSymmetryType(), SymmetryType::None);
}

TEST(FilterTest, StrokesOnAZoomedOutCanvasStepTwoPicturePixels)
{
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    boost::shared_ptr<RecordingTool> tool(new RecordingTool);
    Filter filter(640, 480);
    filter.begin(0, 5);
    filter.useTool(canvas, tool, 3, 5);
    EXPECT_EQ(tool->points, (Points{{0, 10}, {2, 10}, {4, 10}, {6, 10}}));
}
