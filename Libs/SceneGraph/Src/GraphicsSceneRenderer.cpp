#include "Tovrane/GraphicsSceneRenderer.h"

#include "Tovrane/Assert.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/Texture.h"

namespace Tovrane
{
GraphicsSceneRenderer::GraphicsSceneRenderer() : currentGeometry(nullptr) {}

GraphicsSceneRenderer::~GraphicsSceneRenderer() {}

void GraphicsSceneRenderer::drawScene(GraphicsCuller& culler)
{
    for (int i = 0; i < culler.getVisibleQuantity(); ++i)
    {
        Spatial* element = culler.getVisible(i);
        TOVRANE_ASSERT(element->getType().isDerived(Geometry::RuntimeType) && "Only geometries can be drawn");
        draw(static_cast<Geometry*>(element));
    }
}

void GraphicsSceneRenderer::draw(Geometry* geometry)
{
    TOVRANE_ASSERT(geometry->vertexBuffer && "The geometry has no vertex buffer");
    // Local copies keep the resources alive for the whole draw.
    const TexturePtr texture0 = geometry->textures[0];
    const TexturePtr texture1 = geometry->textures[1];
    const IndexBufferPtr indices = geometry->indexBuffer;
    const VertexBufferPtr vertices = geometry->vertexBuffer;

    currentGeometry = geometry;
    pushWorldTransform();
    // A geometry whose texture was not made (no texture memory left) is not
    // drawn at all, as a sprite of a missing picture.
    const bool first = !texture0 || enableTexture(texture0, 0);
    const bool second = first && (!texture1 || enableTexture(texture1, 1));
    if (second)
    {
        enableIndexBuffer(indices);
        enableVertexBuffer(vertices);
        drawElements();
        disableVertexBuffer(vertices);
        disableIndexBuffer(indices);
    }
    if (texture0 && first)
        disableTexture(texture0, 0);
    if (texture1 && second)
        disableTexture(texture1, 1);
    popWorldTransform();
    currentGeometry = nullptr;
}
}
