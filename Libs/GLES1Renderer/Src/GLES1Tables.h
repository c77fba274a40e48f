#ifndef TOVRANE_GLES1TABLES_H
#define TOVRANE_GLES1TABLES_H

#include <GLES/gl.h>

// Engine enumerations to OpenGL ES constants, indexed by the enumeration's value.
namespace Tovrane
{
namespace GLES1Tables
{
// BlendFactor::Type; the two constant-colour factors are refused before lookup.
extern const GLenum blendFactor[13];
// TestFunction::Type.
extern const GLenum testFunction[8];
// A geometry's primitive type: triangles, lines, points.
extern const GLenum primitiveType[3];
// PixelFormat::Type: internal format, format, type. Palette8 has no GL form.
extern const GLenum internalFormat[6];
extern const GLenum pixelFormat[6];
extern const GLenum pixelType[6];
// Texture filter and wrap indices.
extern const GLenum textureFilter[6];
extern const GLenum wrapMode[2];
}
}

#endif
