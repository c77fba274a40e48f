#ifndef PLATFORM_KELMOPENGLCONFIG_H
#define PLATFORM_KELMOPENGLCONFIG_H

#include <EGL/egl.h>

#include <cstdint>
#include <vector>

namespace Vantorel
{
namespace Kelm
{
// Opens the OpenGL ES display: EGL on Mesa's surfaceless platform (no window
// system needed), a 320x240 pbuffer as the screen and an OpenGL ES 1.1
// context, made current on the constructing thread. The destructor frees the
// context and the surface; the process-wide display stays open. A machine without a working EGL stops the program with a
// message: nothing can be drawn without it.
class KelmOpenGLConfig
{
public:
    static const int Width = 320;
    static const int Height = 240;

    // The device's buffer count and texture memory in MiB. The pbuffer has a
    // single buffer and shares main memory, so both are only kept.
    KelmOpenGLConfig(int bufferCount, int textureMemoryMiB);
    ~KelmOpenGLConfig();

    EGLDisplay getDisplay() const { return display; }
    EGLSurface getSurface() const { return surface; }
    EGLContext getContext() const { return context; }
    int getBufferCount() const { return bufferCount; }
    int getTextureMemoryMiB() const { return textureMemoryMiB; }

    // The frame drawn so far in the context current on this thread, as RGBA
    // bytes, top row first: Width x Height x 4 bytes.
    static std::vector<std::uint8_t> readFrame();
    // The same into `frame`, Width x Height x 4 bytes the caller keeps.
    static void readFrame(std::uint8_t* frame);

    KelmOpenGLConfig(const KelmOpenGLConfig&) = delete;
    KelmOpenGLConfig& operator=(const KelmOpenGLConfig&) = delete;

private:
    int bufferCount;
    int textureMemoryMiB;
    EGLDisplay display;
    EGLSurface surface;
    EGLContext context;
};
}
}

#endif
