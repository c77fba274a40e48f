#include "Tovrane/Object.h"

#include "Tovrane/Assert.h"
#include "Tovrane/Controller.h"

namespace Tovrane
{
const Rtti Object::RuntimeType("Tovrane.Object", nullptr);
std::atomic<std::uint32_t> Object::nextID(0);

Object::Object() : id(nextID.fetch_add(1)) {}

Object::~Object() { removeAllControllers(); }

void Object::addController(ControllerPtr controller)
{
    TOVRANE_ASSERT(!getType().isDerived(Controller::RuntimeType) &&
                   "Controllers cannot have controllers attached");
    TOVRANE_ASSERT(controller && "Cannot add a null controller");
    // A controller belongs to one object at a time; this also refuses adding it twice.
    TOVRANE_ASSERT(!controller->object && "Controller is already attached to an object");
    for (const ControllerPtr& attached : controllers)
        if (attached == controller)
            return;
    controller->object = this;
    controllers.push_back(controller);
}

void Object::removeController(ControllerPtr controller)
{
    for (auto it = controllers.begin(); it != controllers.end(); ++it)
    {
        TOVRANE_ASSERT(*it && "Null controller in the controller list");
        if (*it == controller)
        {
            (*it)->object = nullptr;
            controllers.erase(it);
            return;
        }
    }
}

void Object::removeAllControllers()
{
    for (const ControllerPtr& controller : controllers)
    {
        TOVRANE_ASSERT(controller && "Null controller in the controller list");
        controller->object = nullptr;
    }
    controllers.clear();
}

ControllerPtr Object::getController(int i) const
{
    TOVRANE_ASSERT((0 <= i) && (i < (int)controllers.size()));
    return controllers[i];
}

void Object::updateControllers(unsigned int appTime)
{
    // The length is read afresh each step; a local reference keeps a controller
    // alive while it runs even if it is removed from the list meanwhile, and one
    // to this object keeps the list alive if a controller drops its last owner.
    const ObjectPtr self = weak_from_this().lock();
    for (size_t i = 0; i < controllers.size(); ++i)
    {
        ControllerPtr controller = controllers[i];
        TOVRANE_ASSERT(controller && "Null controller in the controller list");
        controller->update(appTime);
    }
}
}
