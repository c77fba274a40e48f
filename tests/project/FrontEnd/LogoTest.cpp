// The developer logo: jingle, animation and the hand-over to the title.
#include "VendrixApplication/StateTestSupport.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/FrontEnd/TitleState.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Character.h"
#include "Resources/FrontEnd/PlumoLogoState.h"

#include "CEventMPI.h"

using namespace StateTestSupport;
using Tovrane::Application;
using Tovrane::PlumoLogoState;
using Tovrane::TitleState;

namespace
{
void tap(std::uint16_t touchState)
{
    Vantorel::Kelm::tTouchData touch = {};
    touch.touchState = touchState;
    touch.x = 160;
    touch.y = 120;
    Vantorel::Kelm::CEventMPI::PostTouchEvent(touch);
}

class LogoThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_STATE_TITLE();
        // The title screen that follows shows the loading picture's sheet.
        writeFile(title() + "metadata/title.tex",
                  SpriteTestSupport::encode({{"sheets/test_shared.png",
                                              {SpriteTestSupport::sprite("title/background.png", 0, 320, 0, 240)}}}));
        harness.reset(new AppHarness([]() -> Tovrane::GameState* { return new PlumoLogoState; }));
        harness->enter();
        logo = harness->currentAs<PlumoLogoState>();
        ASSERT_NE(nullptr, logo);
        ASSERT_TRUE(harness->settle());
    }

    void setFirstLaunch(unsigned char value) { Tovrane::ScrivletPlayer::getCurrentPlayerData()->firstLaunch = value; }
    bool jingle() { return logo->getAudioPlayer()->isSfxPlaying(); }

    std::unique_ptr<AppHarness> harness;
    PlumoLogoState* logo = nullptr;
};

TEST_F(LogoThreadTest, TheLogoPlaysOnThenOffWithItsJingleAndTheTitleFollowsItsEnd)
{
    Tovrane::NodePtr root = logo->getSceneRoot();
    ASSERT_EQ(1, root->getChildQuantity());
    Tovrane::SpatialPtr character = root->getChild(0);
    ASSERT_TRUE(character->getType().isDerived(Tovrane::Character::RuntimeType));
    EXPECT_EQ(Tovrane::Vector3<tFixed>(), character->getPosition()) << "left at its node origin";
    EXPECT_EQ("on", logo->getCharacterController()->getCurrentAnimationName());
    EXPECT_FALSE(logo->isSoundStarted()) << "begin does not start it";
    harness->frame();
    EXPECT_TRUE(logo->isSoundStarted());
    EXPECT_TRUE(jingle());

    harness->frame();
    EXPECT_TRUE(near(LogoColour, pixelAt(LogoX + LogoWidth / 2, LogoY + LogoHeight / 2)));
    EXPECT_TRUE(near(White, pixelAt(LogoX - 5, LogoY - 5)));
    // "on" has 3 frames of 83 ms; then "off" follows.
    int frames = 1; // after the first
    for (; frames < 15; ++frames)
        harness->frame();
    EXPECT_EQ("off", logo->getCharacterController()->getCurrentAnimationName());

    // The title comes with the first frame after the jingle.
    for (; frames < 200 && !harness->currentAs<TitleState>(); ++frames)
        harness->frame();
    EXPECT_GE(frames * 20, static_cast<int>(JingleMilliseconds) - 20);
    EXPECT_LE(frames * 20, static_cast<int>(JingleMilliseconds) + 40);
    EXPECT_TRUE(logo->isExited());
    EXPECT_EQ(nullptr, logo->getCharacterController()) << "released by exit";
    ASSERT_EQ(2u, harness->handler().getStackSize()) << "the logo waits below the title";
    TitleState* title = harness->currentAs<TitleState>();
    ASSERT_NE(nullptr, title);
    EXPECT_FALSE(title->isShowingLoading());
    EXPECT_FALSE(title->isKeptOnStack());
    EXPECT_FALSE(title->isRiffStarted());
    EXPECT_FALSE(title->isTitleSpoken());
}

TEST_F(LogoThreadTest, OnlyAReturningPlayersLiftedTapSkipsAndStopsTheJingle)
{
    setFirstLaunch(1);
    harness->frame();
    tap(1);
    harness->frame();
    tap(0);
    harness->frame();
    EXPECT_EQ(logo, harness->current().get()) << "a new player cannot skip";
    setFirstLaunch(0);
    tap(1);
    harness->frame();
    EXPECT_EQ(logo, harness->current().get()) << "pressing does not skip; lifting does";
    EXPECT_TRUE(jingle());
    tap(0);
    harness->frame();
    EXPECT_NE(nullptr, harness->currentAs<TitleState>());
    EXPECT_FALSE(jingle()) << "the jingle stops with the logo's exit";
}

TEST_F(LogoThreadTest, ManyTapsInTheFrameTheJingleEndsHandOverOnce)
{
    setFirstLaunch(0);
    harness->frame();
    for (int i = 0; i < 100 && jingle(); ++i)
    {
        harness->advance();
        if (jingle())
            harness->app->Update();
    }
    ASSERT_FALSE(jingle());
    tap(0);
    tap(0);
    tap(0);
    harness->app->Update();
    EXPECT_NE(nullptr, harness->currentAs<TitleState>());
    EXPECT_EQ(2u, harness->handler().getStackSize()) << "one title, not one per tap";
}

TEST_F(LogoThreadTest, AMissingLogoIsSkippedWithAMessage)
{
    // A scene whose character description lacks the logo.
    const std::string folder = scratchFolder() + "no-logo/";
    writeFile(folder + "plumo.chr", CharacterTestSupport::encode({{"other", {{"plumo", "on", 3}}}}));
    PlumoLogoState* bare = new PlumoLogoState;
    bare->getSceneManager().addMetadataPath(folder);
    testing::internal::CaptureStdout();
    Application::PushGameState(bare);
    harness->frame();
    ASSERT_EQ(bare, harness->current().get());
    ASSERT_TRUE(harness->settle());
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, output.find("Could not load character: logo")) << output;
    EXPECT_EQ(0, bare->getSceneRoot()->getChildQuantity());

    // The jingle still plays and hands over.
    for (int i = 0; i < 100 && !harness->currentAs<TitleState>(); ++i)
        harness->frame();
    EXPECT_NE(nullptr, harness->currentAs<TitleState>());
}
}
