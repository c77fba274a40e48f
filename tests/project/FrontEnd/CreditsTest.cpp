// The credits: scrolling by the direction pad, closing, the spoken reminder.
#include "VendrixApplication/StateTestSupport.h"
#include "support/GeneratedTitle.h"
#include "support/Golden.h"

#include "Resources/FrontEnd/CreditsState.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/TiledBillboard.h"

#include "CButtonMPI.h"
#include "CEventMPI.h"

#include <climits>

using namespace StateTestSupport;
using Tovrane::Application;
using Tovrane::CreditsState;

namespace
{
const char* const Reminder = "h_VIDORIV_PressBBttnTRtrnTOptn_3.ogg";

void buttons(std::uint32_t held)
{
    Vantorel::Kelm::tButtonData2 event = {};
    event.buttonState = held;
    Vantorel::Kelm::CButtonMPI::PostButtonEvent(event);
}

void touch(int x, int y, std::uint16_t state)
{
    Vantorel::Kelm::tTouchData data = {};
    data.touchState = state;
    data.x = static_cast<std::int16_t>(x);
    data.y = static_cast<std::int16_t>(y);
    Vantorel::Kelm::CEventMPI::PostTouchEvent(data);
}

// The credits pushed over a state kept on the stack, as the menu is.
class CreditsThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_GENERATED_TITLE("metadata/credits.tex");
        harness.reset(new AppHarness([]() -> Tovrane::GameState* { return new ProbeState(journal(), "menu", false, true); }));
        harness->enter();
        ASSERT_TRUE(harness->settle());
        credits = new CreditsState;
        Application::PushGameState(credits);
        harness->frame();
        ASSERT_TRUE(harness->settle());
    }
    static Journal& journal()
    {
        static Journal j;
        return j;
    }
    int offset() const
    {
        const tFixed at = credits->getScrollOffset();
        EXPECT_EQ(at - tFixed(2009.5f), credits->getScrollNode()->getPosition().y) << "the list follows";
        EXPECT_EQ(0, at.getRaw() % 65536);
        return at.getRaw() / 65536;
    }
    // The credits were popped (and released) once: the menu is on top again.
    bool closed()
    {
        return harness->handler().getStackSize() == 1 && harness->currentAs<ProbeState>() &&
               !harness->current()->isPopped();
    }

    std::unique_ptr<AppHarness> harness;
    CreditsState* credits = nullptr;
};

TEST_F(CreditsThreadTest, TheListStartsAtItsFirstLinesWithMusicAndTheReminder)
{
    EXPECT_FALSE(credits->isShowingLoading());
    EXPECT_TRUE(credits->isKeptOnStack());
    EXPECT_EQ(0, offset());
    EXPECT_EQ(Tovrane::Vector3<tFixed>(tFixed(159), tFixed(-2009.5f), tFixed(1)), credits->getScrollNode()->getPosition());
    auto list = boost::dynamic_pointer_cast<Tovrane::TiledBillboard>(credits->getScrollNode()->getChild(0));
    ASSERT_TRUE(list);
    EXPECT_EQ(Tovrane::Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(0.5f)), list->getPosition());
    EXPECT_EQ(256, list->getTileSize());
    EXPECT_EQ(1, list->getColumns()) << "no tile taller than 256";
    EXPECT_EQ(0xFu, credits->getRepeatMask() & 0xFu);
    EXPECT_TRUE(credits->getAudioPlayer()->isMusicPlaying());
    EXPECT_EQ(Reminder, credits->getAudioPlayer()->getCurrentSpeechFile());

    // Scrolled a little: the mask, the list's numbered lines in its window, the close button.
    credits->scrollBy(130);
    harness->frame();
    std::vector<std::uint8_t> frame = Vantorel::Kelm::KelmOpenGLConfig::readFrame();
    Tovrane::TexturePtr shown(new Tovrane::Texture(320, 240, Tovrane::PixelFormat::RGBA8888));
    std::memcpy(shown->getPixels(), frame.data(), shown->getSize());
    TestSupport::expectGolden(shown, std::string(TOVRANE_TEST_DATA) + "/frontend/credits_scrolled.png");
}

TEST_F(CreditsThreadTest, ScrollingStopsExactlyAtEitherEnd)
{
    const struct
    {
        int from, by, to;
    } steps[] = {{0, -5, 0}, {5, -7, 0}, {100, 5, 105}, {4190, 7, 4195}, {4195, 5, 4195}, {0, INT_MAX, 4195},
                 {4195, INT_MIN, 0}, {2000, 0, 2000}};
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
    for (int i = 0; i < 839; ++i)
    {
        buttons(0x2);
        buttons(0);
        harness->frame();
    }
    EXPECT_EQ(4195, offset()) << "839 presses reach the end";
    buttons(0x2);
    buttons(0);
    harness->frame();
    EXPECT_EQ(4195, offset());

    credits->scrollBy(-5000);
    const struct
    {
        std::uint32_t held;
        int frames, moved;
    } holds[] = {{0x2, 10, 55}, {0x1, 3, -20}, {0x3, 0, -5}, {0x4, 5, 0}, {0x8, 5, 0}, {0x200, 0, 0}};
    int expected = 1000;
    credits->scrollBy(expected);
    for (const auto& hold : holds)
    {
        buttons(hold.held);
        harness->frame();
        for (int i = 0; i < hold.frames; ++i)
            harness->frame();
        buttons(0);
        harness->frame();
        harness->frame();
        expected += hold.moved;
        EXPECT_EQ(expected, offset()) << "holding " << hold.held;
    }
}

TEST_F(CreditsThreadTest, ABackButtonScrollsFirstThenPopsOnce)
{
    Tovrane::NodePtr list = credits->getScrollNode(); // outlives the state
    buttons(0x22);
    buttons(0x20);
    buttons(0x100);
    harness->frame();
    EXPECT_EQ(tFixed(5) - tFixed(2009.5f), list->getPosition().y);
    EXPECT_TRUE(closed());
    harness->frame();
    EXPECT_TRUE(closed());
}

TEST_F(CreditsThreadTest, TheCloseButtonPopsOnAReleaseOverItOnly)
{
    const int x = 279, y = 240 - 225; // its middle, in screen rows
    touch(x, y, 1);
    touch(160, 120, 1);
    touch(160, 120, 0);
    harness->frame();
    harness->frame();
    EXPECT_FALSE(credits->isPopped()) << "rolled off";
    touch(x, y, 1);
    touch(x, y, 0);
    harness->frame();
    harness->frame();
    EXPECT_TRUE(closed());
}

TEST_F(CreditsThreadTest, HintRepeatsTheReminderOnlyWhenNoSpeechPlays)
{
    Tovrane::AudioPlayer* audio = credits->getAudioPlayer();
    audio->playSpeech("h_MUSIC_ArtGalleryMusicLooping_6.ogg");
    buttons(0x200);
    harness->frame();
    EXPECT_EQ("h_MUSIC_ArtGalleryMusicLooping_6.ogg", audio->getCurrentSpeechFile());
    for (int i = 0; i < 400 && audio->isSpeechPlaying(); ++i)
        harness->frame();
    ASSERT_FALSE(audio->isSpeechPlaying());
    buttons(0x200);
    harness->frame();
    EXPECT_TRUE(audio->isSpeechPlaying());
    EXPECT_EQ(Reminder, audio->getCurrentSpeechFile());
}
}
