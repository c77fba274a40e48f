#include "Tovrane/BadgePopUpController.h"

#include "Tovrane/Spatial.h"

#include <cstdint>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, BadgePopUpController, Controller);

namespace
{
// a + (b - a) * f, the product formed in 64 bits.
tFixed blend(tFixed a, tFixed b, std::int32_t f)
{
    const std::int64_t span = static_cast<std::int64_t>((b - a).getRaw());
    return a + tFixed::fromRaw(static_cast<std::int32_t>((span * f) >> 16));
}
}

BadgePopUpController::BadgePopUpController() { maxTime = 2000; }

BadgePopUpController::~BadgePopUpController() = default;

bool BadgePopUpController::update(unsigned int appTime)
{
    if (!Controller::update(appTime))
        return false;

    // Throws the pointer library's bad weak pointer when the window has gone.
    SpatialPtr spatial = boost::static_pointer_cast<Spatial>(getObject()->getSharedPointer());

    const unsigned int t = computeControlTime();
    if (t >= SlideTime)
        spatial->setPosition(end);
    else
    {
        const std::int32_t f = static_cast<std::int32_t>(static_cast<float>(t) / SlideTime * 65536.0f);
        spatial->setPosition(Vector3<tFixed>(blend(start.x, end.x, f), blend(start.y, end.y, f),
                                             blend(start.z, end.z, f)));
    }
    spatial->setTransformCurrent(false);
    return true;
}
}
