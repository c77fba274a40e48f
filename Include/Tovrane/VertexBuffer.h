#ifndef TOVRANE_VERTEXBUFFER_H
#define TOVRANE_VERTEXBUFFER_H

#include "Tovrane/Binding.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Object.h"
#include "Tovrane/VertexAttributes.h"

#include <vector>

namespace Tovrane
{
class GraphicsRenderer;

// Vertex data of all channels in one zero-filled block of tFixed values,
// channel after channel (positions, texture coordinates, normals, colours),
// each channel a packed array over all vertices. Written by its creator before
// the first draw, read only afterwards.
class VertexBuffer : public Object, public Binding<GraphicsRenderer>
{
    TOVRANE_DECLARE_RTTI(VertexBuffer)

public:
    VertexBuffer(const VertexAttributes& attributes, int vertexCount);
    // Drops every renderer's copy, then frees the data.
    ~VertexBuffer() override;

    // First value of a channel; only a present channel may be asked for.
    tFixed* getPositions();
    const tFixed* getPositions() const;
    tFixed* getTextureCoordinates();
    const tFixed* getTextureCoordinates() const;
    tFixed* getNormals();
    const tFixed* getNormals() const;
    tFixed* getColors();
    const tFixed* getColors() const;

    int getVertexCount() const { return vertexCount; }
    int getValuesPerVertex() const { return valuesPerVertex; }
    const VertexAttributes& getAttributes() const { return attributes; }
    bool hasPositions() const { return positionOffset >= 0; }
    bool hasTextureCoordinates() const { return textureCoordinateOffset >= 0; }
    bool hasNormals() const { return normalOffset >= 0; }
    bool hasColors() const { return colorOffset >= 0; }

    // Byte offsets of the channels within the data, -1 for an absent channel.
    int getPositionOffset() const { return positionOffset; }
    int getTextureCoordinateOffset() const { return textureCoordinateOffset; }
    int getNormalOffset() const { return normalOffset; }
    int getColorOffset() const { return colorOffset; }

    // The whole block: vertex count x values per vertex values.
    const tFixed* getData() const { return data.data(); }
    int getDataSize() const { return static_cast<int>(data.size() * sizeof(tFixed)); }

private:
    tFixed* channel(int offset);
    const tFixed* channel(int offset) const;

    VertexAttributes attributes;
    int vertexCount;
    int valuesPerVertex;
    std::vector<tFixed> data;
    int positionOffset;
    int textureCoordinateOffset;
    int normalOffset;
    int colorOffset;
};

typedef boost::shared_ptr<VertexBuffer> VertexBufferPtr;
}

#endif
