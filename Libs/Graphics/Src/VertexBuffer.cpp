#include "Tovrane/VertexBuffer.h"

#include "Tovrane/Assert.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, VertexBuffer, Object);

namespace
{
const int kPositionWidth = 3;
const int kTextureCoordinateWidth = 2;
const int kNormalWidth = 3;
const int kColorWidth = 4;

// Byte offset of a channel that follows `valuesBefore` values per vertex, and
// the running count moved on by its width; -1 when the channel is absent.
int place(bool present, int width, int vertexCount, int& valuesBefore)
{
    if (!present)
        return -1;
    const int offset = 4 * vertexCount * valuesBefore;
    valuesBefore += width;
    return offset;
}
}

VertexBuffer::VertexBuffer(const VertexAttributes& attributes, int vertexCount)
    : attributes(attributes), vertexCount(vertexCount), valuesPerVertex(0)
{
    TOVRANE_ASSERT(vertexCount >= 0 && "Negative vertex count");
    positionOffset = place(attributes.hasPositions(), kPositionWidth, vertexCount, valuesPerVertex);
    textureCoordinateOffset =
        place(attributes.hasTextureCoordinates(), kTextureCoordinateWidth, vertexCount, valuesPerVertex);
    normalOffset = place(attributes.hasNormals(), kNormalWidth, vertexCount, valuesPerVertex);
    colorOffset = place(attributes.hasColors(), kColorWidth, vertexCount, valuesPerVertex);
    data.assign(static_cast<size_t>(vertexCount) * static_cast<size_t>(valuesPerVertex), tFixed(0));
}

VertexBuffer::~VertexBuffer()
{
    releaseBindings();
}

tFixed* VertexBuffer::channel(int offset)
{
    TOVRANE_ASSERT(offset >= 0 && "Vertex buffer does not contain this channel");
    return data.data() + offset / static_cast<int>(sizeof(tFixed));
}

const tFixed* VertexBuffer::channel(int offset) const
{
    TOVRANE_ASSERT(offset >= 0 && "Vertex buffer does not contain this channel");
    return data.data() + offset / static_cast<int>(sizeof(tFixed));
}

tFixed* VertexBuffer::getPositions() { return channel(positionOffset); }
const tFixed* VertexBuffer::getPositions() const { return channel(positionOffset); }
tFixed* VertexBuffer::getTextureCoordinates() { return channel(textureCoordinateOffset); }
const tFixed* VertexBuffer::getTextureCoordinates() const { return channel(textureCoordinateOffset); }
tFixed* VertexBuffer::getNormals() { return channel(normalOffset); }
const tFixed* VertexBuffer::getNormals() const { return channel(normalOffset); }
tFixed* VertexBuffer::getColors() { return channel(colorOffset); }
const tFixed* VertexBuffer::getColors() const { return channel(colorOffset); }
}
