#include "TaskPaths.h"

#include <cmath>
#include <sstream>

namespace TovraneTools
{
namespace
{
const double pi = 3.14159265358979323846;

Point lerp(const Point& a, const Point& b, double t) { return Point{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

bool same(const Point& a, const Point& b) { return std::fabs(a.x - b.x) < 1e-9 && std::fabs(a.y - b.y) < 1e-9; }

Point onEllipse(double cx, double cy, double rx, double ry, double degrees)
{
    const double a = degrees * pi / 180.0;
    return Point{cx + rx * std::cos(a), cy + ry * std::sin(a)};
}

// The arc as cubics of at most a quarter turn each.
void addArc(Stroke& stroke, Point& at, bool& started, double cx, double cy, double rx, double ry, double from, double to)
{
    const Point first = onEllipse(cx, cy, rx, ry, from);
    if (started && !same(at, first))
        stroke.push_back(Piece{at, first, {lerp(at, first, 0.5)}});
    const int parts = std::max(1, static_cast<int>(std::ceil(std::fabs(to - from) / 90.0 - 1e-9)));
    const double step = (to - from) / parts;
    const double k = 4.0 / 3.0 * std::tan(step * pi / 180.0 / 4.0);
    for (int i = 0; i < parts; ++i)
    {
        const double a = (from + step * i) * pi / 180.0, b = (from + step * (i + 1)) * pi / 180.0;
        const Point p0 = onEllipse(cx, cy, rx, ry, from + step * i);
        const Point p3 = onEllipse(cx, cy, rx, ry, from + step * (i + 1));
        const Point p1{p0.x - k * rx * std::sin(a), p0.y + k * ry * std::cos(a)};
        const Point p2{p3.x + k * rx * std::sin(b), p3.y - k * ry * std::cos(b)};
        stroke.push_back(Piece{p0, p3, {p1, p2}});
    }
    at = onEllipse(cx, cy, rx, ry, to);
    started = true;
}
}

Point Piece::at(double t) const
{
    const double w = 1.0 - t;
    if (controls.size() == 1)
        return Point{w * w * start.x + 2 * w * t * controls[0].x + t * t * end.x,
                     w * w * start.y + 2 * w * t * controls[0].y + t * t * end.y};
    const Point& a = controls[0];
    const Point& b = controls[1];
    return Point{w * w * w * start.x + 3 * w * w * t * a.x + 3 * w * t * t * b.x + t * t * t * end.x,
                 w * w * w * start.y + 3 * w * w * t * a.y + 3 * w * t * t * b.y + t * t * t * end.y};
}

bool parsePath(const std::string& text, Stroke& stroke, std::string& why)
{
    std::istringstream in(text);
    stroke.clear();
    Point at{0, 0};
    bool started = false;
    for (std::string command; in >> command;)
    {
        const int count = command == "M" || command == "L" || command == "D" ? 2
                          : command == "Q"                                   ? 4
                                                                             : command == "C" || command == "A" ? 6 : 0;
        if (count == 0)
        {
            why = "unknown path command \"" + command + "\" in \"" + text + "\"";
            return false;
        }
        double v[6];
        for (int i = 0; i < count; ++i)
            if (!(in >> v[i]))
            {
                why = "path command " + command + " needs " + std::to_string(count) + " numbers in \"" + text + "\"";
                return false;
            }
        if (command != "M" && command != "A" && command != "D" && !started)
        {
            why = "path \"" + text + "\" draws before its first M";
            return false;
        }
        const Point end{v[count - 2], v[count - 1]};
        if (command == "M")
        {
            at = end;
            started = true;
        }
        else if (command == "L")
        {
            stroke.push_back(Piece{at, end, {lerp(at, end, 0.5)}});
            at = end;
        }
        else if (command == "Q")
        {
            stroke.push_back(Piece{at, end, {Point{v[0], v[1]}}});
            at = end;
        }
        else if (command == "C")
        {
            stroke.push_back(Piece{at, end, {Point{v[0], v[1]}, Point{v[2], v[3]}}});
            at = end;
        }
        else if (command == "A")
        {
            addArc(stroke, at, started, v[0], v[1], v[2], v[3], v[4], v[5]);
        }
        else
        {
            stroke.push_back(Piece{end, end, {end}});
            at = end;
            started = true;
        }
    }
    if (stroke.empty())
    {
        why = "path \"" + text + "\" draws nothing";
        return false;
    }
    return true;
}

Stroke placed(const Stroke& stroke, double scale, double dx, double dy)
{
    auto place = [&](const Point& p) {
        return Point{std::round(p.x * scale + dx), std::round(p.y * scale + dy)};
    };
    Stroke result;
    for (const Piece& piece : stroke)
    {
        Piece moved{place(piece.start), place(piece.end), {}};
        for (const Point& c : piece.controls)
            moved.controls.push_back(place(c));
        result.push_back(moved);
    }
    return result;
}

bool isDot(const Stroke& stroke)
{
    return stroke.size() == 1 && same(stroke[0].start, stroke[0].end) && stroke[0].controls.size() == 1 &&
           same(stroke[0].start, stroke[0].controls[0]);
}

void bounds(const Stroke& stroke, double& minX, double& minY, double& maxX, double& maxY)
{
    minX = minY = 1e9;
    maxX = maxY = -1e9;
    for (const auto& sample : walk(stroke, 1.0))
    {
        minX = std::min(minX, sample.first.x);
        minY = std::min(minY, sample.first.y);
        maxX = std::max(maxX, sample.first.x);
        maxY = std::max(maxY, sample.first.y);
    }
}

std::vector<std::pair<Point, double>> walk(const Stroke& stroke, double spacing)
{
    std::vector<std::pair<Point, double>> points;
    double distance = 0;
    for (const Piece& piece : stroke)
    {
        // Fine steps, kept whenever they have come `spacing` from the last kept.
        const int steps = 400;
        Point previous = piece.start;
        if (points.empty())
            points.push_back({previous, 0.0});
        for (int i = 1; i <= steps; ++i)
        {
            const Point p = piece.at(static_cast<double>(i) / steps);
            distance += std::hypot(p.x - previous.x, p.y - previous.y);
            previous = p;
            if (distance - points.back().second >= spacing || i == steps)
                points.push_back({p, distance});
        }
    }
    return points;
}
}
