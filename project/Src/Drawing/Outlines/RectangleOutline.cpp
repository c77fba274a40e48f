#include "Resources/Drawing/Outlines/RectangleOutline.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, RectangleOutline, Line);

RectangleOutline::RectangleOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour)
{
    createRectangle(a, Vector3<tFixed>(b.x, a.y, a.z), b, Vector3<tFixed>(a.x, b.y, b.z), colour);
}

RectangleOutline::RectangleOutline(Vector3<tFixed> p1, Vector3<tFixed> p2, Vector3<tFixed> p3, Vector3<tFixed> p4,
                                   ColorRGBA<tFixed> colour)
{
    createRectangle(p1, p2, p3, p4, colour);
}

RectangleOutline::~RectangleOutline() {}

void RectangleOutline::createRectangle(Vector3<tFixed> p1, Vector3<tFixed> p2, Vector3<tFixed> p3, Vector3<tFixed> p4,
                                       ColorRGBA<tFixed> colour)
{
    const Vector3<tFixed> vertices[8] = {p1, p2, p2, p3, p3, p4, p4, p1};
    setSegments(vertices, 8, colour);
}
}
