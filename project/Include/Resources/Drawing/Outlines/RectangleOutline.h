#ifndef RESOURCES_RECTANGLEOUTLINE_H
#define RESOURCES_RECTANGLEOUTLINE_H

#include "Tovrane/Line.h"

namespace Tovrane
{
class RectangleOutline;
typedef boost::shared_ptr<RectangleOutline> RectangleOutlinePtr;

// The four sides of a rectangle as a closed loop of line segments.
class RectangleOutline : public Line
{
    TOVRANE_DECLARE_RTTI(RectangleOutline)

public:
    // The rectangle with opposite corners a and b.
    RectangleOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour);
    RectangleOutline(Vector3<tFixed> p1, Vector3<tFixed> p2, Vector3<tFixed> p3, Vector3<tFixed> p4,
                     ColorRGBA<tFixed> colour);
    ~RectangleOutline() override;

private:
    // Segments p1-p2, p2-p3, p3-p4, p4-p1.
    void createRectangle(Vector3<tFixed> p1, Vector3<tFixed> p2, Vector3<tFixed> p3, Vector3<tFixed> p4,
                         ColorRGBA<tFixed> colour);
};
}

#endif
