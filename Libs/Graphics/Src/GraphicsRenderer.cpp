#include "Tovrane/GraphicsRenderer.h"

#include "Tovrane/Assert.h"
#include "Tovrane/Texture.h"

#include <iostream>

namespace Tovrane
{
namespace
{
typedef std::lock_guard<std::recursive_mutex> Lock;
}

GraphicsRenderer::GraphicsRenderer()
    : width(320),
      height(240),
      camera(nullptr),
      allocatedBufferBytes(0),
      peakBufferBytes(0),
      allocatedTextureBytes(0),
      peakTextureBytes(0),
      drawingThread(std::this_thread::get_id()),
      refusalSaid(false)
{
}

GraphicsRenderer::~GraphicsRenderer()
{
    // The back end has freed its copies by now (releaseAllBindings); whatever
    // is left only loses its entries, so that no resource calls back into a
    // destroyed renderer.
    Lock lock(ResourceBinding::listMutex());
    for (const auto& resource : bound)
    {
        std::vector<ResourceBinding::BindingInformation>& entries = resource.first->bindings;
        for (size_t i = 0; i < entries.size();)
        {
            if (entries[i].renderer == this)
            {
                entries[i] = entries.back();
                entries.pop_back();
            }
            else
                ++i;
        }
    }
}

void GraphicsRenderer::setCamera(CameraPtr newCamera)
{
    camera = newCamera.get();
    if (camera)
    {
        onViewportChange();
        onFrustumChange();
    }
}

void GraphicsRenderer::addBinding(ResourceBinding* binding, ResourceBinding::ReleaseOperation releaseOperation,
                                  ReleaseCall backEndRelease, ResourceIdentifier* identifier)
{
    TOVRANE_ASSERT(identifier && "The back end returned no identifier");
    Lock lock(ResourceBinding::listMutex());
    binding->bindings.push_back({this, releaseOperation, identifier});
    bound[binding] = backEndRelease;
}

bool GraphicsRenderer::bindTexture(TexturePtr texture)
{
    ResourceBinding* binding = texture.get();
    if (!binding)
        return false;
    if (binding->getIdentifier(this))
        return true;
    // A texture that did not fit is left out like a missing picture, every
    // frame, without trying (and saying) it again.
    if (refusedTextures.count(texture->getIdentity()))
        return false;
    ResourceIdentifier* identifier = onBindTexture(texture);
    if (!identifier)
    {
        refusedTextures.insert(texture->getIdentity());
        return false;
    }
    addBinding(binding, &GraphicsRenderer::releaseTexture, &GraphicsRenderer::onReleaseTexture, identifier);
    return true;
}

bool GraphicsRenderer::fitsTextureBudget(std::uint32_t bytes, int textureWidth, int textureHeight)
{
    if (bytes <= TextureBudget && allocatedTextureBytes <= TextureBudget - bytes)
        return true;
    // One line however many textures follow: a large picture shown in tiles
    // would otherwise say every tile.
    if (!refusalSaid)
        std::cout << "Out of texture memory: a texture of " << textureWidth << " x " << textureHeight << " pixels ("
                  << bytes << " bytes) is not made, " << allocatedTextureBytes << " of " << TextureBudget
                  << " bytes being in use; it and any other that does not fit are not shown" << std::endl;
    refusalSaid = true;
    return false;
}

void GraphicsRenderer::bindVertexBuffer(VertexBufferPtr buffer)
{
    ResourceBinding* binding = buffer.get();
    if (!binding || binding->getIdentifier(this))
        return;
    addBinding(binding, &GraphicsRenderer::releaseVertexBuffer, &GraphicsRenderer::onReleaseVertexBuffer,
               onBindVertexBuffer(buffer));
}

void GraphicsRenderer::bindIndexBuffer(IndexBufferPtr buffer)
{
    ResourceBinding* binding = buffer.get();
    if (!binding || binding->getIdentifier(this))
        return;
    addBinding(binding, &GraphicsRenderer::releaseIndexBuffer, &GraphicsRenderer::onReleaseIndexBuffer,
               onBindIndexBuffer(buffer));
}

// The null checks below read like the shared-pointer library's own, whose
// message callers know.
bool GraphicsRenderer::enableTexture(TexturePtr texture, int unit)
{
    const Texture* px = texture.get();
    TOVRANE_ASSERT(px != 0);
    if (!bindTexture(texture))
        return false;
    onEnableTexture(texture->getIdentifier(this), unit);
    return true;
}

void GraphicsRenderer::disableTexture(TexturePtr texture, int unit)
{
    const Texture* px = texture.get();
    TOVRANE_ASSERT(px != 0);
    onDisableTexture(texture->getIdentifier(this), unit);
}

void GraphicsRenderer::enableVertexBuffer(VertexBufferPtr buffer)
{
    const VertexBuffer* px = buffer.get();
    TOVRANE_ASSERT(px != 0);
    bindVertexBuffer(buffer);
    onEnableVertexBuffer(buffer, buffer->getIdentifier(this));
}

void GraphicsRenderer::disableVertexBuffer(VertexBufferPtr buffer)
{
    const VertexBuffer* px = buffer.get();
    TOVRANE_ASSERT(px != 0);
    onDisableVertexBuffer(buffer, buffer->getIdentifier(this));
}

void GraphicsRenderer::enableIndexBuffer(IndexBufferPtr buffer)
{
    if (!buffer)
        return;
    bindIndexBuffer(buffer);
    onEnableIndexBuffer(buffer->getIdentifier(this));
}

void GraphicsRenderer::disableIndexBuffer(IndexBufferPtr buffer)
{
    if (!buffer)
        return;
    onDisableIndexBuffer(buffer->getIdentifier(this));
}

void GraphicsRenderer::releaseTexture(ResourceBinding* binding)
{
    release(binding, &GraphicsRenderer::onReleaseTexture);
}

void GraphicsRenderer::releaseVertexBuffer(ResourceBinding* binding)
{
    release(binding, &GraphicsRenderer::onReleaseVertexBuffer);
}

void GraphicsRenderer::releaseIndexBuffer(ResourceBinding* binding)
{
    release(binding, &GraphicsRenderer::onReleaseIndexBuffer);
}

void GraphicsRenderer::removeEntry(ResourceBinding* binding, ResourceIdentifier* identifier)
{
    std::vector<ResourceBinding::BindingInformation>& entries = binding->bindings;
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (entries[i].renderer == this && entries[i].identifier == identifier)
        {
            entries[i] = entries.back();
            entries.pop_back();
            return;
        }
    }
}

