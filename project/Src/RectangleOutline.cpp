#include "Resources/RectangleOutline.h"

#include "Tovrane/VertexBuffer.h"

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
    VertexAttributes attributes;
    attributes.positions = 1;
    attributes.colors = 1;
    vertexBuffer.reset(new VertexBuffer(attributes, 8));
    tFixed* positions = vertexBuffer->getPositions();
    tFixed* colours = vertexBuffer->getColors();
    for (int i = 0; i < 8; ++i)
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
