#include "Tovrane/BoundingRectangle.h"

#include "Tovrane/Assert.h"
#include "Tovrane/VertexBuffer.h"

#include <cstdint>
#include <utility>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, BoundingRectangle, BoundingVolume);

namespace
{
// Half of a + b as the bound code has always computed it: the wrapping 32-bit
// sum through a single-precision float, truncated towards zero.
tFixed halfSum(tFixed a, tFixed b)
{
    const std::int32_t sum =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(a.getRaw()) + static_cast<std::uint32_t>(b.getRaw()));
    return tFixed::fromRaw(static_cast<std::int32_t>(static_cast<float>(sum) * 0.5f));
}

const BoundingRectangle& asRectangle(const BoundingVolumePtr& volume)
{
    BoundingRectanglePtr rectangle = boost::dynamic_pointer_cast<BoundingRectangle>(volume);
    TOVRANE_ASSERT(rectangle.get() != 0 && "px != 0");
    return *rectangle;
}
}

BoundingRectangle::BoundingRectangle() {}

BoundingRectangle::~BoundingRectangle() {}

void BoundingRectangle::computeFromVertices(VertexBufferPtr vertexBuffer)
{
    TOVRANE_ASSERT(vertexBuffer && vertexBuffer->getVertexCount() > 0 && "A bound needs at least one vertex");
    const tFixed* positions = vertexBuffer->getPositions();
    tFixed minX = positions[0], maxX = positions[0];
    tFixed minY = positions[1], maxY = positions[1];
    for (int i = 1; i < vertexBuffer->getVertexCount(); ++i)
    {
        const tFixed x = positions[3 * i];
        const tFixed y = positions[3 * i + 1];
        if (x < minX)
            minX = x;
        if (x > maxX)
            maxX = x;
        if (y < minY)
            minY = y;
        if (y > maxY)
            maxY = y;
    }
    centre = Vector3<tFixed>(halfSum(minX, maxX), halfSum(minY, maxY), tFixed(0));
    left = minX;
    right = maxX;
    top = maxY;
    bottom = minY;
}

void BoundingRectangle::growToContain(BoundingVolumePtr other)
{
    const BoundingRectangle& o = asRectangle(other);
    if (o.left < left)
        left = o.left;
    if (o.right > right)
        right = o.right;
    if (o.top > top)
        top = o.top;
    if (o.bottom < bottom)
        bottom = o.bottom;
    if (left > right)
        std::swap(left, right);
    if (bottom > top)
        std::swap(bottom, top);
}

void BoundingRectangle::copyData(BoundingVolumePtr other)
{
    const BoundingRectangle& o = asRectangle(other);
    left = o.left;
    right = o.right;
    top = o.top;
    bottom = o.bottom;
    centre = o.centre;
}

void BoundingRectangle::translateBy(const Vector3<tFixed>& offset)
{
    left += offset.x;
    right += offset.x;
    if (left > right)
        std::swap(left, right);
    top += offset.y;
    bottom += offset.y;
    if (bottom > top)
        std::swap(bottom, top);
    centre = centre + offset;
}

void BoundingRectangle::scaleBy(const Vector3<tFixed>& scale)
{
    const tFixed cx = centre.x;
    const tFixed cy = centre.y;
    const tFixed l = cx + (left - cx) * scale.x;
    const tFixed r = cx + (right - cx) * scale.x;
    const tFixed t = cy + (top - cy) * scale.y;
    const tFixed b = cy + (bottom - cy) * scale.y;
    left = l < r ? l : r;
    right = l < r ? r : l;
    top = t > b ? t : b;
    bottom = t > b ? b : t;
}

bool BoundingRectangle::isIntersecting(const Ray<tFixed>& ray) const
{
    const tFixed x = ray.origin.x;
    const tFixed y = ray.origin.y;
    return left <= x && x <= right && bottom <= y && y <= top;
}
}