void GraphicsRenderer::release(ResourceBinding* binding, ReleaseCall backEndRelease)
{
    if (!binding)
        return;
    ResourceIdentifier* identifier;
    bool now;
    {
        Lock lock(ResourceBinding::listMutex());
        identifier = binding->getIdentifier(this);
        if (!identifier)
            return;
        removeEntry(binding, identifier);
        bound.erase(binding);
        // Only the drawing thread has the graphics context; any other thread
        // leaves the back end's part to the next frame.
        now = std::this_thread::get_id() == drawingThread;
        if (!now)
            pending.push_back({backEndRelease, identifier});
    }
    if (now)
        (this->*backEndRelease)(identifier);
}

void GraphicsRenderer::releasePendingBindings()
{
    TOVRANE_ASSERT(std::this_thread::get_id() == drawingThread &&
                   "Queued releases are carried out on the drawing thread");
    std::vector<PendingRelease> work;
    {
        Lock lock(ResourceBinding::listMutex());
        work.swap(pending);
    }
    for (const PendingRelease& item : work)
        (this->*item.release)(item.identifier);
}

void GraphicsRenderer::releaseAllBindings()
{
    std::vector<PendingRelease> work;
    {
        Lock lock(ResourceBinding::listMutex());
        work.swap(pending);
        for (const auto& resource : bound)
        {
            ResourceIdentifier* identifier = resource.first->getIdentifier(this);
            if (!identifier)
                continue;
            removeEntry(resource.first, identifier);
            work.push_back({resource.second, identifier});
        }
        bound.clear();
    }
    for (const PendingRelease& item : work)
        (this->*item.release)(item.identifier);
}
}
