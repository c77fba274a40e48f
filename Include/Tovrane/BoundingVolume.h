#ifndef TOVRANE_BOUNDINGVOLUME_H
#define TOVRANE_BOUNDINGVOLUME_H

#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Ray.h"
#include "Tovrane/Mathematics/Vector3.h"
#include "Tovrane/Object.h"

#include <boost/shared_ptr.hpp>

namespace Tovrane
{
class BoundingVolume;
class VertexBuffer;
typedef boost::shared_ptr<BoundingVolume> BoundingVolumePtr;
typedef boost::shared_ptr<VertexBuffer> VertexBufferPtr;

// A bound of a scene element, used for touch picking.
class BoundingVolume : public Object
{
    TOVRANE_DECLARE_RTTI(BoundingVolume)

public:
    // A new empty bound (a bounding rectangle with every field 0); the caller
    // owns it and wraps it in a shared pointer.
    static BoundingVolume* Create();

    ~BoundingVolume() override;

    virtual void computeFromVertices(VertexBufferPtr vertexBuffer) = 0;
    virtual void growToContain(BoundingVolumePtr other) = 0;
    virtual void copyData(BoundingVolumePtr other) = 0;
    virtual void translateBy(const Vector3<tFixed>& offset) = 0;
    // Scales about the centre.
    virtual void scaleBy(const Vector3<tFixed>& scale) = 0;
    virtual bool isIntersecting(const Ray<tFixed>& ray) const = 0;

    Vector3<tFixed> centre;

protected:
    BoundingVolume();
};
}

#endif
