#ifndef TOVRANE_TOOLS_TASKPATHS_H
#define TOVRANE_TOOLS_TASKPATHS_H

#include <string>
#include <vector>

namespace TovraneTools
{
struct Point
{
    double x, y;
};

// One Bezier piece of a traced line: start, end and one or two control points.
struct Piece
{
    Point start, end;
    std::vector<Point> controls;
    Point at(double t) const;
};

// A line the child traces, in pixels with y downwards.
typedef std::vector<Piece> Stroke;

// Reads a small path language into a stroke, every piece a quadratic or
// cubic Bezier:
//   M x y                 move to (starts the stroke)
//   L x y                 straight on to the point
//   Q cx cy x y           quadratic curve
//   C ax ay bx by x y     cubic curve
//   A cx cy rx ry a b     elliptical arc from angle a to angle b (degrees,
//                         clockwise on the screen), joined by a straight
//                         piece when it does not start at the current point
//   D x y                 a dot: one piece of no length
// False, with the reason, on anything else.
bool parsePath(const std::string& text, Stroke& stroke, std::string& why);

// Scaled about the origin, then moved; every point rounded to whole pixels.
Stroke placed(const Stroke& stroke, double scale, double dx, double dy);
bool isDot(const Stroke& stroke);
void bounds(const Stroke& stroke, double& minX, double& minY, double& maxX, double& maxY);
// Points along the stroke at most `spacing` pixels apart, with their distance
// from the start.
std::vector<std::pair<Point, double>> walk(const Stroke& stroke, double spacing);
}

#endif
