#ifndef TOVRANE_BOUNDINGRECTANGLE_H
#define TOVRANE_BOUNDINGRECTANGLE_H

#include "Tovrane/BoundingVolume.h"

namespace Tovrane
{
class BoundingRectangle;
typedef boost::shared_ptr<BoundingRectangle> BoundingRectanglePtr;

// Axis-aligned rectangle in the x-y plane. After every operation but plain
// construction, left <= right and bottom <= top.
class BoundingRectangle : public BoundingVolume
{
    TOVRANE_DECLARE_RTTI(BoundingRectangle)

public:
    BoundingRectangle();
    ~BoundingRectangle() override;

    void computeFromVertices(VertexBufferPtr vertexBuffer) override;
    // `other` must be a bounding rectangle. The centre is kept.
    void growToContain(BoundingVolumePtr other) override;
    // `other` must be a bounding rectangle.
    void copyData(BoundingVolumePtr other) override;
    void translateBy(const Vector3<tFixed>& offset) override;
    void scaleBy(const Vector3<tFixed>& scale) override;
    // True when the ray's origin lies inside or on the edge (x and y only).
    bool isIntersecting(const Ray<tFixed>& ray) const override;

    tFixed left;   // smallest x
    tFixed right;  // largest x
    tFixed top;    // largest y
    tFixed bottom; // smallest y
};
}

#endif
