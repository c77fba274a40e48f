#include "Tovrane/Geometry.h"

#include "Tovrane/Assert.h"
#include "Tovrane/BoundingVolume.h"
#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/IndexBuffer.h"
#include "Tovrane/Texture.h"
#include "Tovrane/VertexBuffer.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Geometry, Spatial);

Geometry::Geometry() : textures(2), modelBound(BoundingVolume::Create()) {}

Geometry::Geometry(VertexBufferPtr vertexBuffer, IndexBufferPtr indexBuffer)
    : vertexBuffer(vertexBuffer), indexBuffer(indexBuffer), textures(2), modelBound(BoundingVolume::Create())
{
    Geometry::updateModelBound();
}

Geometry::~Geometry()
{
    modelBound.reset();
    textures.clear();
    indexBuffer.reset();
    vertexBuffer.reset();
}

void Geometry::setTexture(TexturePtr texture, int unit)
{
    TOVRANE_ASSERT((unit == 0 || unit == 1) && "A geometry has texture units 0 and 1");
    textures[unit] = texture;
}

void Geometry::updateModelBound()
{
    TOVRANE_ASSERT(vertexBuffer && "The geometry has no vertex buffer");
    modelBound->computeFromVertices(vertexBuffer);
    // The world bound, and the bounds of the nodes above, derive from it.
    markWorldBoundOutOfDate();
}

void Geometry::updateWorldBound()
{
    if (worldBoundCurrent)
        return;
    worldBound->copyData(modelBound);
    worldBound->translateBy(Vector3<tFixed>(world[12], world[13], world[14]));
    worldBound->scaleBy(Vector3<tFixed>(local[0], local[5], local[10]));
    worldBoundCurrent = true;
}

void Geometry::getVisibleSet(GraphicsCuller& culler, bool) { culler.insert(this); }

void Geometry::getAudibleSet(AudioCuller&, bool) {}
}
