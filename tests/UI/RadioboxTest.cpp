// Radio boxes in groups, and the check box.
#include "UI/UITestSupport.h"

#include "Tovrane/Checkbox.h"
#include "Tovrane/Node.h"
#include "Tovrane/Radiobox.h"
#include "Tovrane/UIPicker.h"

#include <gtest/gtest.h>

using namespace Tovrane;
using namespace UITestSupport;

namespace
{
typedef Radiobox::RadioboxGroup Group;
typedef Radiobox::RadioboxGroupPtr GroupPtr;

// Writes "<name> true/false" for each change.
struct Reporter
{
    void changed(bool state) { journal->push_back(name + (state ? " true" : " false")); }
    Journal* journal;
    std::string name;
};

class RadioboxTest : public ::testing::Test
{
protected:
    RadioboxPtr box(const std::string& name)
    {
        RadioboxPtr b(new Radiobox(picture(0, 10, 0, 10), picture(0, 10, 0, 10)));
        reporters.push_back(std::unique_ptr<Reporter>(new Reporter{&journal, name}));
        b->changedEvent += new Event<void, bool>::MethodDelegate<Reporter>(reporters.back().get(), &Reporter::changed);
        return b;
    }

    static bool showsDown(const UIBasePtr& w)
    {
        return w->getPressedGeo()->cullingMode == CullingMode::Show &&
               w->getReleasedGeo()->cullingMode == CullingMode::Hide;
    }
    static bool showsUp(const UIBasePtr& w)
    {
        return w->getPressedGeo()->cullingMode == CullingMode::Hide &&
               w->getReleasedGeo()->cullingMode != CullingMode::Hide;
    }

    Journal take()
    {
        Journal lines;
        lines.swap(journal);
        return lines;
    }

    Journal journal;
    std::vector<std::unique_ptr<Reporter>> reporters;
};
}

TEST_F(RadioboxTest, ReleasingAnotherBoxSwitchesTheActiveOneOffFirst)
{
    GroupPtr group(new Group);
    RadioboxPtr small = box("small"), medium = box("medium"), large = box("large");
    small->addToGroup(group);
    medium->addToGroup(group);
    large->addToGroup(group);
    EXPECT_EQ((std::vector<Radiobox*>{small.get(), medium.get(), large.get()}), group->boxes);

    small->activate();
    EXPECT_EQ((Journal{"small true"}), take());
    EXPECT_EQ(small.get(), group->getActiveBox());

    medium->onRelease(5, 5);
    EXPECT_EQ((Journal{"small false", "medium true"}), take());
    EXPECT_EQ(medium.get(), group->getActiveBox());
    EXPECT_FALSE(small->active);
    EXPECT_TRUE(medium->active);
    EXPECT_TRUE(showsUp(small));
    EXPECT_TRUE(showsDown(medium));
    EXPECT_TRUE(showsUp(large));

    // Releasing the active box again changes nothing.
    medium->onRelease(5, 5);
    EXPECT_EQ(Journal{}, take());
    // Activating it directly reports true once and keeps it active.
    medium->activate();
    EXPECT_EQ((Journal{"medium true"}), take());
    EXPECT_TRUE(medium->active);

    // Press and rolloff do nothing.
    large->onPress(1, 1);
    large->onRolloff(1, 1);
    EXPECT_EQ(Journal{}, take());
    EXPECT_TRUE(showsUp(large));
}

TEST_F(RadioboxTest, ThroughThePicker)
{
    NodePtr root(new Node);
    GroupPtr group(new Group);
    RadioboxPtr left = box("left"), right = box("right");
    right->setPosition(Vector3<tFixed>(tFixed(20), tFixed(0), tFixed(0)));
    root->addChild(left);
    root->addChild(right);
    left->addToGroup(group);
    right->addToGroup(group);
    root->update(0);
    UIPicker picker;
    picker.addUIElements(root);
    picker.doPick(5, 235, 1);
    picker.doPick(5, 235, 0);
    picker.doPick(25, 235, 1);
    picker.doPick(25, 235, 0);
    EXPECT_EQ((Journal{"left true", "left false", "right true"}), take());
}

TEST_F(RadioboxTest, DeactivateLeavesTheGroupAndSetActiveBoxOnlyRecords)
{
    GroupPtr group(new Group);
    RadioboxPtr a = box("a"), b = box("b");
    a->addToGroup(group);
    b->addToGroup(group);
    a->activate();
    take();
    a->deactivate();
    EXPECT_EQ((Journal{"a false"}), take());
    EXPECT_EQ(a.get(), group->getActiveBox());
    EXPECT_TRUE(showsUp(a));

    group->setActiveBox(b.get());
    EXPECT_EQ((Journal{"a false"}), take());
    EXPECT_EQ(b.get(), group->getActiveBox());
    EXPECT_FALSE(b->active);
    group->setActiveBox(nullptr);
    EXPECT_EQ((Journal{"b false"}), take());
    EXPECT_EQ(nullptr, group->getActiveBox());
}

