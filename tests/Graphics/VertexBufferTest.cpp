#include "Tovrane/VertexBuffer.h"

#include <gtest/gtest.h>

using namespace Tovrane;

namespace
{
VertexAttributes channels(int positions, int textureCoordinates, int normals, int colors)
{
    VertexAttributes attributes;
    attributes.positions = positions;
    attributes.textureCoordinates = textureCoordinates;
    attributes.normals = normals;
    attributes.colors = colors;
    return attributes;
}
}

// Channels follow one another whole (not interleaved), in the order
// positions, texture coordinates, normals, colours; offsets are in bytes.
TEST(VertexBuffer, ChannelLayout)
{
    const struct
    {
        VertexAttributes attributes;
        int vertices, valuesPerVertex, position, coordinate, normal, colour, bytes;
    } cases[] = {
        {channels(0, 0, 0, 1), 2, 4, -1, -1, -1, 0, 32},
        {channels(1, 1, 1, 1), 3, 12, 0, 36, 60, 96, 144},
        // Presence is any positive number, not a width.
        {channels(7, 1, -2, 0), 4, 5, 0, 48, -1, -1, 80},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.valuesPerVertex);
        VertexBuffer buffer(c.attributes, c.vertices);
        EXPECT_EQ(c.valuesPerVertex, buffer.getValuesPerVertex());
        EXPECT_EQ(c.position, buffer.getPositionOffset());
        EXPECT_EQ(c.coordinate, buffer.getTextureCoordinateOffset());
        EXPECT_EQ(c.normal, buffer.getNormalOffset());
        EXPECT_EQ(c.colour, buffer.getColorOffset());
        EXPECT_EQ(c.normal >= 0, buffer.hasNormals());
        ASSERT_EQ(c.bytes, buffer.getDataSize());
        for (int i = 0; i < c.bytes / 4; ++i)
            EXPECT_EQ(0, buffer.getData()[i].getRaw());
        // Each pointer lands at its byte offset.
        const unsigned char* base = reinterpret_cast<const unsigned char*>(buffer.getData());
        auto at = [&](const tFixed* p) { return static_cast<int>(reinterpret_cast<const unsigned char*>(p) - base); };
        EXPECT_EQ(c.coordinate, c.coordinate < 0 ? -1 : at(buffer.getTextureCoordinates()));
        EXPECT_EQ(c.normal, c.normal < 0 ? -1 : at(buffer.getNormals()));
        EXPECT_EQ(c.colour, c.colour < 0 ? -1 : at(buffer.getColors()));
    }
}
