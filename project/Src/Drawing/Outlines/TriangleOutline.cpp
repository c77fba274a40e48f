#include "Resources/Drawing/Outlines/TriangleOutline.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, TriangleOutline, Line);

namespace
{
// Half of a 16.16 value, through single precision, truncated.
tFixed halved(tFixed v) { return tFixed(v.toFloat() * 0.5f); }
}

TriangleOutline::TriangleOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour)
{
    createTriangle(Vector3<tFixed>(halved(a.x + b.x), a.y, halved(a.z + b.z)), Vector3<tFixed>(a.x, b.y, a.z), b, colour);
}

TriangleOutline::TriangleOutline(Vector3<tFixed> p1, Vector3<tFixed> p2, Vector3<tFixed> p3, ColorRGBA<tFixed> colour)
{
    createTriangle(p1, p2, p3, colour);
}

TriangleOutline::~TriangleOutline() {}

void TriangleOutline::createTriangle(Vector3<tFixed> p1, Vector3<tFixed> p2, Vector3<tFixed> p3,
                                     ColorRGBA<tFixed> colour)
{
    const Vector3<tFixed> vertices[6] = {p1, p2, p2, p3, p3, p1};
    setSegments(vertices, 6, colour);
}
}
