// The widget picker: finding the widget under the finger, the press, drag and
// release sequence, click sounds and highlight navigation.
#include "UI/UITestSupport.h"

#include "Tovrane/Button.h"
#include "Tovrane/Node.h"
#include "Tovrane/UIPicker.h"

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
        picker.reset(new UIPicker);
        picker->setAudioPlayer(audio.get());
    }

    boost::shared_ptr<RecordingWidget> place(const std::string& name, int left, int right, int bottom, int top,
                                             bool withHighlight = false)
    {
        boost::shared_ptr<RecordingWidget> w = widget(journal, name, left, right, bottom, top, withHighlight);
        root->addChild(w);
        return w;
    }

    // Brings bounds up to date, hands the widgets to the picker and forgets
    // what happened so far.
    void collect()
    {
        root->update(0);
        picker->addUIElements(root);
        take();
    }

    // A press, drag or lift, and whether it is over an active widget (-1: either).
    struct Pick
    {
        int x, y, state, hit;
    };
    void pick(const std::vector<Pick>& picks)
    {
        for (const Pick& p : picks)
            if (p.hit >= 0)
                EXPECT_EQ(p.hit == 1, picker->doPick(p.x, p.y, p.state)) << p.x << ", " << p.y << ", " << p.state;
            else
                picker->doPick(p.x, p.y, p.state);
    }

    NodePtr root;
    std::unique_ptr<UIPicker> picker;
};
}

// Screen y counts down from the top; widgets get y up from the bottom: a
// widget covering y 0..100 is touched at screen y 140..240.
TEST_F(UIPickerTest, TouchSequences)
{
    const std::string click = "sound h_SX_SelectSfx_6.ogg";
    const struct
    {
        const char* what;
        std::vector<Pick> picks;
        Journal expected;
    } cases[] = {
        {"a tap presses, plays the sound, then releases where the finger lifts",
         {{20, 190, 1, 1}, {21, 189, 0, 1}},
         {"a press 20 50", click, "a release 21 51"}},
        {"a drag inside repeats the press",
         {{10, 230, 1, 1}, {11, 229, 1, 1}, {12, 228, 1, 1}},
         {"a press 10 10", "a press 11 11", "a press 12 12"}},
        {"off and lifted outside: a rolloff for each, no click, nor at a later lift over it",
         {{50, 190, 1, 1}, {150, 190, 1, 0}, {160, 190, 1, 0}, {170, 190, 0, 0}, {50, 190, 0, -1}},
         {"a press 50 50", "a rolloff 150 50", "a rolloff 160 50", "a rolloff 170 50"}},
        {"over another widget and lifted there: no click; the next touch starts afresh",
         {{50, 190, 1, 1}, {250, 190, 1, 1}, {250, 190, 0, 1}, {250, 190, 1, 1}, {250, 190, 0, 1}},
         {"a press 50 50", "a rolloff 250 50", "a rolloff 250 50", "b press 250 50", click, "b release 250 50"}},
        {"a touch started outside never presses", {{170, 190, 1, 0}, {50, 190, 1, 1}, {50, 190, 0, 1}}, {}},
        {"of overlapping widgets the first added wins, though drawn below",
         {{75, 65, 1, 1}, {120, 65, 1, -1}},
         {"c press 75 175", "c rolloff 120 175"}},
        {"the edges of a bound count", {{250, 30, 0, 1}, {260, 20, 0, 1}, {261, 20, 0, 0}, {260, 19, 0, 0}}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        place("a", 0, 100, 0, 100);
        place("b", 200, 300, 0, 100);
        place("c", 0, 100, 150, 200);
        place("d", 50, 150, 150, 200)->setPosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(5)));
        place("e", 250, 260, 210, 220);
        collect();
        pick(c.picks);
        EXPECT_EQ(c.expected, take());
        EXPECT_FALSE(picker->getPressed() && c.picks.back().state == 0);
    }
}

