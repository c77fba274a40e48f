#ifndef RESOURCES_CIRCLEOUTLINE_H
#define RESOURCES_CIRCLEOUTLINE_H

#include "Tovrane/Line.h"

namespace Tovrane
{
class CircleOutline;
typedef boost::shared_ptr<CircleOutline> CircleOutlinePtr;

// The ellipse that fills a drag box, as 360 line segments.
class CircleOutline : public Line
{
    TOVRANE_DECLARE_RTTI(CircleOutline)

public:
    CircleOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour);
    ~CircleOutline() override;

private:
    // 720 vertices: P(0)-P(1), P(1)-P(2), then steps of two degrees up to
    // P(718), where P(t) is the point at t degrees (y downwards).
    void createEllipse(Vector3<tFixed> centre, tFixed rx, tFixed ry, ColorRGBA<tFixed> colour);
};
}

#endif
