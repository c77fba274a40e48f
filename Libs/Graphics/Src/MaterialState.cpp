#include "Tovrane/MaterialState.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, MaterialState, GraphicsState);

namespace
{
const tFixed kOne(1);
const tFixed kPointTwo = tFixed::fromRaw(13107);
const tFixed kPointEight = tFixed::fromRaw(52428);
}

MaterialState::MaterialState()
    : emissive(tFixed(0), tFixed(0), tFixed(0), kOne),
      ambient(kPointTwo, kPointTwo, kPointTwo, kOne),
      diffuse(kPointEight, kPointEight, kPointEight, kOne),
      specular(tFixed(0), tFixed(0), tFixed(0), kOne),
      shininess(kOne)
{
}
}
