#include "Tovrane/GLES1Renderer.h"

#include "GLES1Tables.h"
#include "KelmOpenGLConfig.h"

#include <EGL/egl.h>

namespace Tovrane
{
GLES1ContextPtr GLES1Renderer::sharedContext;

GLES1Renderer::GLES1Renderer()
{
    if (!sharedContext)
        sharedContext.reset(new GLES1Context());
}

GLES1Renderer::~GLES1Renderer()
{
    releaseAllBindings();
}

void GLES1Renderer::clearBuffers() {}

void GLES1Renderer::clearBuffers(int x, int y, int width, int height)
{
    releasePendingBindings();
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, width, height);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glStencilMask(~0u);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

void GLES1Renderer::swapBuffers()
{
    const Vantorel::Kelm::KelmOpenGLConfig* config = sharedContext->getConfig();
    eglSwapBuffers(config->getDisplay(), config->getSurface());
    releasePendingBindings();
}

void GLES1Renderer::checkForErrors(const std::string& where, std::ostream& out)
{
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
    {
        out << "An error was retrieved during a call to " << where << std::endl;
        switch (error)
        {
        case GL_INVALID_ENUM:
            out << "GLenum argument out of range\n";
            break;
        case GL_INVALID_VALUE:
            out << "Numeric argument out of range\n";
            break;
        case GL_INVALID_OPERATION:
            out << "Operation illegal in current state\n";
            break;
        case GL_STACK_OVERFLOW:
        case GL_STACK_UNDERFLOW:
            out << "Command would cause a stack overflow\n";
            break;
        case GL_OUT_OF_MEMORY:
            out << "Not enough memory to execute command\n";
            break;
        default:
            break;
        }
    }
}
}
