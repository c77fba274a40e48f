// The widget picker: finding the widget under the finger, the press, drag and
// release sequence, click sounds and highlight navigation.
#include "UI/UITestSupport.h"

#include "Tovrane/Button.h"
#include "Tovrane/Node.h"
#include "Tovrane/UIPicker.h"

#include <gtest/gtest.h>

using namespace Tovrane;
using namespace UITestSupport;

namespace
{
class UIPickerTest : public AudioFixture
{
protected:
    void SetUp() override
    {
        AudioFixture::SetUp();
        root.reset(new Node);
        picker.setAudioPlayer(audio.get());
    }

    // Adds a widget to the scene and brings bounds up to date.
    boost::shared_ptr<RecordingWidget> place(const std::string& name, int left, int right, int bottom, int top,
                                             bool withHighlight = false)
    {
        boost::shared_ptr<RecordingWidget> w = widget(journal, name, left, right, bottom, top, withHighlight);
        root->addChild(w);
        return w;
    }

    void collect()
    {
        root->update(0);
        picker.addUIElements(root);
    }

    NodePtr root;
    UIPicker picker;
};
}

// Screen y counts down from the top; widgets get y up from the bottom. A
// widget covering y 200..220 is touched at screen y 30.
TEST_F(UIPickerTest, TapPressesThenPlaysTheSoundThenReleases)
{
    place("a", 10, 50, 200, 220);
    collect();
    take();
    EXPECT_TRUE(picker.doPick(20, 30, 1));
    EXPECT_EQ((Journal{"a press 20 210"}), take());
    EXPECT_TRUE(picker.doPick(21, 31, 0));
    EXPECT_EQ((Journal{"sound h_SX_SelectSfx_6.ogg", "a release 21 209"}), take());
    EXPECT_FALSE(picker.getPressed());
}

TEST_F(UIPickerTest, DragInsideRepeatsThePress)
{
    place("a", 0, 100, 0, 100);
    collect();
    take();
    picker.doPick(10, 230, 1);
    picker.doPick(11, 229, 1);
    picker.doPick(12, 228, 1);
    EXPECT_EQ((Journal{"a press 10 10", "a press 11 11", "a press 12 12"}), take());
}

TEST_F(UIPickerTest, DragOffAndLiftOutsideRollsOffAndLeavesNothingPressed)
{
    place("a", 0, 100, 0, 100);
    collect();
    take();
    EXPECT_TRUE(picker.doPick(50, 190, 1));
    EXPECT_FALSE(picker.doPick(150, 190, 1));
    EXPECT_FALSE(picker.doPick(160, 190, 1));
    EXPECT_FALSE(picker.doPick(170, 190, 0));
    // One rolloff per drag event outside, and one for the lift: the widget is
    // let go, no release, no sound.
    EXPECT_EQ((Journal{"a press 50 50", "a rolloff 150 50", "a rolloff 160 50", "a rolloff 170 50"}), take());
    EXPECT_FALSE(picker.getPressed());
    // A later lift over it is no click.
    picker.doPick(50, 190, 0);
    EXPECT_EQ(Journal{}, take());
}

TEST_F(UIPickerTest, DragOverAnotherWidgetRollsOffTheFirstAndLiftThereIsNoClick)
{
    place("a", 0, 100, 0, 100);
    place("b", 200, 300, 0, 100);
    collect();
    take();
    picker.doPick(50, 190, 1);
    EXPECT_TRUE(picker.doPick(250, 190, 1));
    EXPECT_TRUE(picker.doPick(250, 190, 0));
    EXPECT_EQ((Journal{"a press 50 50", "a rolloff 250 50", "a rolloff 250 50"}), take());
    // The next touch starts afresh on b.
    picker.doPick(250, 190, 1);
    picker.doPick(250, 190, 0);
    EXPECT_EQ((Journal{"b press 250 50", "sound h_SX_SelectSfx_6.ogg", "b release 250 50"}), take());
}