TEST_F(UIPickerTest, HiddenWidgetsAndWidgetsUnderHiddenNodesAreSkipped)
{
    NodePtr group(new Node);
    root->addChild(group);
    group->addChild(widget(journal, "under", 0, 100, 0, 100));
    boost::shared_ptr<RecordingWidget> self = place("self", 0, 100, 0, 100);
    place("later", 0, 100, 0, 100);
    collect();
    group->cullingMode = CullingMode::Hide;
    self->cullingMode = CullingMode::Hide;
    // The touch falls through to the widget added after them.
    pick({{50, 190, 1, 1}, {50, 190, 0, 1}});
    EXPECT_EQ((Journal{"later press 50 50", "sound h_SX_SelectSfx_6.ogg", "later release 50 50"}), take());
    // With every widget there hidden, the touch goes back to the caller.
    root->cullingMode = CullingMode::Hide;
    pick({{50, 190, 1, 0}});
    EXPECT_EQ(Journal{}, take());
    // Showing (mode 2) is not hiding.
    root->cullingMode = CullingMode::Show;
    group->cullingMode = CullingMode::Inherit;
    pick({{50, 190, 0, 1}});
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
    ASSERT_EQ(2u, picker->elements.size());
    EXPECT_EQ(outer, picker->elements[0]);
    // The inner widget's area belongs to the outer widget's bound.
    pick({{250, 190, 1, 1}});
    EXPECT_EQ((Journal{"outer press 250 50"}), take());
    // Collecting again appends.
    picker->addUIElements(root);
    picker->addUIScene(SpatialPtr());
    EXPECT_EQ(4u, picker->elements.size());
}

TEST_F(UIPickerTest, ClickSoundsPlayOnlyWithAPlayerAndAnEmptySoundStopsTheLast)
{
    boost::shared_ptr<RecordingWidget> a = place("a", 0, 100, 0, 100);
    collect();
    const std::string sounds[] = {"h_SX_Pop_6.ogg", "", "h_SX_Pop_6.ogg"};
    // An empty sound starts nothing, but the player still stops the effect
    // that was playing; without a player, silence.
    const std::string heard[] = {"sound h_SX_Pop_6.ogg", "stop sound", ""};
    for (int i = 0; i < 3; ++i)
    {
        a->setClickSound(sounds[i]);
        if (i == 2)
            picker->setAudioPlayer(nullptr);
        pick({{50, 190, 1, 1}, {50, 190, 0, 1}});
        Journal expected{"a press 50 50", heard[i], "a release 50 50"};
        if (heard[i].empty())
            expected.erase(expected.begin() + 1);
        EXPECT_EQ(expected, take()) << i;
    }
}

TEST_F(UIPickerTest, PicturesSwitchAndAreReplaced)
{
    PlanePtr up = picture(0, 10, 0, 10), down = picture(0, 10, 0, 10);
    boost::shared_ptr<RecordingWidget> w(new RecordingWidget(journal, "w", up, down));
    auto modes = [](const SpatialPtr& a, const SpatialPtr& b) {
        return std::make_pair(a->cullingMode, b->cullingMode);
    };
    EXPECT_EQ(std::make_pair(CullingMode::Inherit, CullingMode::Hide), modes(up, down));
    w->showDownImage();
    EXPECT_EQ(std::make_pair(CullingMode::Hide, CullingMode::Show), modes(up, down));
    w->showUpImage();
    EXPECT_EQ(std::make_pair(CullingMode::Show, CullingMode::Hide), modes(up, down));

    PlanePtr newDown = picture(0, 10, 0, 10), newUp = picture(0, 10, 0, 10);
    w->setPressedGeo(newDown);
    EXPECT_EQ(nullptr, down->parent);
    EXPECT_EQ(CullingMode::Hide, newDown->cullingMode);
    w->setPressedGeo(newDown); // the same picture again is no change
    EXPECT_EQ(w.get(), newDown->parent);
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
    // Without candidates navigation does nothing.
    picker->highlightNext();
    picker->select();
    place("a", 0, 10, 0, 10);
    collect();
    picker->highlightNext();
    picker->highlightPrev();
    picker->select();
    EXPECT_EQ(-1, picker->getHighlightIndex());
    EXPECT_EQ(Journal{}, take());

    boost::shared_ptr<RecordingWidget> b = place("b", 20, 30, 0, 10, true), c = place("c", 40, 50, 0, 10, true);
    picker->addUIElement(b);
    picker->addUIElement(c);
    EXPECT_EQ((Journal{"b highlight"}), take());
    EXPECT_EQ(1, picker->getHighlightIndex());
    EXPECT_EQ(b, picker->getHighlighted());
    EXPECT_EQ(CullingMode::Show, b->highlight->cullingMode);
    picker->highlightNext();
    EXPECT_EQ((Journal{"b unhighlight", "c highlight"}), take());
    EXPECT_EQ(CullingMode::Hide, b->highlight->cullingMode);
    picker->highlightNext(); // wraps past a
    EXPECT_EQ((Journal{"c unhighlight", "b highlight"}), take());
    picker->highlightPrev(); // from b back past a to c
    EXPECT_EQ((Journal{"b unhighlight", "c highlight"}), take());
    EXPECT_EQ(2, picker->getHighlightIndex());
    // Hidden widgets are not skipped.
    b->cullingMode = CullingMode::Hide;
    picker->highlightPrev();
    EXPECT_EQ(b, picker->getHighlighted());
    take();
    picker->select();
    EXPECT_EQ((Journal{"b select"}), take());
}

