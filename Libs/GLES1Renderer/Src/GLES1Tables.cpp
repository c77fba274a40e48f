#include "GLES1Tables.h"

namespace Tovrane
{
namespace GLES1Tables
{
const GLenum blendFactor[13] = {GL_ZERO,
                                GL_ONE,
                                GL_SRC_COLOR,
                                GL_ONE_MINUS_SRC_COLOR,
                                GL_SRC_ALPHA,
                                GL_ONE_MINUS_SRC_ALPHA,
                                GL_DST_ALPHA,
                                GL_ONE_MINUS_DST_ALPHA,
                                GL_DST_COLOR,
                                GL_ONE_MINUS_DST_COLOR,
                                GL_SRC_ALPHA_SATURATE,
                                0,
                                0};

const GLenum testFunction[8] = {GL_ALWAYS, GL_EQUAL, GL_GREATER, GL_GEQUAL,
                                GL_LESS,   GL_LEQUAL, GL_NEVER,  GL_NOTEQUAL};

const GLenum primitiveType[3] = {GL_TRIANGLES, GL_LINES, GL_POINTS};

const GLenum internalFormat[6] = {0, GL_RGB, GL_RGB, GL_RGBA, GL_RGBA, GL_RGBA};
const GLenum pixelFormat[6] = {0, GL_RGB, GL_RGB, GL_RGBA, GL_RGBA, GL_RGBA};
const GLenum pixelType[6] = {GL_UNSIGNED_BYTE,          GL_UNSIGNED_SHORT_5_6_5,   GL_UNSIGNED_BYTE,
                             GL_UNSIGNED_SHORT_4_4_4_4, GL_UNSIGNED_SHORT_5_5_5_1, GL_UNSIGNED_BYTE};

const GLenum textureFilter[6] = {GL_NEAREST,
                                 GL_LINEAR,
                                 GL_NEAREST_MIPMAP_NEAREST,
                                 GL_NEAREST_MIPMAP_LINEAR,
                                 GL_LINEAR_MIPMAP_NEAREST,
                                 GL_LINEAR_MIPMAP_LINEAR};

const GLenum wrapMode[2] = {GL_CLAMP_TO_EDGE, GL_REPEAT};
}
}