TEST_F(UIPickerTest, TouchStartedOutsideNeverPressesAWidget)
{
    place("a", 0, 100, 0, 100);
    collect();
    take();
    EXPECT_FALSE(picker.doPick(200, 190, 1));
    EXPECT_TRUE(picker.doPick(50, 190, 1));
    EXPECT_TRUE(picker.doPick(50, 190, 0));
    EXPECT_EQ(Journal{}, take());
}

TEST_F(UIPickerTest, OverlappingWidgetsTheFirstAddedWins)
{
    // b is drawn on top of a, but a was added first.
    place("a", 0, 100, 0, 100);
    boost::shared_ptr<RecordingWidget> b = place("b", 50, 150, 0, 100);
    b->setPosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(5)));
    collect();
    take();
    picker.doPick(75, 190, 1);
    picker.doPick(120, 190, 1); // only b is here: a rolls off
    EXPECT_EQ((Journal{"a press 75 50", "a rolloff 120 50"}), take());
}

TEST_F(UIPickerTest, EdgesOfTheBoundCount)
{
    place("a", 10, 20, 10, 20);
    collect();
    EXPECT_TRUE(picker.doPick(10, 230, 0));
    EXPECT_TRUE(picker.doPick(20, 220, 0));
    EXPECT_FALSE(picker.doPick(21, 220, 0));
    EXPECT_FALSE(picker.doPick(20, 219, 0));
}

TEST_F(UIPickerTest, HiddenWidgetsAndWidgetsUnderHiddenNodesAreSkipped)
{
    NodePtr group(new Node);
    root->addChild(group);
    boost::shared_ptr<RecordingWidget> hiddenParent = widget(journal, "under", 0, 100, 0, 100);
    group->addChild(hiddenParent);
    boost::shared_ptr<RecordingWidget> self = place("self", 0, 100, 0, 100);
    place("later", 0, 100, 0, 100);
    collect();
    group->cullingMode = CullingMode::Hide;
    self->cullingMode = CullingMode::Hide;
    take();

    // The touch falls through to the widget added after them.
    picker.doPick(50, 190, 1);
    picker.doPick(50, 190, 0);
    EXPECT_EQ((Journal{"later press 50 50", "sound h_SX_SelectSfx_6.ogg", "later release 50 50"}), take());

    // With every widget there hidden, the touch goes back to the caller.
    root->cullingMode = CullingMode::Hide;
    EXPECT_FALSE(picker.doPick(50, 190, 1));
    EXPECT_EQ(Journal{}, take());
    // Showing (mode 2) is not hiding.
    root->cullingMode = CullingMode::Show;
    group->cullingMode = CullingMode::Inherit;
    EXPECT_TRUE(picker.doPick(50, 190, 0));
}

TEST_F(UIPickerTest, WidgetsInsideWidgetsAreNotCollected)
{
    boost::shared_ptr<RecordingWidget> outer = place("outer", 0, 100, 0, 100);
    outer->addChild(widget(journal, "inner", 200, 300, 0, 100));
    NodePtr deep(new Node);
    deep->addChild(NodePtr(new Node));
    deep->setChild(widget(journal, "deep", 0, 10, 0, 10), 3); // after two empty slots
    root->addChild(deep);
    root->addChild(picture(0, 10, 0, 10)); // a plain picture
    collect();
    ASSERT_EQ(2u, picker.elements.size());
    EXPECT_EQ(outer, picker.elements[0]);
    take();
    // The inner widget's area belongs to the outer widget's bound.
    picker.doPick(250, 190, 1);
    EXPECT_EQ((Journal{"outer press 250 50"}), take());

    // Collecting again appends.
    picker.addUIElements(root);
    EXPECT_EQ(4u, picker.elements.size());
    picker.addUIScene(SpatialPtr());
    EXPECT_EQ(4u, picker.elements.size());
}

