// The credits opened from the options page.
#include "MenuTestSupport.h"
#include "support/Golden.h"

#include "Resources/FrontEnd/CreditsState.h"
#include "Tovrane/TiledBillboard.h"

#include <climits>

using namespace MenuTest;

namespace
{
class CreditsThreadTest : public Menu
{
protected:
    void SetUp() override
    {
        Menu::SetUp();
        if (!IsSkipped())
            push();
    }
    void push()
    {
        tap(Options);
        tap(Credits);
        ASSERT_TRUE(frameUntil([&] { return (credits = current<CreditsState>()) != nullptr; }));
        frame(), events();
    }
    // The offset in whole units; the list's centre follows it.
    int offset() const
    {
        const tFixed at = credits->getScrollOffset();
        EXPECT_EQ(at - tFixed(2009.5f), credits->getScrollNode()->getPosition().y);
        return at.getRaw() % 65536 == 0 ? at.getRaw() / 65536 : -1;
    }
    // Popped and released once: the menu is on top again and stays, on the
    // options page, with its music and invitation and the profile's volume.
    void expectClosed()
    {
        EXPECT_TRUE(stackSize() == 1 && !harness->current()->isPopped());
        ASSERT_TRUE(frameUntil([&] { return (menu = current<MainMenuState>()) != nullptr; }));
        EXPECT_TRUE(menu->optionsPage == shownPage() && AudioPlayer::musicVolume == player->musicVolume);
        EXPECT_EQ(Lines({"audio-start h_MUSIC_MainMnMsc60ScndsLpng_6.ogg", "audio-start h_VIDORIV_TapYrChcWthThStyls_3.ogg"}),
                  events({"audio-start h_MUSIC", "audio-start h_VIDORIV"}));
    }

    CreditsState* credits = nullptr;
};

TEST_F(CreditsThreadTest, TheListScrollsInItsWindowByTheDirectionPad)
{
    EXPECT_EQ(Vector3<tFixed>(tFixed(159), tFixed(-2009.5f), tFixed(1)), credits->getScrollNode()->getPosition());
    auto list = boost::dynamic_pointer_cast<TiledBillboard>(credits->getScrollNode()->getChild(0));
    ASSERT_TRUE(list && list->getTileSize() == 256 && list->getPosition().z == tFixed(0.5f));
    EXPECT_TRUE(credits->getAudioPlayer()->isMusicPlaying());
    EXPECT_EQ("h_VIDORIV_PressBBttnTRtrnTOptn_3.ogg", credits->getAudioPlayer()->getCurrentSpeechFile());
    credits->scrollBy(130);
    frame();
    TestSupport::expectFrameGolden(Vantorel::Kelm::KelmOpenGLConfig::readFrame(),
                                   std::string(TOVRANE_TEST_DATA) + "/frontend/credits_scrolled.png");

    const int steps[][3] = {{5, -7, 0}, {100, 5, 105}, {4190, 7, 4195}, {0, INT_MAX, 4195}, {4195, INT_MIN, 0}}; // from, by, to
    for (const auto& step : steps)
    {
        credits->scrollBy(-5000), credits->scrollBy(step[0]), credits->scrollBy(step[1]);
        EXPECT_EQ(step[2], offset()) << step[0] << " by " << step[1];
    }
    credits->scrollBy(-5000);
    for (int i = 1; i <= 840; ++i)
    {
        press(0x2);
        EXPECT_TRUE(i < 838 || std::min(5 * i, 4195) == offset()) << "839 presses reach the end";
    }
    // Held through some frames, then let go and one more frame.
    credits->scrollBy(-3195);
    const int holds[][3] = {{0x2, 10, 55}, {0x1, 3, -20}, {0x3, 0, -5}, {0x4, 5, 0}, {0x8, 5, 0}}; // held, frames, moved
    for (int hold = 0, expected = 1000; hold < 5; ++hold)
    {
        GameTitle::buttons(holds[hold][0]);
        for (int i = 0; i <= holds[hold][1]; ++i)
            frame();
        GameTitle::buttons(0);
        frame(), frame();
        EXPECT_EQ(expected += holds[hold][2], offset()) << "holding " << holds[hold][0];
    }
}

TEST_F(CreditsThreadTest, BackButtonsAndTheCloseButtonPopOnce)
{
    const Point closeButton{279, 240 - 225};
    GameTitle::touch(closeButton.x, closeButton.y, 1);
    GameTitle::touch(160, 120, 1);
    GameTitle::touch(160, 120, 0);
    frame(), frame();
    EXPECT_FALSE(credits->isPopped()) << "rolled off";

    NodePtr list = credits->getScrollNode(); // outlives the state
    player->musicVolume = 52;
    for (std::uint32_t held : {0x22, 0x20, 0x100})
        GameTitle::buttons(held);
    frame();
    EXPECT_EQ(tFixed(5) - tFixed(2009.5f), list->getPosition().y) << "scrolled first";
    frame();
    expectClosed();

    push();
    tap(closeButton);
    expectClosed();
}
}
