#include "Tovrane/Spatial.h"

#include "Tovrane/BoundingVolume.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Spatial, Object);

Spatial::Spatial()
    : parent(nullptr),
      worldBound(BoundingVolume::Create()),
      transformCurrent(false),
      worldBoundCurrent(false),
      cullingMode(CullingMode::Inherit),
      worldBoundScaledByParent(false)
{
}

Spatial::~Spatial() { worldBound.reset(); }

void Spatial::update(unsigned int appTime)
{
    updateWorld(appTime);
    updateWorldBound();
}

void Spatial::updateWorld(unsigned int appTime)
{
    updateControllers(appTime);
    if (!transformCurrent)
        world = parent ? parent->world * local : local;
}

void Spatial::setTransformCurrent(bool value)
{
    transformCurrent = value;
    worldBoundCurrent = value;
    if (!value)
        worldBoundScaledByParent = false;
    // The parent's bound contains this one, so it has to follow.
    if (!value && parent)
        parent->markWorldBoundOutOfDate();
}

void Spatial::markWorldBoundOutOfDate()
{
    for (Spatial* element = this; element; element = element->parent)
    {
        element->worldBoundCurrent = false;
        element->worldBoundScaledByParent = false;
    }
}

void Spatial::onGetVisibleSet(GraphicsCuller& culler, bool force)
{
    if (cullingMode == CullingMode::Hide)
        return;
    if (cullingMode == CullingMode::Show)
        force = true;
    getVisibleSet(culler, force);
}

void Spatial::onGetAudibleSet(AudioCuller& culler, bool force)
{
    if (cullingMode == CullingMode::Hide)
        return;
    if (cullingMode == CullingMode::Show)
        force = true;
    getAudibleSet(culler, force);
}

Vector3<tFixed> Spatial::getPosition() const { return Vector3<tFixed>(local[12], local[13], local[14]); }

void Spatial::setPosition(const Vector3<tFixed>& position)
{
    local[12] = position.x;
    local[13] = position.y;
    local[14] = position.z;
    setTransformCurrent(false);
}

void Spatial::movePosition(const Vector3<tFixed>& delta)
{
    local[12] += delta.x;
    local[13] += delta.y;
    local[14] += delta.z;
    setTransformCurrent(false);
}

SpatialPtr Spatial::getParent() { return parent ? parent->getSharedPointer() : SpatialPtr(); }
}