TEST_F(UIPickerTest, ClickSoundsPlayOnlyWithAPlayerAndAnEmptySoundStopsTheLast)
{
    boost::shared_ptr<RecordingWidget> a = place("a", 0, 100, 0, 100);
    collect();
    a->setClickSound("h_SX_Pop_6.ogg");
    take();
    picker.doPick(50, 190, 1);
    picker.doPick(50, 190, 0);
    EXPECT_EQ((Journal{"a press 50 50", "sound h_SX_Pop_6.ogg", "a release 50 50"}), take());

    // An empty sound starts nothing, but the player still stops the effect
    // that was playing.
    a->setClickSound("");
    picker.doPick(50, 190, 1);
    picker.doPick(50, 190, 0);
    EXPECT_EQ((Journal{"a press 50 50", "stop sound", "a release 50 50"}), take());

    // No player: silence.
    a->setClickSound("h_SX_Pop_6.ogg");
    picker.setAudioPlayer(nullptr);
    picker.doPick(50, 190, 1);
    picker.doPick(50, 190, 0);
    EXPECT_EQ((Journal{"a press 50 50", "a release 50 50"}), take());
}

TEST_F(UIPickerTest, PicturesSwitchAndAreReplaced)
{
    PlanePtr up = picture(0, 10, 0, 10), down = picture(0, 10, 0, 10);
    boost::shared_ptr<RecordingWidget> w(new RecordingWidget(journal, "w", up, down));
    EXPECT_EQ("h_SX_SelectSfx_6.ogg", w->getClickSound());
    EXPECT_EQ(up, w->getChild(0));
    EXPECT_EQ(down, w->getChild(1));
    EXPECT_EQ(CullingMode::Inherit, up->cullingMode);
    EXPECT_EQ(CullingMode::Hide, down->cullingMode);
    w->showDownImage();
    EXPECT_EQ(CullingMode::Hide, up->cullingMode);
    EXPECT_EQ(CullingMode::Show, down->cullingMode);
    w->showUpImage();
    EXPECT_EQ(CullingMode::Show, up->cullingMode);
    EXPECT_EQ(CullingMode::Hide, down->cullingMode);

    PlanePtr newDown = picture(0, 10, 0, 10);
    w->setPressedGeo(newDown);
    EXPECT_EQ(nullptr, down->parent);
    EXPECT_EQ(w.get(), newDown->parent);
    EXPECT_EQ(CullingMode::Hide, newDown->cullingMode);
    // The same picture again is no change.
    w->setPressedGeo(newDown);
    EXPECT_EQ(w.get(), newDown->parent);
    PlanePtr newUp = picture(0, 10, 0, 10);
    w->setReleasedGeo(newUp);
    EXPECT_EQ(nullptr, up->parent);
    EXPECT_EQ(CullingMode::Inherit, newUp->cullingMode);
    w->setPressedGeo(SpatialPtr());
    EXPECT_EQ(nullptr, newDown->parent);
    // One picture only: no switching.
    w->showDownImage();
    EXPECT_EQ(CullingMode::Inherit, newUp->cullingMode);
}

TEST_F(UIPickerTest, HighlightStartsOnTheFirstWidgetWithOneAndWraps)
{
    boost::shared_ptr<RecordingWidget> a = place("a", 0, 10, 0, 10);
    boost::shared_ptr<RecordingWidget> b = place("b", 20, 30, 0, 10, true);
    boost::shared_ptr<RecordingWidget> c = place("c", 40, 50, 0, 10, true);
    collect();
    EXPECT_EQ((Journal{"b highlight"}), take());
    EXPECT_EQ(1, picker.getHighlightIndex());
    EXPECT_EQ(b, picker.getHighlighted());
    EXPECT_EQ(CullingMode::Show, b->highlight->cullingMode);

    picker.highlightNext();
    EXPECT_EQ((Journal{"b unhighlight", "c highlight"}), take());
    EXPECT_EQ(2, picker.getHighlightIndex());
    EXPECT_EQ(CullingMode::Hide, b->highlight->cullingMode);
    picker.highlightNext(); // wraps past a
    EXPECT_EQ((Journal{"c unhighlight", "b highlight"}), take());
    EXPECT_EQ(1, picker.getHighlightIndex());
    picker.highlightPrev(); // from b back past a to c
    EXPECT_EQ((Journal{"b unhighlight", "c highlight"}), take());
    EXPECT_EQ(2, picker.getHighlightIndex());

    // Hidden widgets are not skipped.
    b->cullingMode = CullingMode::Hide;
    picker.highlightPrev();
    EXPECT_EQ(b, picker.getHighlighted());
    take();
    picker.select();
    EXPECT_EQ((Journal{"b select"}), take());
}

