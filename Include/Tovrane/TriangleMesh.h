#ifndef TOVRANE_TRIANGLEMESH_H
#define TOVRANE_TRIANGLEMESH_H

#include "Tovrane/Geometry.h"

namespace Tovrane
{
class TriangleMesh;
typedef boost::shared_ptr<TriangleMesh> TriangleMeshPtr;

// Geometry drawn as a list of triangles.
class TriangleMesh : public Geometry
{
    TOVRANE_DECLARE_RTTI(TriangleMesh)

public:
    TriangleMesh();
    TriangleMesh(VertexBufferPtr vertexBuffer, IndexBufferPtr indexBuffer);
    ~TriangleMesh() override;

    int getPrimitiveType() const override { return 0; }
    // Lighting is never used, so no normals are computed.
    void computeNormals() {}
};
}

#endif
