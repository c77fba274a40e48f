#include "Tovrane/BlinkController.h"

#include "Tovrane/Spatial.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, BlinkController, Controller);

namespace
{
Spatial* spatialOf(Object* object)
{
    if (!object || !object->getType().isDerived(Spatial::RuntimeType))
        return nullptr;
    return static_cast<Spatial*>(object);
}
}

BlinkController::BlinkController(unsigned int interval) : interval(interval), lastToggleTime(0) {}

BlinkController::~BlinkController() = default;

void BlinkController::stop()
{
    Controller::stop();
    if (Spatial* spatial = spatialOf(getObject()))
        spatial->cullingMode = CullingMode::Hide;
}

bool BlinkController::update(unsigned int appTime)
{
    if (!Controller::update(appTime))
        return false;
    Spatial* spatial = spatialOf(getObject());
    if (spatial && appTime - lastToggleTime >= interval)
    {
        spatial->cullingMode = spatial->cullingMode == CullingMode::Show ? CullingMode::Hide : CullingMode::Show;
        lastToggleTime = appTime;
    }
    return true;
}
}
