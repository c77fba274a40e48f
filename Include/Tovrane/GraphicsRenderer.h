#ifndef TOVRANE_GRAPHICSRENDERER_H
#define TOVRANE_GRAPHICSRENDERER_H

#include "Tovrane/AlphaState.h"
#include "Tovrane/Binding.h"
#include "Tovrane/Camera.h"
#include "Tovrane/IndexBuffer.h"
#include "Tovrane/MaterialState.h"
#include "Tovrane/ResourceIdentifier.h"
#include "Tovrane/VertexBuffer.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Tovrane
{
class Texture;
typedef boost::shared_ptr<Texture> TexturePtr;

// Interface between the engine's resources and a graphics back end. Each
// resource is uploaded once per renderer, on first use, and the renderer's
// binding entry in the resource remembers the back end's identifier until the
// resource drops its bindings (its contents change or it is destroyed).
//
// Bindings may be dropped on a thread that does not draw (a loader changing or
// freeing a texture): the entry is removed at once and the back end's release
// is queued; the drawing thread carries it out with releasePendingBindings().
class GraphicsRenderer
{
public:
    typedef Binding<GraphicsRenderer> ResourceBinding;

    // Bytes of texture memory the device has (14 MiB). A texture that does
    // not fit in what is left is not made (see bindTexture).
    static constexpr std::uint32_t TextureBudget = 14680064;
    // The most bytes one picture read from a file may take at 4 bytes a pixel
    // (12 MiB, 3145728 pixels): the PNG reader refuses larger pictures. Such a
    // picture still does not fit beside what a screen already shows, so a
    // download's own pictures are also bounded together at its entry.
    static constexpr std::uint32_t PictureBudget = 12582912;
    // The widest and highest picture the PNG reader takes, in pixels.
    static constexpr std::uint32_t PictureSideLimit = 8192;
    // The longest chunk other than the image data the PNG reader takes, in
    // bytes (1 MiB), among the chunks before the image data: the reader
    // stops at the end of the image data and reads nothing after it, and the
    // check of a download's pictures bounds the same chunks.
    static constexpr std::uint32_t PictureChunkLimit = 1048576;

    // Screen of 320 x 240 pixels, no camera, all counters 0. The constructing
    // thread is the one that draws.
    GraphicsRenderer();
    // Removes this renderer's entries from every resource that is still bound.
    // A back end frees its objects first by calling releaseAllBindings() in
    // its own destructor.
    virtual ~GraphicsRenderer();

    virtual void clearBuffers() = 0;
    virtual void clearBuffers(int x, int y, int width, int height) = 0;
    virtual void swapBuffers() = 0;
    virtual void onViewportChange() = 0;
    virtual void onFrustumChange() = 0;
    virtual void setAlphaState(AlphaStatePtr alpha) = 0;
    virtual void setMaterialState(MaterialStatePtr material) = 0;
    virtual void onEnableVertexBuffer(VertexBufferPtr buffer, ResourceIdentifier* id) = 0;
    virtual void onDisableVertexBuffer(VertexBufferPtr buffer, ResourceIdentifier* id) = 0;
    virtual ResourceIdentifier* onBindVertexBuffer(VertexBufferPtr buffer) = 0;
    virtual void onReleaseVertexBuffer(ResourceIdentifier* id) = 0;
    virtual void onEnableIndexBuffer(ResourceIdentifier* id) = 0;
    virtual void onDisableIndexBuffer(ResourceIdentifier* id) = 0;
    virtual ResourceIdentifier* onBindIndexBuffer(IndexBufferPtr buffer) = 0;
    virtual void onReleaseIndexBuffer(ResourceIdentifier* id) = 0;
    virtual void onEnableTexture(ResourceIdentifier* id, int unit) = 0;
    virtual void onDisableTexture(ResourceIdentifier* id, int unit) = 0;
    virtual ResourceIdentifier* onBindTexture(TexturePtr texture) = 0;
    virtual void onReleaseTexture(ResourceIdentifier* id) = 0;

    // Keeps only the plain pointer; a camera that is set is read at once
    // (viewport, then frustum). Later changes of the camera need another call.
    void setCamera(CameraPtr camera);
    Camera* getCamera() const { return camera; }

    // Upload on first use; nothing for a null resource or one already uploaded.
    // A texture that would take the allocated bytes past TextureBudget is not
    // made, nor tried again: false, and the first such texture of this
    // renderer is said in one line.
    bool bindTexture(TexturePtr texture);
    void bindVertexBuffer(VertexBufferPtr buffer);
    void bindIndexBuffer(IndexBufferPtr buffer);

    // The texture and the vertex buffer must not be null; a null index buffer
    // is ignored (the vertices are then drawn in order). False, with nothing
    // enabled, for a texture that was not made.
    bool enableTexture(TexturePtr texture, int unit);
    void disableTexture(TexturePtr texture, int unit);
    void enableVertexBuffer(VertexBufferPtr buffer);
    void disableVertexBuffer(VertexBufferPtr buffer);
    void enableIndexBuffer(IndexBufferPtr buffer);
    void disableIndexBuffer(IndexBufferPtr buffer);

    // Called by a resource through its binding entries: frees this renderer's
    // copy and removes the entry.
    void releaseTexture(ResourceBinding* binding);
    void releaseVertexBuffer(ResourceBinding* binding);
    void releaseIndexBuffer(ResourceBinding* binding);

    // Carries out the releases queued by other threads. Drawing thread only.
    void releasePendingBindings();
    // Frees this renderer's copy of every resource it still holds, queued
    // releases included. For the back end's destructor.
    void releaseAllBindings();

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    std::uint32_t getAllocatedBufferBytes() const { return allocatedBufferBytes; }
    std::uint32_t getPeakBufferBytes() const { return peakBufferBytes; }
    std::uint32_t getAllocatedTextureBytes() const { return allocatedTextureBytes; }
    std::uint32_t getPeakTextureBytes() const { return peakTextureBytes; }

    GraphicsRenderer(const GraphicsRenderer&) = delete;
    GraphicsRenderer& operator=(const GraphicsRenderer&) = delete;

protected:
    // For the back end's onBindTexture, before it makes anything: whether a
    // texture of `bytes` (width x height pixels) fits beside the allocated
    // ones. The first that does not is said.
    bool fitsTextureBudget(std::uint32_t bytes, int textureWidth, int textureHeight);

    int width;
    int height;
    Camera* camera;
    // Kept by the back end.
    std::uint32_t allocatedBufferBytes;
    std::uint32_t peakBufferBytes;
    std::uint32_t allocatedTextureBytes;
    std::uint32_t peakTextureBytes;

private:
    typedef void (GraphicsRenderer::*ReleaseCall)(ResourceIdentifier*);

    struct PendingRelease
    {
        ReleaseCall release;
        ResourceIdentifier* identifier;
    };

    // Appends an entry {this, release, identifier} and remembers the resource
    // with the back end's release call for it.
    void addBinding(ResourceBinding* binding, ResourceBinding::ReleaseOperation release,
                    ReleaseCall backEndRelease, ResourceIdentifier* identifier);
    void release(ResourceBinding* binding, ReleaseCall backEndRelease);
    // Removes the entry {this, identifier} by moving the last entry into its place.
    void removeEntry(ResourceBinding* binding, ResourceIdentifier* identifier);

    // `bound` and `pending`, like the entries this renderer makes and removes
    // in resources, are guarded by ResourceBinding::listMutex(): other
    // threads drop bindings while this one draws.
    std::thread::id drawingThread;
    std::unordered_map<ResourceBinding*, ReleaseCall> bound;
    std::vector<PendingRelease> pending;
    // Textures (by Texture::getIdentity) the back end did not make; drawing
    // thread only.
    std::unordered_set<std::uint64_t> refusedTextures;
    bool refusalSaid;
};
}

#endif
