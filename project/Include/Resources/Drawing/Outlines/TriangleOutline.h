#ifndef RESOURCES_TRIANGLEOUTLINE_H
#define RESOURCES_TRIANGLEOUTLINE_H

#include "Tovrane/Line.h"

namespace Tovrane
{
class TriangleOutline;
typedef boost::shared_ptr<TriangleOutline> TriangleOutlinePtr;

// The three sides of a triangle as a closed loop of line segments.
class TriangleOutline : public Line
{
    TOVRANE_DECLARE_RTTI(TriangleOutline)

public:
    // The apex midway between a and b on a's row, the base on b's row.
    TriangleOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour);
    TriangleOutline(Vector3<tFixed> p1, Vector3<tFixed> p2, Vector3<tFixed> p3, ColorRGBA<tFixed> colour);
    ~TriangleOutline() override;

private:
    // Segments p1-p2, p2-p3, p3-p1.
    void createTriangle(Vector3<tFixed> p1, Vector3<tFixed> p2, Vector3<tFixed> p3, ColorRGBA<tFixed> colour);
};
}

#endif
