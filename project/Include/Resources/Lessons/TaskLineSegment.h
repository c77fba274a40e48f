#ifndef RESOURCES_TASKLINESEGMENT_H
#define RESOURCES_TASKLINESEGMENT_H

#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector2.h"

#include <boost/shared_ptr.hpp>

#include <vector>

namespace Tovrane
{
class Canvas;
class Geometry;
class SpriteManager;
typedef boost::shared_ptr<Canvas> CanvasPtr;
typedef boost::shared_ptr<Geometry> GeometryPtr;

// One piece of a traceable line: a quadratic (one control point) or cubic (two)
// Bezier curve in picture pixels, y downwards, 16.16. Copies share the
// debug-dot sprites.
class TaskLineSegment
{
public:
    // The sprite of the debug dots along a segment.
    static const char* const DebugDotSprite;

    // Coordinates of every point must lie within this many pixels of the
    // origin, so that no sum of the curve arithmetic overflows.
    static const int MaxCoordinate = 16383;

    TaskLineSegment();

    // The curve at t (0 to 65536): P0 at 0, P1 at 65536, up to truncation.
    // Points other than 3 or 4 in all give (0, 0).
    Vector2<tFixed> func(const tFixed& t) const;
    // About one sampling interval per half radius of curve length, at least one.
    void calcNumTestPoints(const tFixed& radius);
    // Sample points that a count of intervals gives (t = 0, step, ... while
    // t <= 65536 with step = 65536 / count); 0 when the step would be 0.
    static int sampleCount(int intervals);

    // A red dot on the canvas at every sample point, scaled to the radius.
    void addDebugDots(SpriteManager& sprites, CanvasPtr canvas, const int& radius);
    void toggleDebugDots(const bool& on);
    void enter();
    void exit();

    // Sampling intervals; 20 until calcNumTestPoints.
    int numTestPoints;
    // Start, end, then the control points.
    std::vector<Vector2<tFixed>> controlPoints;
    std::vector<GeometryPtr> debugDots;
};
}

#endif
