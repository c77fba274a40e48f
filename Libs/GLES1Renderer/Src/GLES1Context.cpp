#include "Tovrane/GLES1Context.h"

#include "KelmOpenGLConfig.h"

#include <GLES/gl.h>

namespace Tovrane
{
GLES1Context::GLES1Context() : config(new Vantorel::Kelm::KelmOpenGLConfig(2, 14))
{
    glLineWidthx(0x10000);
}

GLES1Context::~GLES1Context() = default;
}
