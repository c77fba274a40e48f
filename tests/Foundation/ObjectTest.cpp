#include "Tovrane/Controller.h"
#include "Tovrane/Object.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

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
    constexpr int perThread = 2000;
    std::vector<std::vector<std::uint32_t>> ids(4);
    std::vector<std::thread> threads;
    for (auto& list : ids)
        threads.emplace_back([&list] {
            for (int i = 0; i < perThread; ++i)
                list.push_back(Object().getID());
        });
    for (auto& t : threads)
        t.join();
    std::set<std::uint32_t> all;
    for (const auto& list : ids)
        all.insert(list.begin(), list.end());
    EXPECT_EQ(ids.size() * perThread, all.size());
}

TEST(ObjectDeathTest, ControllerAttachedElsewhereMustBeRemovedFirst)
{
    ObjectPtr first(new Object), second(new Object);
    ControllerPtr c(new Controller);
    first->addController(c);
    EXPECT_DEATH(second->addController(c), "Controller is already attached to an object");
    EXPECT_DEATH(first->getController(-1), "0 <= i");

    // Once removed it can move.
    first->removeController(c);
    EXPECT_EQ(nullptr, c->getObject());
    second->addController(c);
    EXPECT_EQ(second.get(), c->getObject());
    EXPECT_EQ(c, second->getController(0));
}

TEST(Object, RemoveDetachesOnlyTheMatchingEntry)
{
    ObjectPtr owner(new Object);
    ControllerPtr a(new Controller), b(new Controller), c(new Controller);
    owner->addController(a);
    owner->addController(b);
    owner->addController(c);
    owner->removeController(b);
    ASSERT_EQ(2, owner->getControllerQuantity());
    EXPECT_EQ(a, owner->getController(0));
    EXPECT_EQ(c, owner->getController(1));
    EXPECT_EQ(nullptr, b->getObject());
    EXPECT_EQ(owner.get(), c->getObject());
}

TEST(Object, DestroyedObjectLeavesItsControllersUnattached)
{
    ControllerPtr c(new Controller);
    {
        ObjectPtr owner(new Object);
        owner->addController(c);
    }
    EXPECT_EQ(nullptr, c->getObject());
    // The controller itself lives on and can be attached again.
    ObjectPtr other(new Object);
    other->addController(c);
    EXPECT_EQ(1, other->getControllerQuantity());
}

namespace
{
// Adds a counting controller to its object during its first update.
class Spawning : public Controller
{
public:
    explicit Spawning(boost::shared_ptr<Counting> child) : child(child) {}
    bool update(unsigned int appTime) override
    {
        if (child)
        {
            getObject()->addController(child);
            child.reset();
        }
        return Controller::update(appTime);
    }
    boost::shared_ptr<Counting> child;
};

// Drops the last owner of its object while the object updates its controllers.
class OwnerDropping : public Controller
{
public:
    explicit OwnerDropping(ObjectPtr* holder) : holder(holder) {}
    bool update(unsigned int) override
    {
        holder->reset();
        return true;
    }
    ObjectPtr* holder;
};
}

TEST(Object, UpdateStepsEveryControllerIncludingOnesAddedDuringThePass)
{
    ObjectPtr owner(new Object);
    boost::shared_ptr<Counting> first(new Counting), added(new Counting);
    owner->addController(first);
    owner->addController(ControllerPtr(new Spawning(added)));
    owner->updateControllers(5);
    EXPECT_EQ(1, first->steps);
    EXPECT_EQ(1, added->steps);
    owner->updateControllers(6);
    EXPECT_EQ(2, first->steps);
    EXPECT_EQ(2, added->steps);
}

TEST(Object, ControllerDroppingItsObjectDuringUpdateDoesNotCrash)
{
    ObjectPtr owner(new Object);
    boost::shared_ptr<Counting> after(new Counting);
    owner->addController(ControllerPtr(new OwnerDropping(&owner)));
    owner->addController(after);
    Object* raw = owner.get();
    raw->updateControllers(7);
    // The object lived until the pass ended, then went with its last owner.
    EXPECT_EQ(nullptr, owner);
    EXPECT_EQ(1, after->steps);
    EXPECT_EQ(nullptr, after->getObject());
}
