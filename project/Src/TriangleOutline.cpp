#include "Resources/TriangleOutline.h"

#include "Tovrane/VertexBuffer.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, TriangleOutline, Line);

namespace
{
// Half of a 16.16 value, through single precision, truncated.
tFixed half(tFixed v) { return tFixed(v.toFloat() * 0.5f); }
}

TriangleOutline::TriangleOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour)
{
    createTriangle(Vector3<tFixed>(half(a.x + b.x), a.y, half(a.z + b.z)), Vector3<tFixed>(a.x, b.y, a.z), b, colour);
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
    VertexAttributes attributes;
    attributes.positions = 1;
    attributes.colors = 1;
    vertexBuffer.reset(new VertexBuffer(attributes, 6));
    tFixed* positions = vertexBuffer->getPositions();
    tFixed* colours = vertexBuffer->getColors();
    for (int i = 0; i < 6; ++i)
    {
        positions[3 * i] = vertices[i].x;
        positions[3 * i + 1] = vertices[i].y;
        positions[3 * i + 2] = vertices[i].z;
        colours[4 * i] = colour.r;
        colours[4 * i + 1] = colour.g;
        colours[4 * i + 2] = colour.b;
        colours[4 * i + 3] = colour.a;
    }
    updateModelBound();
}
}
