#include "Tovrane/Plane.h"

#include "Tovrane/Assert.h"
#include "Tovrane/IndexBuffer.h"
#include "Tovrane/VertexBuffer.h"

#include <cstdint>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Plane, TriangleMesh);

namespace
{
// base + count * step on raw values, wrapping like every tFixed sum.
tFixed stepped(tFixed base, int count, std::int32_t step)
{
    return tFixed::fromRaw(static_cast<std::int32_t>(static_cast<std::uint32_t>(base.getRaw()) +
                                                     static_cast<std::uint32_t>(count) * static_cast<std::uint32_t>(step)));
}
}

Plane::Plane() {}

Plane::Plane(tFixed half, int n) { createPlane(-half, half, -half, half, tFixed(0), tFixed(1), tFixed(0), tFixed(1), n, n); }

Plane::Plane(tFixed halfWidth, tFixed halfHeight, int columns, int rows)
{
    createPlane(-halfWidth, halfWidth, -halfHeight, halfHeight, tFixed(0), tFixed(1), tFixed(0), tFixed(1), columns, rows);
}

Plane::Plane(tFixed left, tFixed right, tFixed bottom, tFixed top, tFixed s0, tFixed s1, tFixed t0, tFixed t1,
             int columns, int rows)
{
    createPlane(left, right, bottom, top, s0, s1, t0, t1, columns, rows);
}

Plane::~Plane() {}

void Plane::createPlane(tFixed left, tFixed right, tFixed bottom, tFixed top, tFixed s0, tFixed s1, tFixed t0,
                        tFixed t1, int columns, int rows)
{
    TOVRANE_ASSERT(columns >= 2 && rows >= 2 && "A plane needs at least 2 columns and 2 rows of vertices");
    TOVRANE_ASSERT(columns <= 65536 / rows && "A plane has at most 65536 vertices");

    VertexAttributes attributes;
    attributes.positions = 1;
    attributes.textureCoordinates = 1;
    attributes.normals = 1;
    vertexBuffer.reset(new VertexBuffer(attributes, columns * rows));
    indexBuffer.reset(new IndexBuffer(6 * (columns - 1) * (rows - 1)));

    // Integer steps of the raw values, truncated towards zero; the last row and
    // column are put exactly on the edges instead.
    const std::int32_t stepX = (right - left).getRaw() / (columns - 1);
    const std::int32_t stepY = (top - bottom).getRaw() / (rows - 1);
    const std::int32_t stepS = (s1 - s0).getRaw() / (columns - 1);
    const std::int32_t stepT = (t1 - t0).getRaw() / (rows - 1);

    tFixed* positions = vertexBuffer->getPositions();
    tFixed* coordinates = vertexBuffer->getTextureCoordinates();
    for (int j = 0; j < rows; ++j)
    {
        const tFixed y = j == rows - 1 ? bottom : stepped(top, -j, stepY);
        const tFixed t = stepped(t0, j, stepT);
        for (int i = 0; i < columns; ++i)
        {
            const int vertex = j * columns + i;
            positions[3 * vertex] = i == columns - 1 ? right : stepped(left, i, stepX);
            positions[3 * vertex + 1] = y;
            positions[3 * vertex + 2] = tFixed(0);
            coordinates[2 * vertex] = stepped(s0, i, stepS);
            coordinates[2 * vertex + 1] = t;
        }
    }

    std::uint16_t* indices = indexBuffer->getIndices();
    for (int j = 0; j < rows - 1; ++j)
    {
        for (int i = 0; i < columns - 1; ++i)
        {
            const std::uint16_t a = static_cast<std::uint16_t>(j * columns + i);
            const std::uint16_t b = static_cast<std::uint16_t>(a + columns);
            *indices++ = b;
            *indices++ = a;
            *indices++ = static_cast<std::uint16_t>(b + 1);
            *indices++ = a;
            *indices++ = static_cast<std::uint16_t>(a + 1);
            *indices++ = static_cast<std::uint16_t>(b + 1);
        }
    }

    updateModelBound();
}
}
