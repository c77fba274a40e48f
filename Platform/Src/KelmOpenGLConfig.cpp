#include "KelmOpenGLConfig.h"

#include <EGL/eglext.h>
#include <GLES/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Vantorel
{
namespace Kelm
{
namespace
{
[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "Could not open the OpenGL ES display: %s failed (EGL error 0x%x)\n", what,
                 static_cast<unsigned>(eglGetError()));
    std::abort();
}
}

KelmOpenGLConfig::KelmOpenGLConfig(int bufferCount, int textureMemoryMiB)
    : bufferCount(bufferCount),
      textureMemoryMiB(textureMemoryMiB),
      display(EGL_NO_DISPLAY),
      surface(EGL_NO_SURFACE),
      context(EGL_NO_CONTEXT)
{
    // The device draws in software here: Mesa's llvmpipe, named so that Mesa
    // does not probe for other drivers first (a failed probe leaves a broken
    // thread-local entry behind that trips the leak checker at exit). A
    // choice made in the environment is kept.
    ::setenv("GALLIUM_DRIVER", "llvmpipe", 0);
    // One rasteriser thread: on a 320 x 240 surface more threads only cost
    // CPU and wall time in hand-overs between them.
    ::setenv("LP_NUM_THREADS", "1", 0);
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay)
        fail("eglGetPlatformDisplayEXT lookup");
    display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY)
        fail("eglGetPlatformDisplayEXT");
    EGLint major = 0;
    EGLint minor = 0;
    if (!eglInitialize(display, &major, &minor))
        fail("eglInitialize");

    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                       EGL_DEPTH_SIZE, 16, EGL_STENCIL_SIZE, 8, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1)
        fail("eglChooseConfig");

    const EGLint surfaceAttributes[] = {EGL_WIDTH, Width, EGL_HEIGHT, Height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE)
        fail("eglCreatePbufferSurface");

    if (!eglBindAPI(EGL_OPENGL_ES_API))
        fail("eglBindAPI");
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT)
        fail("eglCreateContext");
    if (!eglMakeCurrent(display, surface, surface, context))
        fail("eglMakeCurrent");
}

KelmOpenGLConfig::~KelmOpenGLConfig()
{
    if (eglGetCurrentContext() == context)
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    // The display is not terminated: EGL hands every user of the process the
    // same display, and terminating it here would pull it from under another
    // configuration still drawing (the host's, a second renderer context).
    eglReleaseThread();
}

void KelmOpenGLConfig::readFrame(std::uint8_t* frame)
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, frame);
    // OpenGL returns the bottom row first: the rows are swapped in place.
    const size_t rowBytes = static_cast<size_t>(Width) * 4;
    for (int top = 0, bottom = Height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(frame + top * rowBytes, frame + (top + 1) * rowBytes, frame + bottom * rowBytes);
}

std::vector<std::uint8_t> KelmOpenGLConfig::readFrame()
{
    std::vector<std::uint8_t> frame(static_cast<size_t>(Width) * Height * 4);
    readFrame(frame.data());
    return frame;
}
}
}
