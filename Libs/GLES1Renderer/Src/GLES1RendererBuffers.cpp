#include "Tovrane/GLES1Renderer.h"

#include <GLES/gl.h>

#include <cstdint>

namespace Tovrane
{
namespace
{
// A byte offset into the bound buffer object, in the pointer argument GL takes.
const GLvoid* offset(int bytes)
{
    return reinterpret_cast<const GLvoid*>(static_cast<std::intptr_t>(bytes));
}
}

ResourceIdentifier* GLES1Renderer::onBindVertexBuffer(VertexBufferPtr buffer)
{
    ResourceIdentifier* id = new ResourceIdentifier();
    glGenBuffers(1, &id->name);
    glBindBuffer(GL_ARRAY_BUFFER, id->name);
    id->size = static_cast<std::uint32_t>(buffer->getDataSize());
    glBufferData(GL_ARRAY_BUFFER, id->size, buffer->getData(), GL_STATIC_DRAW);
    allocatedBufferBytes += id->size;
    if (peakBufferBytes < allocatedBufferBytes)
        peakBufferBytes = allocatedBufferBytes;
    return id;
}

ResourceIdentifier* GLES1Renderer::onBindIndexBuffer(IndexBufferPtr buffer)
{
    ResourceIdentifier* id = new ResourceIdentifier();
    glGenBuffers(1, &id->name);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, id->name);
    id->size = static_cast<std::uint32_t>(buffer->getDataSize());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, id->size, buffer->getIndices(), GL_STATIC_DRAW);
    allocatedBufferBytes += id->size;
    if (peakBufferBytes < allocatedBufferBytes)
        peakBufferBytes = allocatedBufferBytes;
    return id;
}

void GLES1Renderer::onReleaseVertexBuffer(ResourceIdentifier* id)
{
    glDeleteBuffers(1, &id->name);
    allocatedBufferBytes -= id->size;
    delete id;
}

void GLES1Renderer::onReleaseIndexBuffer(ResourceIdentifier* id)
{
    glDeleteBuffers(1, &id->name);
    allocatedBufferBytes -= id->size;
    delete id;
}

void GLES1Renderer::onEnableVertexBuffer(VertexBufferPtr buffer, ResourceIdentifier* id)
{
    glBindBuffer(GL_ARRAY_BUFFER, id->name);
    if (buffer->hasPositions())
    {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FIXED, 0, offset(buffer->getPositionOffset()));
    }
    if (buffer->hasTextureCoordinates())
    {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FIXED, 0, offset(buffer->getTextureCoordinateOffset()));
    }
    if (buffer->hasNormals())
    {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FIXED, 0, offset(buffer->getNormalOffset()));
    }
    if (buffer->hasColors())
    {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FIXED, 0, offset(buffer->getColorOffset()));
    }
}

void GLES1Renderer::onDisableVertexBuffer(VertexBufferPtr buffer, ResourceIdentifier*)
{
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (buffer->hasPositions())
        glDisableClientState(GL_VERTEX_ARRAY);
    if (buffer->hasTextureCoordinates())
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (buffer->hasNormals())
        glDisableClientState(GL_NORMAL_ARRAY);
    if (buffer->hasColors())
    {
        glDisableClientState(GL_COLOR_ARRAY);
        // The colour array leaves its last colour behind; later geometry must be
        // drawn in opaque white again.
        glColor4ub(255, 255, 255, 255);
    }
}

void GLES1Renderer::onEnableIndexBuffer(ResourceIdentifier* id)
{
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, id->name);
}

void GLES1Renderer::onDisableIndexBuffer(ResourceIdentifier*)
{
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
}
