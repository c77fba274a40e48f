// The credits: scrolling by the direction pad, closing, the spoken reminder.
#include "support/GameTitle.h"
#include "support/Golden.h"

#include "Resources/FrontEnd/CreditsState.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/TiledBillboard.h"

#include <climits>

using namespace StateTestSupport;
using Tovrane::CreditsState;

namespace
{
// The credits pushed over a state kept on the stack, as the menu is.
class CreditsThreadTest : public GameTitle::Run
{
protected:
    void SetUp() override
    {
        GameTitle::Run::SetUp();
        if (IsSkipped())
            return;
        static Journal journal;
        start([]() -> Tovrane::GameState* { return new ProbeState(journal, "menu", false, true); });
        push();
    }
    void push()
    {
        credits = new CreditsState;
        Tovrane::Application::PushGameState(credits);
        frame();
        ASSERT_TRUE(harness->settle());
    }
    // The offset in whole units; the list's centre follows it.
    int offset() const
    {
        const tFixed at = credits->getScrollOffset();
        EXPECT_EQ(at - tFixed(2009.5f), credits->getScrollNode()->getPosition().y);
        return at.getRaw() % 65536 == 0 ? at.getRaw() / 65536 : -1;
    }
    // Popped and released once: the menu is on top again and stays.
    bool closed() { return harness->handler().getStackSize() == 1 && !harness->current()->isPopped(); }

    CreditsState* credits = nullptr;
};

TEST_F(CreditsThreadTest, TheListStartsAtItsFirstLinesAndScrollsInItsWindow)
{
    EXPECT_EQ(Tovrane::Vector3<tFixed>(tFixed(159), tFixed(-2009.5f), tFixed(1)), credits->getScrollNode()->getPosition());
    auto list = boost::dynamic_pointer_cast<Tovrane::TiledBillboard>(credits->getScrollNode()->getChild(0));
    ASSERT_TRUE(list && list->getTileSize() == 256 && list->getPosition().z == tFixed(0.5f));
    EXPECT_TRUE(credits->getAudioPlayer()->isMusicPlaying());
    EXPECT_EQ("h_VIDORIV_PressBBttnTRtrnTOptn_3.ogg", credits->getAudioPlayer()->getCurrentSpeechFile());

    credits->scrollBy(130);
    frame();
    TestSupport::expectFrameGolden(Vantorel::Kelm::KelmOpenGLConfig::readFrame(),
                                   std::string(TOVRANE_TEST_DATA) + "/frontend/credits_scrolled.png");

    const struct
    {
        int from, by, to;
    } steps[] = {{5, -7, 0}, {100, 5, 105}, {4190, 7, 4195}, {0, INT_MAX, 4195}, {4195, INT_MIN, 0}};
    for (const auto& step : steps)
    {
        credits->scrollBy(-5000);
        credits->scrollBy(step.from);
        credits->scrollBy(step.by);
        EXPECT_EQ(step.to, offset()) << step.from << " by " << step.by;
    }
}

TEST_F(CreditsThreadTest, TheDirectionPadScrollsByFiveAndHoldingRepeatsEveryFrame)
{
    for (int i = 1; i <= 840; ++i)
    {
        press(0x2);
        EXPECT_TRUE(i < 838 || std::min(5 * i, 4195) == offset()) << "839 presses reach the end";
    }

    credits->scrollBy(-3195);
    int expected = 1000;
    // Held through some frames, then let go and one more frame.
    const struct
    {
        std::uint32_t held;
        int frames, moved;
    } holds[] = {{0x2, 10, 55}, {0x1, 3, -20}, {0x3, 0, -5}, {0x4, 5, 0}, {0x8, 5, 0}};
    for (const auto& hold : holds)
    {
        GameTitle::buttons(hold.held);
        for (int i = 0; i <= hold.frames; ++i)
            frame();
        GameTitle::buttons(0);
        frame();
        frame();
        EXPECT_EQ(expected += hold.moved, offset()) << "holding " << hold.held;
    }
}

TEST_F(CreditsThreadTest, BackButtonsAndTheCloseButtonPopOnce)
{
    const int x = 279, y = 240 - 225; // the close button's middle, in screen rows
    GameTitle::touch(x, y, 1);
    GameTitle::touch(160, 120, 1);
    GameTitle::touch(160, 120, 0);
    frame();
    frame();
    EXPECT_FALSE(credits->isPopped()) << "rolled off";

    Tovrane::NodePtr list = credits->getScrollNode(); // outlives the state
    for (std::uint32_t held : {0x22, 0x20, 0x100})
        GameTitle::buttons(held);
    frame();
    EXPECT_EQ(tFixed(5) - tFixed(2009.5f), list->getPosition().y) << "scrolled first";
    frame();
    EXPECT_TRUE(closed());

    push();
    tap(x, y);
    EXPECT_TRUE(closed());
}
}
