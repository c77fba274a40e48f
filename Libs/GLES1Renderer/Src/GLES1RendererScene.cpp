#include "Tovrane/GLES1Renderer.h"

#include "GLES1Tables.h"
#include "Tovrane/Assert.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/IndexBuffer.h"
#include "Tovrane/VertexBuffer.h"

namespace Tovrane
{
void GLES1Renderer::drawElements()
{
    const int primitive = currentGeometry->getPrimitiveType();
    TOVRANE_ASSERT(primitive >= 0 && primitive < 3 && "Unknown primitive type");
    const GLenum mode = GLES1Tables::primitiveType[primitive];
    if (currentGeometry->indexBuffer)
        glDrawElements(mode, currentGeometry->indexBuffer->getIndexCount(), GL_UNSIGNED_SHORT, nullptr);
    else
        glDrawArrays(mode, 0, currentGeometry->vertexBuffer->getVertexCount());
}
}
