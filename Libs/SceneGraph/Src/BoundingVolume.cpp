#include "Tovrane/BoundingVolume.h"

#include "Tovrane/BoundingRectangle.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, BoundingVolume, Object);

BoundingVolume* BoundingVolume::Create() { return new BoundingRectangle(); }

BoundingVolume::BoundingVolume() {}

BoundingVolume::~BoundingVolume() {}
}
