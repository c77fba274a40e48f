// Buttons driven through the picker: events, pictures and click sounds.
#include "UI/UITestSupport.h"

#include "Tovrane/Button.h"
#include "Tovrane/Node.h"
#include "Tovrane/UIPicker.h"

using namespace Tovrane;
using namespace UITestSupport;

namespace
{
// Writes each event with its position and which picture was showing when the
// delegate ran ("down" or "up").
struct Listener
{
    void press(const ButtonEventArgs& a) { add("pressEvent", a); }
    void release(const ButtonEventArgs& a) { add("releaseEvent", a); }
    void rolloff(const ButtonEventArgs& a) { add("rolloffEvent", a); }

    void add(const std::string& what, const ButtonEventArgs& a)
    {
        std::string showing;
        if (button->getPressedGeo())
            showing = button->getPressedGeo()->cullingMode == CullingMode::Show ? " down" : " up";
        journal->push_back(what + " " + std::to_string(a.x) + " " + std::to_string(a.y) + showing);
    }

    Journal* journal;
    Button* button;
};

class ButtonTest : public AudioFixture
{
protected:
    void SetUp() override
    {
        AudioFixture::SetUp();
        root.reset(new Node);
        picker.setAudioPlayer(audio.get());
    }

    // A button over x 100..200, y 50..90 (screen y 150..190).
    ButtonPtr make(bool withDownPicture = true)
    {
        ButtonPtr button(new Button(picture(100, 200, 50, 90),
                                    withDownPicture ? SpatialPtr(picture(100, 200, 50, 90)) : SpatialPtr()));
        listen(button);
        root->addChild(button);
        root->update(0);
        picker.addUIElements(root);
        take();
        return button;
    }

    void listen(const ButtonPtr& button)
    {
        listeners.push_back(std::unique_ptr<Listener>(new Listener{&journal, button.get()}));
        Listener* l = listeners.back().get();
        button->pressEvent += new Button::ButtonEvent::MethodDelegate<Listener>(l, &Listener::press);
        button->releaseEvent += new Button::ButtonEvent::MethodDelegate<Listener>(l, &Listener::release);
        button->rolloffEvent += new Button::ButtonEvent::MethodDelegate<Listener>(l, &Listener::rolloff);
    }

    NodePtr root;
    UIPicker picker;
    std::vector<std::unique_ptr<Listener>> listeners;
};
}

TEST_F(ButtonTest, TapFiresPressThenTheSoundThenReleaseAtTheLiftPosition)
{
    ButtonPtr button = make();
    EXPECT_TRUE(picker.doPick(120, 170, 1));
    EXPECT_TRUE(picker.doPick(130, 160, 0));
    EXPECT_EQ((Journal{"pressEvent 120 70 down", "sound h_SX_SelectSfx_6.ogg", "releaseEvent 130 80 up"}), take());
    EXPECT_EQ(CullingMode::Show, button->getReleasedGeo()->cullingMode);
    EXPECT_EQ(CullingMode::Hide, button->getPressedGeo()->cullingMode);

    // Without a down picture the up picture stays, and the events fire.
    root->removeAllChildren();
    picker.elements.clear();
    button = make(false);
    picker.doPick(120, 170, 1);
    EXPECT_EQ(CullingMode::Inherit, button->getReleasedGeo()->cullingMode);
    picker.doPick(120, 170, 0);
    // The first click's sound is still playing: it is stopped first.
    EXPECT_EQ((Journal{"pressEvent 120 70", "stop sound", "sound h_SX_SelectSfx_6.ogg", "releaseEvent 120 70"}),
              take());
}

TEST_F(ButtonTest, SlidingInsideRepeatsPressAndSlidingOffRollsOff)
{
    ButtonPtr button = make();
    picker.doPick(120, 170, 1);
    picker.doPick(125, 170, 1);
    picker.doPick(250, 170, 1);
    EXPECT_EQ(CullingMode::Show, button->getReleasedGeo()->cullingMode);
    picker.doPick(260, 170, 1);
    // Back onto the button while still down: pressed again.
    picker.doPick(150, 170, 1);
    picker.doPick(300, 170, 1);
    // Lifting outside gives the press up: one last rolloff, no click.
    picker.doPick(300, 170, 0);
    EXPECT_EQ((Journal{"pressEvent 120 70 down", "pressEvent 125 70 down", "rolloffEvent 250 70 up",
                       "rolloffEvent 260 70 up", "pressEvent 150 70 down", "rolloffEvent 300 70 up",
                       "rolloffEvent 300 70 up"}),
              take());
    EXPECT_FALSE(picker.getPressed());
    EXPECT_EQ(CullingMode::Hide, button->getPressedGeo()->cullingMode);
}

TEST_F(ButtonTest, HidingThePressedButtonFromItsPressEndsTheGesture)
{
    ButtonPtr button = make();
    struct Hider
    {
        void hide(const ButtonEventArgs&) { target->cullingMode = CullingMode::Hide; }
        Button* target;
    } hider{button.get()};
    button->pressEvent += new Button::ButtonEvent::MethodDelegate<Hider>(&hider, &Hider::hide);
    picker.doPick(120, 170, 1);
    // Now inactive: the lift over it is a rolloff, not a click.
    EXPECT_FALSE(picker.doPick(120, 170, 0));
    EXPECT_EQ((Journal{"pressEvent 120 70 down", "rolloffEvent 120 70 up"}), take());
}
