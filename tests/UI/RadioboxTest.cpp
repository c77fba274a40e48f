// Radio boxes in groups, and the check box.
#include "UI/UITestSupport.h"

#include "Tovrane/Checkbox.h"
#include "Tovrane/Radiobox.h"

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

class RadioboxTest : public JournalFixture
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

    std::vector<std::unique_ptr<Reporter>> reporters;
};
}

TEST_F(RadioboxTest, ReleasingAnotherBoxSwitchesTheActiveOneOffFirstAndSetActiveBoxOnlyRecords)
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
    EXPECT_TRUE(!small->active && medium->active);
    EXPECT_TRUE(showsUp(small) && showsDown(medium) && showsUp(large));

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

    // Deactivating leaves the pair as it is; setActiveBox only records.
    GroupPtr pair(new Group);
    RadioboxPtr a = box("a"), b = box("b");
    a->addToGroup(pair);
    b->addToGroup(pair);
    a->activate();
    take();
    a->deactivate();
    EXPECT_EQ((Journal{"a false"}), take());
    EXPECT_EQ(a.get(), pair->getActiveBox());
    EXPECT_TRUE(showsUp(a));

    pair->setActiveBox(b.get());
    EXPECT_EQ((Journal{"a false"}), take());
    EXPECT_EQ(b.get(), pair->getActiveBox());
    EXPECT_FALSE(b->active);
    pair->setActiveBox(nullptr);
    EXPECT_EQ((Journal{"b false"}), take());
    EXPECT_EQ(nullptr, pair->getActiveBox());
}

// Boxes that are destroyed, removed or moved leave no pointer behind in a group.
TEST_F(RadioboxTest, BoxesLeavingAGroupLeaveNothingBehind)
{
    GroupPtr group(new Group), second(new Group);
    boost::weak_ptr<Group> watched = group;
    RadioboxPtr a = box("a"), b = box("b"), c = box("c"), d = box("d");
    for (const RadioboxPtr& r : {a, b, c, d})
        r->addToGroup(group);
    group.reset();
    GroupPtr alive = watched.lock();
    ASSERT_TRUE(alive); // the boxes keep it

    // The destroyed box was the active one: the group no longer points at it.
    b->activate();
    b.reset();
    EXPECT_EQ((std::vector<Radiobox*>{a.get(), c.get(), d.get()}), alive->boxes);
    EXPECT_EQ(nullptr, alive->getActiveBox());
    // Removing the active box clears it too; a box not listed changes nothing.
    a->activate();
    alive->removeRadiobox(a.get());
    EXPECT_EQ(nullptr, alive->getActiveBox());
    alive->removeRadiobox(a.get());
    EXPECT_EQ(2u, alive->boxes.size());
    // Moving the active box to another group leaves the first, also when it is destroyed later.
    c->activate();
    c->addToGroup(second);
    EXPECT_EQ(second, c->getGroup());
    EXPECT_EQ(std::vector<Radiobox*>{d.get()}, alive->boxes);
    EXPECT_EQ(nullptr, alive->getActiveBox());
    c.reset();
    EXPECT_TRUE(second->boxes.empty());
    take();
    d->activate();
    EXPECT_EQ((Journal{"d true"}), take());

    // A box listed twice leaves completely.
    d->addToGroup(alive);
    EXPECT_EQ(2u, alive->boxes.size());
    d.reset();
    EXPECT_TRUE(alive->boxes.empty());
    alive.reset();
    a.reset();
    EXPECT_TRUE(watched.expired());
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
}
