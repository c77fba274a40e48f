#include "Tovrane/GLES1Renderer.h"

#include "GLES1Tables.h"
#include "Tovrane/Assert.h"
#include "Tovrane/Texture.h"

#include <cstdint>

namespace Tovrane
{
ResourceIdentifier* GLES1Renderer::onBindTexture(TexturePtr texture)
{
    TOVRANE_ASSERT(texture->getDepth() == 2 && "OpenGL ES only supports 2D textures");
    TOVRANE_ASSERT(texture->getMinFilter() >= 0 && texture->getMinFilter() < 6 &&
                   texture->getMagFilter() >= 0 && texture->getMagFilter() < 6 && "Unknown texture filter");
    TOVRANE_ASSERT(texture->getWrapS() >= 0 && texture->getWrapS() < 2 && texture->getWrapT() >= 0 &&
                   texture->getWrapT() < 2 && "Unknown texture wrap mode");

    const std::uint32_t size = static_cast<std::uint32_t>(texture->getBytesPerPixel()) *
                               static_cast<std::uint32_t>(texture->getWidth()) *
                               static_cast<std::uint32_t>(texture->getHeight());
    if (!fitsTextureBudget(size, texture->getWidth(), texture->getHeight()))
        return nullptr;

    // The upload happens on whichever unit is active, in the middle of a draw
    // that may already have enabled another texture there: that unit keeps its
    // binding and its enable state.
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);

    ResourceIdentifier* id = new ResourceIdentifier();
    glGenTextures(1, &id->name);
    glBindTexture(GL_TEXTURE_2D, id->name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLES1Tables::textureFilter[texture->getMinFilter()]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLES1Tables::textureFilter[texture->getMagFilter()]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLES1Tables::wrapMode[texture->getWrapS()]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLES1Tables::wrapMode[texture->getWrapT()]);

    // Rows are packed without padding; with the default alignment of 4 an
    // odd-width RGB888 picture would be read skewed.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const int format = texture->getFormat();
    glTexImage2D(GL_TEXTURE_2D, 0, GLES1Tables::internalFormat[format], texture->getWidth(), texture->getHeight(), 0,
                 GLES1Tables::pixelFormat[format], GLES1Tables::pixelType[format], texture->getPixels());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));

    id->size = size;
    allocatedTextureBytes += id->size;
    if (peakTextureBytes < allocatedTextureBytes)
        peakTextureBytes = allocatedTextureBytes;
    return id;
}

void GLES1Renderer::onReleaseTexture(ResourceIdentifier* id)
{
    glDeleteTextures(1, &id->name);
    allocatedTextureBytes -= id->size;
    delete id;
}

void GLES1Renderer::onEnableTexture(ResourceIdentifier* id, int unit)
{
    setActiveTextureUnit(unit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, id->name);
}

void GLES1Renderer::onDisableTexture(ResourceIdentifier*, int unit)
{
    setActiveTextureUnit(unit);
    glDisable(GL_TEXTURE_2D);
}

void GLES1Renderer::setActiveTextureUnit(int unit)
{
    glClientActiveTexture(GL_TEXTURE0 + unit);
    glActiveTexture(GL_TEXTURE0 + unit);
}
}
