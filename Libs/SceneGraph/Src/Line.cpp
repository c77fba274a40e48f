#include "Tovrane/Line.h"

#include "Tovrane/VertexBuffer.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Line, Geometry);

Line::Line() {}

Line::Line(VertexBufferPtr vertexBuffer) : Geometry(vertexBuffer, IndexBufferPtr()) {}

Line::Line(Vector3<tFixed> from, Vector3<tFixed> to, ColorRGBA<tFixed> colour)
{
    VertexAttributes attributes;
    attributes.positions = 1;
    attributes.colors = 1;
    vertexBuffer.reset(new VertexBuffer(attributes, 2));

    tFixed* positions = vertexBuffer->getPositions();
    const Vector3<tFixed> ends[2] = {from, to};
    tFixed* colours = vertexBuffer->getColors();
    for (int i = 0; i < 2; ++i)
    {
        positions[3 * i] = ends[i].x;
        positions[3 * i + 1] = ends[i].y;
        positions[3 * i + 2] = ends[i].z;
        colours[4 * i] = colour.r;
        colours[4 * i + 1] = colour.g;
        colours[4 * i + 2] = colour.b;
        colours[4 * i + 3] = colour.a;
    }
    updateModelBound();
}

Line::~Line() {}
}
