#include "Tovrane/Line.h"

#include "Tovrane/VertexBuffer.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Line, Geometry);

Line::Line() {}

Line::Line(VertexBufferPtr vertexBuffer) : Geometry(vertexBuffer, IndexBufferPtr()) {}

Line::Line(Vector3<tFixed> from, Vector3<tFixed> to, ColorRGBA<tFixed> colour)
{
    const Vector3<tFixed> ends[2] = {from, to};
    setSegments(ends, 2, colour);
}

void Line::setSegments(const Vector3<tFixed>* vertices, int count, const ColorRGBA<tFixed>& colour)
{
    VertexAttributes attributes;
    attributes.positions = 1;
    attributes.colors = 1;
    vertexBuffer.reset(new VertexBuffer(attributes, count));
    tFixed* positions = vertexBuffer->getPositions();
    tFixed* colours = vertexBuffer->getColors();
    for (int i = 0; i < count; ++i)
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

Line::~Line() {}
}
