#ifndef TOVRANE_GLES1CONTEXT_H
#define TOVRANE_GLES1CONTEXT_H

#include <boost/shared_ptr.hpp>

#include <memory>

namespace Vantorel
{
namespace Kelm
{
class KelmOpenGLConfig;
}
}

namespace Tovrane
{
// The OpenGL ES display, surface and context, opened once per process and
// shared by every OpenGL ES 1 renderer.
class GLES1Context
{
public:
    GLES1Context();
    ~GLES1Context();

    Vantorel::Kelm::KelmOpenGLConfig* getConfig() const { return config.get(); }

    GLES1Context(const GLES1Context&) = delete;
    GLES1Context& operator=(const GLES1Context&) = delete;

private:
    std::unique_ptr<Vantorel::Kelm::KelmOpenGLConfig> config;
};

typedef boost::shared_ptr<GLES1Context> GLES1ContextPtr;
}

#endif
