#include "Tovrane/GLES1Renderer.h"

#include <GLES/gl.h>

#include <cstdint>

namespace Tovrane
{
namespace
{
// Integer part of a 16.16 fraction of `pixels`.
GLint scale(tFixed fraction, int pixels)
{
    return static_cast<GLint>((static_cast<std::int64_t>(fraction.getRaw()) * pixels) >> 16);
}
}

void GLES1Renderer::onViewportChange()
{
    tFixed left(0);
    tFixed right(1);
    tFixed top(1);
    tFixed bottom(0);
    if (camera)
        camera->getViewport(left, right, top, bottom);
    const GLint x = scale(left, width);
    const GLint y = scale(bottom, height);
    const GLint w = scale(right - left, width);
    const GLint h = scale(top - bottom, height);
    glViewport(x, y, w, h);
    glScissor(x, y, w, h);
}

void GLES1Renderer::onFrustumChange()
{
    if (!camera)
        return;
    tFixed left, right, top, bottom, near, far;
    camera->getFrustum(left, right, top, bottom, near, far);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // GL takes bottom before top.
    if (camera->isPerspective())
        glFrustumx(left.getRaw(), right.getRaw(), bottom.getRaw(), top.getRaw(), near.getRaw(), far.getRaw());
    else
        glOrthox(left.getRaw(), right.getRaw(), bottom.getRaw(), top.getRaw(), near.getRaw(), far.getRaw());
}
}
