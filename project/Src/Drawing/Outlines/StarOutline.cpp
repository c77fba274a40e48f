#include "Resources/Drawing/Outlines/StarOutline.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, StarOutline, Line);

namespace
{
// A fraction of a 16.16 value, through single precision, truncated.
tFixed part(float fraction, tFixed v) { return tFixed(v.toFloat() * fraction); }
}

StarOutline::StarOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour)
{
    const tFixed w = b.x - a.x;
    // Positive fractions of h move from the start row towards the end row.
    const tFixed h = a.y - b.y;
    const tFixed z = a.z;
    const Vector3<tFixed> points[10] = {
        Vector3<tFixed>(a.x + part(0.5f, w), a.y, z),                           // top tip
        Vector3<tFixed>(a.x + part(0.3819f, w), a.y - part(0.3819f, h), z),     // inner upper left
        Vector3<tFixed>(a.x, a.y - part(0.3819f, h), z),                        // left tip
        Vector3<tFixed>(a.x + part(0.309f, w), a.y - part(0.618f, h), z),       // inner left
        Vector3<tFixed>(a.x + part(0.1901f, w), b.y, z),                        // bottom left tip
        Vector3<tFixed>(a.x + part(0.5f, w), a.y - part(0.7639f, h), z),        // inner bottom
        Vector3<tFixed>(b.x - part(0.1901f, w), b.y, z),                        // bottom right tip
        Vector3<tFixed>(b.x - part(0.309f, w), a.y - part(0.618f, h), z),       // inner right
        Vector3<tFixed>(b.x, a.y - part(0.3819f, h), z),                        // right tip
        Vector3<tFixed>(b.x - part(0.3819f, w), a.y - part(0.3819f, h), z)};    // inner upper right

    // Segment k runs from point k to point k + 1, the last back to the top tip.
    Vector3<tFixed> vertices[20];
    for (int i = 0; i < 20; ++i)
        vertices[i] = points[((i + 1) / 2) % 10];
    setSegments(vertices, 20, colour);
}

StarOutline::~StarOutline() {}
}
