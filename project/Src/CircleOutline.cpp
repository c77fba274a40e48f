#include "Resources/CircleOutline.h"

#include "Tovrane/VertexBuffer.h"

#include <cmath>

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
    VertexAttributes attributes;
    attributes.positions = 1;
    attributes.colors = 1;
    vertexBuffer.reset(new VertexBuffer(attributes, count));
    tFixed* positions = vertexBuffer->getPositions();
    tFixed* colours = vertexBuffer->getColors();

    auto point = [&](int degrees, int vertex) {
        const float radians = static_cast<float>(degrees) * 0.0174532924f;
        const double c = std::cos(static_cast<double>(radians));
        const double s = std::sin(static_cast<double>(radians));
        positions[3 * vertex] = centre.x + tFixed::fromRaw(static_cast<int>(c * rx.getRaw()));
        positions[3 * vertex + 1] = centre.y - tFixed::fromRaw(static_cast<int>(s * ry.getRaw()));
        positions[3 * vertex + 2] = centre.z;
    };
    point(0, 0);
    point(1, 1);
    for (int i = 2; i < count; i += 2)
    {
        for (int k = 0; k < 3; ++k)
            positions[3 * i + k] = positions[3 * (i - 1) + k];
        point(i, i + 1);
    }
    for (int i = 0; i < count; ++i)
    {
        colours[4 * i] = colour.r;
        colours[4 * i + 1] = colour.g;
        colours[4 * i + 2] = colour.b;
        colours[4 * i + 3] = colour.a;
    }
    updateModelBound();
}
}
