#include "DrawingTestSupport.h"

#include "Resources/Canvas.h"
#include "Resources/CircleOutline.h"
#include "Resources/RectangleOutline.h"
#include "Resources/Shape.h"
#include "Resources/StarOutline.h"
#include "Resources/TriangleOutline.h"
#include "Tovrane/VertexBuffer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
typedef Vector3<tFixed> Point;

Point at(float x, float y) { return Point(tFixed(x), tFixed(y), tFixed(0)); }

Point vertex(const LinePtr& line, int i)
{
    const tFixed* p = line->vertexBuffer->getPositions();
    return Point(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
}

int vertexCount(const LinePtr& line) { return line->vertexBuffer->getVertexCount(); }

LinePtr drag(ShapeType::Type type, Point from, Point to)
{
    Shape shape(type);
    shape.update(from.x, from.y);
    shape.update(to.x, to.y);
    return shape.getOutline();
}

::testing::AssertionResult near(const Point& p, float x, float y)
{
    if (std::fabs(p.x.toFloat() - x) < 0.001f && std::fabs(p.y.toFloat() - y) < 0.001f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.x.toFloat() << ", " << p.y.toFloat() << ") is not (" << x << ", "
                                         << y << ")";
}
}

TEST(ShapeTest, RectangleAndTriangleVertices)
{
    LinePtr rectangle = drag(ShapeType::Rectangle, at(10, 20), at(50, 80));
    ASSERT_EQ(vertexCount(rectangle), 8);
    const Point corners[8] = {at(10, 20), at(50, 20), at(50, 20), at(50, 80), at(50, 80), at(10, 80), at(10, 80), at(10, 20)};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(vertex(rectangle, i), corners[i]) << i;
    EXPECT_EQ(rectangle->getType().getName(), "Tovrane.RectangleOutline");
    EXPECT_TRUE(rectangle->getType().isDerived(Line::RuntimeType));

    LinePtr triangle = drag(ShapeType::Triangle, at(100, 100), at(200, 300));
    ASSERT_EQ(vertexCount(triangle), 6);
    const Point points[6] = {at(150, 100), at(100, 300), at(100, 300), at(200, 300), at(200, 300), at(150, 100)};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(vertex(triangle, i), points[i]) << i;
    // The opposite drag points down.
    LinePtr down = drag(ShapeType::Triangle, at(200, 300), at(100, 100));
    EXPECT_EQ(vertex(down, 0), at(150, 300));
    EXPECT_EQ(vertex(down, 1), at(200, 100));
    EXPECT_EQ(vertex(down, 3), at(100, 100));

    LinePtr line = drag(ShapeType::Line, at(1, 2), at(3, 4));
    ASSERT_EQ(vertexCount(line), 2);
    EXPECT_EQ(vertex(line, 1), at(3, 4));
    // Unknown shape types make triangles.
    EXPECT_EQ(vertexCount(drag(static_cast<ShapeType::Type>(9), at(0, 0), at(10, 10))), 6);
}

TEST(ShapeTest, EllipseVertices)
{
    LinePtr ellipse = drag(ShapeType::Circle, at(0, 0), at(100, 50));
    ASSERT_EQ(vertexCount(ellipse), 720);
    EXPECT_EQ(vertex(ellipse, 0), at(100, 25));
    // P(0)-P(1), P(1)-P(2), then steps of two degrees: vertex 2k repeats vertex 2k - 1.
    for (int i = 2; i < 720; i += 2)
        EXPECT_EQ(vertex(ellipse, i), vertex(ellipse, i - 1));
    EXPECT_TRUE(near(vertex(ellipse, 181), 0, 25)) << "P(180)";
    // y downwards: at 90 degrees the point is at the top of the box.
    EXPECT_TRUE(near(vertex(ellipse, 91), 50, 0)) << "P(90)";
    EXPECT_TRUE(near(vertex(ellipse, 719), 50 + 50 * std::cos(718 * M_PI / 180), 25 - 25 * std::sin(718 * M_PI / 180)));
    // The first lap closes the ellipse: P(360) is P(0) again.
    EXPECT_TRUE(near(vertex(ellipse, 361), 100, 25));
    // A drag up and to the left gives negative radii and the same box.
    LinePtr back = drag(ShapeType::Circle, at(100, 50), at(0, 0));
    EXPECT_EQ(vertex(back, 0), at(0, 25));
}

TEST(ShapeTest, StarVertices)
{
    LinePtr star = drag(ShapeType::Star, at(0, 0), at(100, 100));
    ASSERT_EQ(vertexCount(star), 20);
    EXPECT_EQ(vertex(star, 0), at(50, 0));
    EXPECT_EQ(vertex(star, 19), at(50, 0));
    EXPECT_TRUE(near(vertex(star, 1), 38.19f, 38.19f));
    EXPECT_TRUE(near(vertex(star, 3), 0, 38.19f));
    EXPECT_TRUE(near(vertex(star, 7), 19.01f, 100));
    EXPECT_TRUE(near(vertex(star, 9), 50, 76.39f));
    EXPECT_TRUE(near(vertex(star, 11), 80.99f, 100));
    EXPECT_TRUE(near(vertex(star, 15), 100, 38.19f));
    for (int i = 1; i < 19; i += 2)
        EXPECT_EQ(vertex(star, i), vertex(star, i + 1));
}

TEST(ShapeTest, ADragThatNeverMoves)
{
    Shape rectangle(ShapeType::Rectangle), circle(ShapeType::Circle), star(ShapeType::Star);
    for (Shape* shape : {&rectangle, &circle, &star})
    {
        shape->update(tFixed(30), tFixed(40));
        LinePtr outline = shape->getOutline();
        for (int i = 0; i < vertexCount(outline); ++i)
            ASSERT_EQ(vertex(outline, i), at(30, 40)) << i;
    }
}

TEST(ShapeTest, ColoursAndTheDrawnOutline)
{
    Shape shape(ShapeType::Rectangle);
    EXPECT_TRUE(shape.getRepeatWhileDragged());
    EXPECT_EQ(shape.getOutlineColor(), ColorRGBA<tFixed>(tFixed(0), tFixed(0), tFixed(0), tFixed(0)));
    shape.setForegroundColor(Colour(255, 128, 0, 255));
    EXPECT_EQ(shape.getOutlineColor().r.getRaw(), 65536);
    EXPECT_EQ(shape.getOutlineColor().g.getRaw(), 32896);
    EXPECT_EQ(shape.getOutlineColor().b.getRaw(), 0);
    shape.update(tFixed(10), tFixed(10));
    shape.update(tFixed(60), tFixed(40));
    EXPECT_EQ(shape.getStartPoint(), at(10, 10));
    // The outline carries the colour in every vertex.
    const tFixed* colours = shape.getOutline()->vertexBuffer->getColors();
    EXPECT_EQ(colours[4 * 7 + 1].getRaw(), 32896);

    // Lifting the finger elsewhere draws the last outline, in the byte colour.
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    ShapePtr tool(new Shape(ShapeType::Rectangle));
    tool->setForegroundColor(Colour(0, 0, 255, 255));
    tool->update(tFixed(10), tFixed(10));
    tool->update(tFixed(60), tFixed(40));
    canvas->useTool(tool, 300, 200);
    EXPECT_FALSE(tool->getOutline());
    EXPECT_EQ(canvas->getLayer()->getPixel(30, 10), Colour(0, 0, 248, 255));
    EXPECT_EQ(canvas->getLayer()->getPixel(300, 200), Colour(248, 248, 248, 255));
    // The next update begins a new shape; use without an outline draws nothing.
    tool->update(tFixed(100), tFixed(100));
    EXPECT_EQ(tool->getStartPoint(), at(100, 100));
    const std::vector<std::uint16_t> before = pixels16(*canvas->getLayer());
    Shape(ShapeType::Star).use(canvas.get(), 0, 0);
    EXPECT_EQ(pixels16(*canvas->getLayer()), before);

    // A shape whose colour was never set draws black; a two-vertex line draws one line.
    ShapePtr line(new Shape(ShapeType::Line));
    line->update(tFixed(200), tFixed(150));
    line->update(tFixed(250), tFixed(150));
    canvas->useToolAt(line, tFixed(0), tFixed(0));
    EXPECT_EQ(canvas->getLayer()->getPixel(220, 148), Colour(0, 0, 0, 255));
    EXPECT_EQ(canvas->getLayer()->getPixel(220, 152), Colour(248, 248, 248, 255));
}
