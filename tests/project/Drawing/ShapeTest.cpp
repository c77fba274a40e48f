#include "DrawingTestSupport.h"

#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Shape.h"
#include "Tovrane/VertexBuffer.h"

#include <cmath>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// The outline's vertices as "(x, y)" texts with two decimals.
std::vector<std::string> vertices(const LinePtr& line)
{
    std::vector<std::string> out;
    const tFixed* p = line->vertexBuffer->getPositions();
    char text[40];
    for (int i = 0; i < line->vertexBuffer->getVertexCount(); ++i)
    {
        std::snprintf(text, sizeof text, "(%.2f, %.2f)", p[3 * i].toFloat() + 0.0, p[3 * i + 1].toFloat() + 0.0);
        out.push_back(text);
    }
    return out;
}

std::vector<std::string> dragged(ShapeType::Type type, int x0, int y0, int x1, int y1)
{
    Shape shape(type);
    shape.update(tFixed(x0), tFixed(y0));
    shape.update(tFixed(x1), tFixed(y1));
    return vertices(shape.getOutline());
}

typedef std::vector<std::string> Texts;
}

TEST(ShapeTest, LineRectangleAndTriangleVertices)
{
    EXPECT_EQ(dragged(ShapeType::Line, 1, 2, 3, 4), (Texts{"(1.00, 2.00)", "(3.00, 4.00)"}));
    EXPECT_EQ(dragged(ShapeType::Rectangle, 10, 20, 50, 80),
              (Texts{"(10.00, 20.00)", "(50.00, 20.00)", "(50.00, 20.00)", "(50.00, 80.00)", "(50.00, 80.00)",
                     "(10.00, 80.00)", "(10.00, 80.00)", "(10.00, 20.00)"}));
    EXPECT_EQ(dragged(ShapeType::Triangle, 100, 100, 200, 300),
              (Texts{"(150.00, 100.00)", "(100.00, 300.00)", "(100.00, 300.00)", "(200.00, 300.00)",
                     "(200.00, 300.00)", "(150.00, 100.00)"}));
    // The opposite drag points down; unknown shape types make triangles.
    const Texts down = dragged(ShapeType::Triangle, 200, 300, 100, 100);
    EXPECT_EQ((Texts{down[0], down[1], down[3]}), (Texts{"(150.00, 300.00)", "(200.00, 100.00)", "(100.00, 100.00)"}));
    EXPECT_EQ(dragged(static_cast<ShapeType::Type>(9), 0, 0, 10, 10).size(), 6u);
}

TEST(ShapeTest, EllipseAndStarVertices)
{
    const Texts ellipse = dragged(ShapeType::Circle, 0, 0, 100, 50);
    ASSERT_EQ(ellipse.size(), 720u);
    // P(0)-P(1), P(1)-P(2), then steps of two degrees: vertex 2k repeats vertex 2k - 1.
    for (int i = 2; i < 720; i += 2)
        EXPECT_EQ(ellipse[i], ellipse[i - 1]);
    // y downwards: at 90 degrees the point is at the top of the box; P(360) is P(0) again.
    EXPECT_EQ((Texts{ellipse[0], ellipse[91], ellipse[181], ellipse[361]}),
              (Texts{"(100.00, 25.00)", "(50.00, 0.00)", "(0.00, 25.00)", "(100.00, 25.00)"}));
    char last[40];
    std::snprintf(last, sizeof last, "(%.2f, %.2f)", 50 + 50 * std::cos(718 * M_PI / 180),
                  25 - 25 * std::sin(718 * M_PI / 180));
    EXPECT_EQ(ellipse[719], last);
    // A drag up and to the left gives negative radii and the same box.
    EXPECT_EQ(dragged(ShapeType::Circle, 100, 50, 0, 0)[0], "(0.00, 25.00)");

    const Texts star = dragged(ShapeType::Star, 0, 0, 100, 100);
    ASSERT_EQ(star.size(), 20u);
    for (int i = 1; i < 19; i += 2)
        EXPECT_EQ(star[i], star[i + 1]);
    EXPECT_EQ((Texts{star[0], star[1], star[3], star[7], star[9], star[11], star[15], star[19]}),
              (Texts{"(50.00, 0.00)", "(38.19, 38.19)", "(0.00, 38.19)", "(19.01, 100.00)", "(50.00, 76.39)",
                     "(80.99, 100.00)", "(100.00, 38.19)", "(50.00, 0.00)"}));
}

TEST(ShapeTest, ADragThatNeverMoves)
{
    for (ShapeType::Type type : {ShapeType::Rectangle, ShapeType::Circle, ShapeType::Star})
    {
        Shape shape(type);
        shape.update(tFixed(30), tFixed(40));
        for (const std::string& vertex : vertices(shape.getOutline()))
            ASSERT_EQ(vertex, "(30.00, 40.00)") << type;
    }
}

TEST(ShapeTest, TheOutlineIsDrawnWhenTheFingerLifts)
{
    ShapePtr tool(new Shape(ShapeType::Rectangle));
    EXPECT_TRUE(tool->getRepeatWhileDragged());
    tool->setForegroundColor(Colour(0, 128, 255, 255));
    tool->update(tFixed(10), tFixed(10));
    tool->update(tFixed(60), tFixed(40));
    // Every vertex of the preview carries the colour (1.0 full).
    EXPECT_EQ(tool->getOutline()->vertexBuffer->getColors()[4 * 7 + 1].getRaw(), 32896);
    // Lifting the finger elsewhere draws the last outline, in the byte colour, and drops it.
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    canvas->useTool(tool, 300, 200);
    EXPECT_FALSE(tool->getOutline());
    EXPECT_EQ(canvas->getLayer()->getPixel(30, 10), Colour(0, 128, 248, 255));
    EXPECT_EQ(canvas->getLayer()->getPixel(300, 200), White);
    // The next update begins a new shape; use without an outline draws nothing.
    tool->update(tFixed(100), tFixed(100));
    EXPECT_EQ(tool->getStartPoint(), point(100, 100));
    const std::vector<std::uint16_t> before = pixels16(*canvas->getLayer());
    Shape(ShapeType::Star).use(canvas.get(), 0, 0);
    EXPECT_EQ(pixels16(*canvas->getLayer()), before);
    // A shape whose colour was never set draws black; a two-vertex line draws one line.
    ShapePtr line(new Shape(ShapeType::Line));
    line->update(tFixed(200), tFixed(150));
    line->update(tFixed(250), tFixed(150));
    canvas->useToolAt(line, tFixed(0), tFixed(0));
    EXPECT_EQ(canvas->getLayer()->getPixel(220, 148), Black);
    EXPECT_EQ(canvas->getLayer()->getPixel(220, 152), White);
}
