#ifndef RESOURCES_SHAPE_H
#define RESOURCES_SHAPE_H

#include "Resources/Drawing/Tool.h"
#include "Tovrane/Line.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector3.h"

namespace Tovrane
{
class Shape;
typedef boost::shared_ptr<Shape> ShapePtr;

struct ShapeType
{
    enum Type : int
    {
        Line = 0,
        Rectangle = 1,
        Circle = 2, // an ellipse filling the drag box
        Triangle = 3,
        Star = 4
    };
};

// Drags out a line, rectangle, ellipse, triangle or star: every update
// rebuilds the outline from the drag's start to the current point (shown as a
// preview), and use() draws the outline's segments into the picture as thick
// lines in the drawing colour.
class Shape : public Tool
{
    TOVRANE_DECLARE_RTTI(Shape)

public:
    explicit Shape(ShapeType::Type type);
    ~Shape() override;

    // Also keeps the colour for the outline (1.0 full).
    void setForegroundColor(const ColorRGBA<unsigned char>& colour) override;
    // The first update of a drag fixes its start; each builds a new outline
    // from the start to (x, y) (picture coordinates).
    void update(tFixed x, tFixed y);
    // Draws the last outline and drops it; (x, y) is not used.
    void use(Canvas* canvas, int x, int y) override;

    LinePtr getOutline() const { return outline; }
    ShapeType::Type getShapeType() const { return shapeType; }
    const ColorRGBA<tFixed>& getOutlineColor() const { return outlineColor; }
    const Vector3<tFixed>& getStartPoint() const { return startPoint; }

private:
    ColorRGBA<tFixed> outlineColor;
    Vector3<tFixed> startPoint;
    ShapeType::Type shapeType;
    LinePtr outline;
};
}

#endif