TEST_F(UIPickerTest, HighlightWithoutCandidatesDoesNothing)
{
    picker.highlightNext();
    picker.highlightPrev();
    picker.select();
    place("a", 0, 10, 0, 10);
    collect();
    picker.highlightNext();
    picker.highlightPrev();
    picker.select();
    EXPECT_EQ(-1, picker.getHighlightIndex());
    EXPECT_EQ(Journal{}, take());
}

TEST_F(UIPickerTest, EmptiedListForgetsDestroyedWidgets)
{
    place("a", 0, 100, 0, 100, true);
    collect();
    picker.doPick(50, 190, 1);
    take();
    // The owner rebuilds: the old widgets go away entirely.
    picker.elements.clear();
    root->removeAllChildren();
    EXPECT_FALSE(picker.getPressed());
    EXPECT_FALSE(picker.getHighlighted());
    EXPECT_FALSE(picker.doPick(50, 190, 1));
    EXPECT_FALSE(picker.doPick(50, 190, 0));
    picker.select();
    // New widgets do not start highlighted (an index is still set), but
    // navigation reaches them from the old index.
    place("b", 0, 10, 0, 10, true);
    place("c", 20, 30, 0, 10, true);
    collect();
    EXPECT_EQ(Journal{}, take());
    picker.highlightNext();
    picker.highlightPrev();
    EXPECT_EQ((Journal{"c highlight", "c unhighlight", "b highlight"}), take());
}

TEST_F(UIPickerTest, ButtonDestroyedByItsOwnClick)
{
    ButtonPtr button(new Button(picture(0, 100, 0, 100), picture(0, 100, 0, 100)));
    root->addChild(button);
    collect();
    int clicks = 0;
    struct Owner
    {
        void onClick(const ButtonEventArgs& args)
        {
            ++*clicks;
            last = args;
            // The screen drops its whole interface from inside the click.
            picker->elements.clear();
            root->removeAllChildren();
            button->reset();
        }
        int* clicks;
        ButtonEventArgs last;
        UIPicker* picker;
        Node* root;
        ButtonPtr* button;
    } owner{&clicks, ButtonEventArgs(), &picker, root.get(), &button};
    button->releaseEvent += new Button::ButtonEvent::MethodDelegate<Owner>(&owner, &Owner::onClick);
    // A second subscriber still hears the click: the button lives until the
    // picker has finished with it.
    struct Other
    {
        void onClick(const ButtonEventArgs&) { ++heard; }
        int heard = 0;
    } other;
    button->releaseEvent += new Button::ButtonEvent::MethodDelegate<Other>(&other, &Other::onClick);
    boost::weak_ptr<Button> watched = button;

    picker.doPick(30, 200, 1);
    picker.doPick(30, 200, 0);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(1, other.heard);
    EXPECT_EQ(30, owner.last.x);
    EXPECT_EQ(40, owner.last.y);
    EXPECT_TRUE(watched.expired());
    EXPECT_FALSE(picker.doPick(30, 200, 1));
}

TEST_F(UIPickerTest, ButtonDestroyedByItsOwnSelect)
{
    ButtonPtr button(new Button(picture(0, 100, 0, 100), picture(0, 100, 0, 100)));
    button->highlight = picture(0, 100, 0, 100);
    button->addChild(button->highlight);
    picker.addUIElement(button);
    struct Owner
    {
        void onClick(const ButtonEventArgs&)
        {
            picker->elements.clear();
            button->reset();
        }
        UIPicker* picker;
        ButtonPtr* button;
    } owner{&picker, &button};
    button->releaseEvent += new Button::ButtonEvent::MethodDelegate<Owner>(&owner, &Owner::onClick);
    boost::weak_ptr<Button> watched = button;
    picker.select();
    EXPECT_TRUE(watched.expired());
    picker.select();
}
