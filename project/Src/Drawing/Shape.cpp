#include "Resources/Drawing/Shape.h"

#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Outlines/CircleOutline.h"
#include "Resources/Drawing/Outlines/RectangleOutline.h"
#include "Resources/Drawing/Outlines/StarOutline.h"
#include "Resources/Drawing/Outlines/TriangleOutline.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Shape, Tool);

namespace
{
tFixed channel(unsigned char c) { return tFixed::fromRaw(static_cast<int>(static_cast<float>(c) / 255.0f * 65536.0f)); }
}

Shape::Shape(ShapeType::Type type)
    : outlineColor(tFixed(0), tFixed(0), tFixed(0), tFixed(0)), shapeType(type)
{
}

Shape::~Shape() {}

void Shape::setForegroundColor(const ColorRGBA<unsigned char>& colour)
{
    Tool::setForegroundColor(colour);
    outlineColor = ColorRGBA<tFixed>(channel(colour.r), channel(colour.g), channel(colour.b), channel(colour.a));
}

void Shape::update(tFixed x, tFixed y)
{
    const Vector3<tFixed> end(x, y, tFixed(0));
    if (!outline)
        startPoint = end;
    switch (shapeType)
    {
    case ShapeType::Line:
        outline.reset(new Line(startPoint, end, outlineColor));
        break;
    case ShapeType::Rectangle:
        outline.reset(new RectangleOutline(startPoint, end, outlineColor));
        break;
    case ShapeType::Circle:
        outline.reset(new CircleOutline(startPoint, end, outlineColor));
        break;
    case ShapeType::Star:
        outline.reset(new StarOutline(startPoint, end, outlineColor));
        break;
    default:
        outline.reset(new TriangleOutline(startPoint, end, outlineColor));
        break;
    }
}

void Shape::use(Canvas* canvas, int, int)
{
    canvas->useShape(this);
    outline.reset();
}
}