TEST_F(RadioboxTest, DestroyedBoxesLeaveTheirGroup)
{
    GroupPtr group(new Group);
    boost::weak_ptr<Group> watched = group;
    RadioboxPtr a = box("a"), b = box("b");
    a->addToGroup(group);
    b->addToGroup(group);
    group.reset();
    EXPECT_FALSE(watched.expired()); // the boxes keep it

    b->activate();
    take();
    b.reset();
    GroupPtr alive = watched.lock();
    ASSERT_TRUE(alive);
    EXPECT_EQ((std::vector<Radiobox*>{a.get()}), alive->boxes);
    // The destroyed box was the active one: the group no longer points at it.
    EXPECT_EQ(nullptr, alive->getActiveBox());
    a->activate();
    EXPECT_EQ((Journal{"a true"}), take());
    alive.reset();
    a.reset();
    EXPECT_TRUE(watched.expired());
}

TEST_F(RadioboxTest, RemovingTheActiveBoxClearsIt)
{
    GroupPtr group(new Group);
    RadioboxPtr a = box("a"), b = box("b");
    a->addToGroup(group);
    b->addToGroup(group);
    a->activate();
    group->removeRadiobox(a.get());
    EXPECT_EQ(nullptr, group->getActiveBox());
    EXPECT_EQ((std::vector<Radiobox*>{b.get()}), group->boxes);
    // Removing a box that is not listed changes nothing.
    group->removeRadiobox(a.get());
    EXPECT_EQ(1u, group->boxes.size());
    take();
    b->activate();
    EXPECT_EQ((Journal{"b true"}), take());
}

TEST_F(RadioboxTest, MovingToAnotherGroupLeavesTheFirst)
{
    GroupPtr first(new Group), second(new Group);
    RadioboxPtr a = box("a"), b = box("b");
    a->addToGroup(first);
    b->addToGroup(first);
    a->activate();
    a->addToGroup(second);
    EXPECT_EQ(second, a->getGroup());
    EXPECT_EQ((std::vector<Radiobox*>{b.get()}), first->boxes);
    EXPECT_EQ(nullptr, first->getActiveBox());
    EXPECT_EQ((std::vector<Radiobox*>{a.get()}), second->boxes);
    // Destroying the moved box must not leave the first group pointing at it.
    a.reset();
    take();
    b->activate();
    EXPECT_EQ((Journal{"b true"}), take());
    EXPECT_TRUE(second->boxes.empty());
}

TEST_F(RadioboxTest, ABoxListedTwiceLeavesCompletely)
{
    GroupPtr group(new Group);
    RadioboxPtr a = box("a");
    a->addToGroup(group);
    a->addToGroup(group);
    EXPECT_EQ(2u, group->boxes.size());
    a.reset();
    EXPECT_TRUE(group->boxes.empty());
}

TEST(RadioboxDeathTest, ActivatingABoxWithoutGroupStops)
{
    RadioboxPtr lone(new Radiobox(picture(0, 1, 0, 1), picture(0, 1, 0, 1)));
    EXPECT_FALSE(lone->active);
    EXPECT_DEATH(lone->activate(), "not in a group");
}

TEST_F(RadioboxTest, CheckboxFlipsOnEachRelease)
{
    CheckboxPtr box(new Checkbox(picture(0, 10, 0, 10), picture(0, 10, 0, 10), true));
    Reporter reporter{&journal, "check"};
    box->changedEvent += new Event<void, bool>::MethodDelegate<Reporter>(&reporter, &Reporter::changed);
    EXPECT_TRUE(showsDown(box));
    box->onPress(1, 1);
    box->onRolloff(1, 1);
    EXPECT_TRUE(showsDown(box));
    EXPECT_EQ(Journal{}, take());

    box->onRelease(1, 1);
    EXPECT_FALSE(box->checked);
    EXPECT_TRUE(showsUp(box));
    box->onRelease(1, 1);
    EXPECT_TRUE(box->checked);
    EXPECT_TRUE(showsDown(box));
    EXPECT_EQ((Journal{"check false", "check true"}), take());

    CheckboxPtr unchecked(new Checkbox(picture(0, 10, 0, 10), picture(0, 10, 0, 10), false));
    EXPECT_TRUE(showsUp(unchecked));
    EXPECT_EQ("Tovrane.Checkbox", unchecked->getType().getName());
    EXPECT_EQ("Tovrane.Radiobox", Radiobox::RuntimeType.getName());
}