TEST_F(UIPickerTest, EmptiedListForgetsDestroyedWidgets)
{
    place("a", 0, 100, 0, 100, true);
    collect();
    pick({{50, 190, 1, 1}});
    // The owner rebuilds: the old widgets go away entirely.
    picker->elements.clear();
    root->removeAllChildren();
    EXPECT_FALSE(picker->getPressed());
    EXPECT_FALSE(picker->getHighlighted());
    pick({{50, 190, 1, 0}, {50, 190, 0, 0}});
    picker->select();
    // New widgets do not start highlighted (an index is still set), but
    // navigation reaches them from the old index.
    place("b", 0, 10, 0, 10, true);
    place("c", 20, 30, 0, 10, true);
    root->update(0);
    picker->addUIElements(root);
    EXPECT_EQ(Journal{"a press 50 50"}, take());
    picker->highlightNext();
    picker->highlightPrev();
    EXPECT_EQ((Journal{"c highlight", "c unhighlight", "b highlight"}), take());
}

// The screen drops its whole interface from inside the click or the select.
TEST_F(UIPickerTest, ButtonDestroyedByItsOwnClickOrSelect)
{
    for (bool bySelect : {false, true})
    {
        SCOPED_TRACE(bySelect ? "select" : "click");
        TearDown();
        SetUp();
        ButtonPtr button(new Button(picture(0, 100, 0, 100), picture(0, 100, 0, 100)));
        button->highlight = picture(0, 100, 0, 100);
        button->addChild(button->highlight);
        root->addChild(button);
        root->update(0);
        picker->addUIElements(root);
        struct Owner
        {
            void onClick(const ButtonEventArgs& args)
            {
                ++clicks;
                last = args;
                picker->elements.clear();
                root->removeAllChildren();
                button->reset();
            }
            UIPicker* picker;
            Node* root;
            ButtonPtr* button;
            int clicks;
            ButtonEventArgs last;
        } owner{picker.get(), root.get(), &button, 0, ButtonEventArgs()};
        // A second subscriber still hears the click: the button lives until
        // the picker has finished with it.
        struct Other
        {
            void onClick(const ButtonEventArgs&) { ++heard; }
            int heard = 0;
        } other;
        button->releaseEvent += new Button::ButtonEvent::MethodDelegate<Owner>(&owner, &Owner::onClick);
        button->releaseEvent += new Button::ButtonEvent::MethodDelegate<Other>(&other, &Other::onClick);
        boost::weak_ptr<Button> watched = button;

        if (bySelect)
            picker->select();
        else
            pick({{30, 200, 1, 1}, {30, 200, 0, 1}});
        EXPECT_EQ(1, owner.clicks);
        EXPECT_EQ(1, other.heard);
        EXPECT_EQ(bySelect ? -1 : 30, owner.last.x);
        EXPECT_EQ(bySelect ? -1 : 40, owner.last.y);
        EXPECT_TRUE(watched.expired());
        pick({{30, 200, 1, 0}});
        picker->select();
    }
}
