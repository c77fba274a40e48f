#ifndef TOVRANE_VERTEXATTRIBUTES_H
#define TOVRANE_VERTEXATTRIBUTES_H

namespace Tovrane
{
// The per-vertex channels a vertex buffer carries. A channel is present when
// its number is greater than 0; the number does not set the channel's width
// (positions 3, texture coordinates 2, normals 3, colours 4 values per vertex).
class VertexAttributes
{
public:
    VertexAttributes() : positions(0), textureCoordinates(0), normals(0), colors(0) {}

    bool hasPositions() const { return positions > 0; }
    bool hasTextureCoordinates() const { return textureCoordinates > 0; }
    bool hasNormals() const { return normals > 0; }
    bool hasColors() const { return colors > 0; }

    int positions;
    int textureCoordinates;
    int normals;
    int colors;
};
}

#endif
