#include "Resources/Drawing/Outlines/CircleOutline.h"

#include <cmath>
#include <vector>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, CircleOutline, Line);

namespace
{
tFixed half(tFixed v) { return tFixed(v.toFloat() * 0.5f); }
}

CircleOutline::CircleOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour)
{
    // Either radius may be negative (a drag up or to the left).
    const tFixed rx = half(b.x - a.x);
    const tFixed ry = half(b.y - a.y);
    createEllipse(Vector3<tFixed>(a.x + rx, b.y - ry, b.z), rx, ry, colour);
}

CircleOutline::~CircleOutline() {}

void CircleOutline::createEllipse(Vector3<tFixed> centre, tFixed rx, tFixed ry, ColorRGBA<tFixed> colour)
{
    const int count = 720;
    std::vector<Vector3<tFixed>> vertices(count);
    auto point = [&](int degrees) {
        const float radians = static_cast<float>(degrees) * 0.0174532924f;
        const double c = std::cos(static_cast<double>(radians));
        const double s = std::sin(static_cast<double>(radians));
        return Vector3<tFixed>(centre.x + tFixed::fromRaw(static_cast<int>(c * rx.getRaw())),
                               centre.y - tFixed::fromRaw(static_cast<int>(s * ry.getRaw())), centre.z);
    };
    // Segments join the points at each whole degree, each segment starting
    // where the one before ended.
    vertices[0] = point(0);
    vertices[1] = point(1);
    for (int i = 2; i < count; i += 2)
    {
        vertices[i] = vertices[i - 1];
        vertices[i + 1] = point(i);
    }
    setSegments(vertices.data(), count, colour);
}
}
