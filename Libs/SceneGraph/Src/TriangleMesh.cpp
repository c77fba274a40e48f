#include "Tovrane/TriangleMesh.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, TriangleMesh, Geometry);

TriangleMesh::TriangleMesh() {}

TriangleMesh::TriangleMesh(VertexBufferPtr vertexBuffer, IndexBufferPtr indexBuffer)
    : Geometry(vertexBuffer, indexBuffer)
{
}

TriangleMesh::~TriangleMesh() {}
}
