#include "Tovrane/IndexBuffer.h"
#include "Tovrane/VertexBuffer.h"

#include <gtest/gtest.h>

using namespace Tovrane;

namespace
{
VertexAttributes channels(bool positions, bool textureCoordinates, bool normals, bool colors)
{
    VertexAttributes attributes;
    attributes.positions = positions ? 1 : 0;
    attributes.textureCoordinates = textureCoordinates ? 1 : 0;
    attributes.normals = normals ? 1 : 0;
    attributes.colors = colors ? 1 : 0;
    return attributes;
}
}

TEST(VertexBuffer, ColoursOnly)
{
    VertexBuffer buffer(channels(false, false, false, true), 2);
    EXPECT_EQ(4, buffer.getValuesPerVertex());
    EXPECT_EQ(0, buffer.getColorOffset());
    EXPECT_EQ(-1, buffer.getPositionOffset());
    EXPECT_EQ(-1, buffer.getTextureCoordinateOffset());
    EXPECT_EQ(-1, buffer.getNormalOffset());
    EXPECT_FALSE(buffer.hasPositions());
    EXPECT_TRUE(buffer.hasColors());
    EXPECT_EQ(buffer.getData(), buffer.getColors());
}

TEST(VertexBuffer, AllChannelsFollowOneAnotherAndStartZeroed)
{
    VertexBuffer buffer(channels(true, true, true, true), 3);
    EXPECT_EQ(12, buffer.getValuesPerVertex());
    EXPECT_EQ(0, buffer.getPositionOffset());
    EXPECT_EQ(36, buffer.getTextureCoordinateOffset());
    EXPECT_EQ(60, buffer.getNormalOffset());
    EXPECT_EQ(96, buffer.getColorOffset());
    ASSERT_EQ(36 * 4, buffer.getDataSize());
    for (int i = 0; i < 36; ++i)
        EXPECT_EQ(0, buffer.getData()[i].getRaw());
    // Each pointer lands at its byte offset.
    const unsigned char* base = reinterpret_cast<const unsigned char*>(buffer.getData());
    EXPECT_EQ(base + 36, reinterpret_cast<const unsigned char*>(buffer.getTextureCoordinates()));
    EXPECT_EQ(base + 60, reinterpret_cast<const unsigned char*>(buffer.getNormals()));
    EXPECT_EQ(base + 96, reinterpret_cast<const unsigned char*>(buffer.getColors()));
}

TEST(VertexBuffer, PresenceIsAnyPositiveNumberNotAWidth)
{
    VertexAttributes attributes;
    attributes.positions = 7;
    attributes.textureCoordinates = 1;
    attributes.normals = -2;
    VertexBuffer buffer(attributes, 4);
    EXPECT_EQ(5, buffer.getValuesPerVertex());
    EXPECT_EQ(0, buffer.getPositionOffset());
    EXPECT_EQ(48, buffer.getTextureCoordinateOffset());
    EXPECT_FALSE(buffer.hasNormals());
    EXPECT_EQ(80, buffer.getDataSize());
}

TEST(VertexBuffer, ChannelsAreWrittenPerChannelNotInterleaved)
{
    VertexBuffer buffer(channels(true, true, false, false), 2);
    tFixed* positions = buffer.getPositions();
    for (int i = 0; i < 6; ++i)
        positions[i] = tFixed(i + 1);
    tFixed* coordinates = buffer.getTextureCoordinates();
    coordinates[0] = tFixed(100);
    EXPECT_EQ(tFixed(6), buffer.getData()[5]);
    EXPECT_EQ(tFixed(100), buffer.getData()[6]);
    const VertexBuffer& readOnly = buffer;
    EXPECT_EQ(tFixed(100), readOnly.getTextureCoordinates()[0]);
}

TEST(VertexBuffer, IndexBufferHoldsSixteenBitIndices)
{
    IndexBuffer indices(6);
    EXPECT_EQ(6, indices.getIndexCount());
    EXPECT_EQ(12, indices.getDataSize());
    indices.getIndices()[5] = 65535;
    EXPECT_EQ(65535, indices.getIndices()[5]);
    EXPECT_EQ("Tovrane.IndexBuffer", indices.getType().getName());
}

TEST(VertexBuffer, NeverDrawnBufferHasNoBindings)
{
    VertexBufferPtr buffer(new VertexBuffer(channels(true, false, false, false), 1));
    IndexBufferPtr indices(new IndexBuffer(3));
    EXPECT_TRUE(buffer->bindings.empty());
    EXPECT_TRUE(indices->bindings.empty());
    EXPECT_EQ("Tovrane.VertexBuffer", buffer->getType().getName());
    buffer.reset();
    indices.reset();
}

TEST(VertexBufferDeathTest, AbsentChannelCannotBeAskedFor)
{
    VertexBuffer buffer(channels(true, false, false, false), 4);
    EXPECT_DEATH(buffer.getColors(), "Vertex buffer does not contain this channel");
    EXPECT_DEATH(buffer.getTextureCoordinates(), "Vertex buffer does not contain this channel");
}
