#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Filter.h"

#include <gtest/gtest.h>

#include <cstring>

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

// The picture points a stroke through the screen points `touches` reaches, on
// a canvas of the given size (320 x 240 shows screen and picture pixels 1:1).
Points stroke(const Points& touches, SymmetryType::Type mode = SymmetryType::None, int w = 320, int h = 240)
{
    CanvasPtr canvas(new Canvas(w, h, w == 320, 128));
    boost::shared_ptr<RecordingTool> tool(new RecordingTool);
    Filter filter(w, h);
    filter.setSymmetryType(mode);
    filter.begin(touches[0].first, touches[0].second);
    for (size_t i = touches.size() > 1 ? 1 : 0; i < touches.size(); ++i)
        filter.useTool(canvas, tool, touches[i].first, touches[i].second);
    return tool->points;
}
}

// The stroke goldens draw what the filter reaches; here the points themselves.
TEST(FilterTest, GapsAreFilledWithBresenhamLines)
{
    EXPECT_EQ(stroke({{0, 0}, {5, 2}}), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    EXPECT_EQ(stroke({{2, 5}, {0, 0}}), (Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}));
    EXPECT_EQ(stroke({{0, 4}, {4, 0}}), (Points{{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}}));
    // Successive touches continue from the last point.
    EXPECT_EQ(stroke({{10, 10}, {10, 10}, {13, 10}, {13, 12}}),
              (Points{{10, 10}, {10, 10}, {11, 10}, {12, 10}, {13, 10}, {13, 10}, {13, 11}, {13, 12}}));
}

// Mirroring works on picture coordinates: at zoom 0.5 on a 640-wide picture,
// screen x 50 is picture x 100, mirrored to 540; x 0 goes to 640. Mode 3
// makes the three mirror images first, the touched point last.
TEST(FilterTest, MirrorModes)
{
    EXPECT_EQ(Filter(640, 480).getSymmetryType(), SymmetryType::None);
    EXPECT_EQ(stroke({{10, 20}}, SymmetryType::Both), (Points{{310, 20}, {10, 220}, {310, 220}, {10, 20}}));
    EXPECT_EQ(stroke({{50, 10}}, SymmetryType::TopBottom, 640, 480), (Points{{100, 460}, {100, 20}}));
    EXPECT_EQ(stroke({{0, 0}}, SymmetryType::LeftRight, 640, 480), (Points{{640, 0}, {0, 0}}));
}

TEST(FilterTest, AnEmptyToolDoesNothing)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    const TexturePtr before = canvas->getLayer()->getTexture();
    Filter filter(320, 240);
    filter.setSymmetryType(SymmetryType::Both);
    filter.begin(10, 10);
    filter.useTool(canvas, ToolPtr(), 50, 40);
    filter.interpolateLine(canvas, ToolPtr(), 60, 40);
    filter.filterTool(canvas, ToolPtr(), 5, 5);
    canvas->useTool(ToolPtr(), 20, 20);
    canvas->useToolAt(ToolPtr(), tFixed(20), tFixed(20));
    const TexturePtr after = canvas->getLayer()->getTexture();
    EXPECT_EQ(std::memcmp(before->getPixels(), after->getPixels(), before->getSize()), 0);
}
