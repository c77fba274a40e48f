#include "Tovrane/Controller.h"
#include "Tovrane/Object.h"

#include <gtest/gtest.h>

using namespace Tovrane;

namespace
{
class Counting : public Controller
{
public:
    bool update(unsigned int appTime) override
    {
        ++steps;
        return Controller::update(appTime);
    }
    int steps = 0;
};
}

TEST(Object, IdsFollowConstructionOrder)
{
    ObjectPtr a(new Object);
    ObjectPtr b(new Object);
    EXPECT_EQ(a->getID() + 1, b->getID());
    EXPECT_EQ(b->getID() + 1, Object::peekNextID());
}

TEST(Object, RuntimeTypesFollowBaseLinks)
{
    EXPECT_TRUE(Object::RuntimeType.isDerived(Object::RuntimeType));
    EXPECT_FALSE(Object::RuntimeType.isDerived(Controller::RuntimeType));
    EXPECT_TRUE(Controller::RuntimeType.isDerived(Object::RuntimeType));
    EXPECT_EQ("Tovrane.Controller", Controller::RuntimeType.getName());
    ControllerPtr c(new Controller);
    EXPECT_EQ(&Controller::RuntimeType, &c->getType());
    EXPECT_EQ(c, c->getSharedPointer());
}

TEST(Object, ControllersAttachAndDetach)
{
    ObjectPtr owner(new Object);
    ControllerPtr a(new Controller), b(new Controller);
    owner->addController(a);
    owner->addController(b);
    EXPECT_EQ(2, owner->getControllerQuantity());
    EXPECT_EQ(owner.get(), a->getObject());

    owner->removeController(ControllerPtr(new Controller));
    EXPECT_EQ(2, owner->getControllerQuantity());

    owner->removeAllControllers();
    EXPECT_EQ(0, owner->getControllerQuantity());
    EXPECT_EQ(nullptr, a->getObject());
    EXPECT_EQ(nullptr, b->getObject());
}

TEST(ObjectDeathTest, ControllerRules)
{
    ObjectPtr owner(new Object);
    ControllerPtr c(new Controller);
    owner->addController(c);
    EXPECT_DEATH(owner->addController(c), "already attached");
    EXPECT_DEATH(owner->addController(ControllerPtr()), "null controller");
    EXPECT_DEATH(c->addController(ControllerPtr(new Controller)), "Controllers cannot have controllers");
    EXPECT_DEATH(owner->getController(1), "\\(0 <= i\\) && \\(i < \\(int\\)controllers.size\\(\\)\\)");
}

TEST(Object, ControllerRemovedWhileUpdatingSurvivesTheCall)
{
    class SelfRemoving : public Controller
    {
    public:
        bool update(unsigned int) override
        {
            getObject()->removeController(getSharedPointer());
            return true;
        }
    };
    ObjectPtr owner(new Object);
    owner->addController(ControllerPtr(new SelfRemoving));
    owner->updateControllers(10);
    EXPECT_EQ(0, owner->getControllerQuantity());
}
