#ifndef TOVRANE_GLES1RENDERER_H
#define TOVRANE_GLES1RENDERER_H

#include "Tovrane/GLES1Context.h"
#include "Tovrane/GraphicsSceneRenderer.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace Tovrane
{
// The OpenGL ES 1.x back end: fixed-point entry points and GL_FIXED vertex
// data in static buffer objects. Resources are uploaded on first use and
// counted; a texture that does not fit in the device's texture memory is not
// made (GraphicsRenderer::bindTexture). All
// renderers share the process's one GL context.
class GLES1Renderer : public GraphicsSceneRenderer
{
public:
    // Opens the shared context with the first renderer.
    GLES1Renderer();
    // Frees the GL objects of every resource still bound to this renderer.
    ~GLES1Renderer() override;

    // Nothing: clearing is always of a rectangle.
    void clearBuffers() override;
    // Clears colour, depth and stencil inside the rectangle (scissored), with
    // the clear colour last set. Carries out releases queued by other threads.
    void clearBuffers(int x, int y, int width, int height) override;
    // Shows the frame; carries out releases queued by other threads.
    void swapBuffers() override;
    void onViewportChange() override;
    void onFrustumChange() override;
    void setAlphaState(AlphaStatePtr alpha) override;
    void setMaterialState(MaterialStatePtr material) override;
    void onEnableVertexBuffer(VertexBufferPtr buffer, ResourceIdentifier* id) override;
    void onDisableVertexBuffer(VertexBufferPtr buffer, ResourceIdentifier* id) override;
    ResourceIdentifier* onBindVertexBuffer(VertexBufferPtr buffer) override;
    void onReleaseVertexBuffer(ResourceIdentifier* id) override;
    void onEnableIndexBuffer(ResourceIdentifier* id) override;
    void onDisableIndexBuffer(ResourceIdentifier* id) override;
    ResourceIdentifier* onBindIndexBuffer(IndexBufferPtr buffer) override;
    void onReleaseIndexBuffer(ResourceIdentifier* id) override;
    void onEnableTexture(ResourceIdentifier* id, int unit) override;
    void onDisableTexture(ResourceIdentifier* id, int unit) override;
    ResourceIdentifier* onBindTexture(TexturePtr texture) override;
    void onReleaseTexture(ResourceIdentifier* id) override;

    void drawElements() override;
    void pushWorldTransform() override;
    void popWorldTransform() override;

    // Makes `unit` the active and client-active texture unit.
    void setActiveTextureUnit(int unit);
    // Diagnostic: writes every pending GL error to `out`.
    void checkForErrors(const std::string& where, std::ostream& out);

    static GLES1ContextPtr getSharedContext() { return sharedContext; }

private:
    static GLES1ContextPtr sharedContext;
};
}

#endif
