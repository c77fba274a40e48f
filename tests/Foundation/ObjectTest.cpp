#include "Tovrane/Controller.h"
#include "Tovrane/Object.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <thread>
#include <vector>

using namespace Tovrane;

namespace
{
// Counts its steps and runs `onUpdate` at each one.
struct Counting : Controller
{
    bool update(unsigned int appTime) override
    {
        ++steps;
        if (onUpdate)
            onUpdate(*this);
        return Controller::update(appTime);
    }
    int steps = 0;
    std::function<void(Counting&)> onUpdate;
};
typedef boost::shared_ptr<Counting> CountingPtr;
}

TEST(Object, IdsFollowConstructionOrderAndTypesFollowBaseLinks)
{
    ObjectPtr a(new Object), b(new Object);
    EXPECT_EQ(a->getID() + 1, b->getID());
    EXPECT_EQ(b->getID() + 1, Object::peekNextID());

    EXPECT_TRUE(Object::RuntimeType.isDerived(Object::RuntimeType));
    EXPECT_FALSE(Object::RuntimeType.isDerived(Controller::RuntimeType));
    EXPECT_TRUE(Controller::RuntimeType.isDerived(Object::RuntimeType));
    EXPECT_EQ("Tovrane.Controller", Controller::RuntimeType.getName());
}

TEST(Object, ControllersAttachDetachAndOutliveTheirObject)
{
    ObjectPtr owner(new Object);
    ControllerPtr a(new Controller), b(new Controller), c(new Controller);
    owner->addController(a);
    owner->addController(b);
    owner->addController(c);
    EXPECT_EQ(owner.get(), a->getObject());
    owner->removeController(ControllerPtr(new Controller)); // not attached: nothing changes
    owner->removeController(b);
    ASSERT_EQ(2, owner->getControllerQuantity());
    EXPECT_EQ(a, owner->getController(0));
    EXPECT_EQ(c, owner->getController(1));
    EXPECT_EQ(nullptr, b->getObject());

    owner->removeAllControllers();
    EXPECT_EQ(0, owner->getControllerQuantity());
    EXPECT_EQ(nullptr, a->getObject());

    owner->addController(c);
    owner.reset();
    EXPECT_EQ(nullptr, c->getObject()); // the controller lives on and can be attached again
    ObjectPtr other(new Object);
    other->addController(c);
    EXPECT_EQ(other.get(), c->getObject());
}

TEST(ObjectDeathTest, ControllerRules)
{
    ObjectPtr owner(new Object), second(new Object);
    ControllerPtr c(new Controller);
    owner->addController(c);
    EXPECT_DEATH(owner->addController(c), "already attached");
    EXPECT_DEATH(second->addController(c), "Controller is already attached to an object");
    EXPECT_DEATH(c->addController(ControllerPtr(new Controller)), "Controllers cannot have controllers");
}

TEST(Object, UpdateSurvivesControllersAddedOrRemovedAndItsOwnerDropped)
{
    // The object holds the only reference to a controller that removes itself.
    ObjectPtr owner(new Object);
    CountingPtr self(new Counting);
    self->onUpdate = [](Counting& me) { me.getObject()->removeController(me.getSharedPointer()); };
    owner->addController(self);
    self.reset();
    owner->updateControllers(4);
    EXPECT_EQ(0, owner->getControllerQuantity());

    CountingPtr first(new Counting), added(new Counting);
    first->onUpdate = [&added](Counting& me) {
        if (added->getObject() == nullptr)
            me.getObject()->addController(added);
    };
    owner->addController(first);
    owner->updateControllers(5);
    EXPECT_EQ(1, added->steps) << "a controller added during the pass is stepped in it";
    owner->updateControllers(6);
    EXPECT_EQ(2, first->steps);
    EXPECT_EQ(2, added->steps);

    // Dropping the last owner of the object: it lives until the pass ends.
    first->onUpdate = [&owner](Counting&) { owner.reset(); };
    Object* raw = owner.get();
    raw->updateControllers(7);
    EXPECT_EQ(nullptr, owner);
    EXPECT_EQ(3, added->steps);
    EXPECT_EQ(nullptr, added->getObject());
}

TEST(ObjectDeathTest, FirstObjectOfTheProcessHasIdZero)
{
    // A fresh process (threadsafe style re-runs only this test) sees ids from 0.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ObjectPtr first(new Object);
            ObjectPtr second(new Object);
            std::exit(first->getID() == 0 && second->getID() == 1 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(ObjectThreadTest, IdsStayUniqueWhenBuiltOnSeveralThreads)
{
    std::vector<std::vector<std::uint32_t>> ids(4);
    std::vector<std::thread> threads;
    for (auto& list : ids)
        threads.emplace_back([&list] {
            for (int i = 0; i < 2000; ++i)
                list.push_back(Object().getID());
        });
    std::set<std::uint32_t> all;
    for (size_t i = 0; i < threads.size(); ++i)
    {
        threads[i].join();
        all.insert(ids[i].begin(), ids[i].end());
    }
    EXPECT_EQ(4u * 2000u, all.size());
}
