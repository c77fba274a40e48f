// The developer logo and the title screen.
#include "support/GameTitle.h"

#include "Resources/FrontEnd/MainMenuState.h"
#include "Resources/FrontEnd/PlumoLogoState.h"
#include "Resources/FrontEnd/TitleState.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Character.h"

using namespace Tovrane;
using GameTitle::Lines;

namespace
{
typedef GameTitle::Run TitleThreadTest;

TEST_F(TitleThreadTest, ANewPlayerHearsTheJingleAndTheRiffToTheirEndsAndTheTitleOnceASecondIn)
{
    start([]() -> GameState* { return new PlumoLogoState; });
    PlumoLogoState* logo = current<PlumoLogoState>();
    ASSERT_TRUE(logo && logo->getSceneRoot()->getChildQuantity() == 1);
    EXPECT_EQ("on", logo->getCharacterController()->getCurrentAnimationName());
    frame();
    // The logo drawn in its box, and white around it.
    const StateTestSupport::Rgba blue(0x3a, 0x7b, 0xd5, 255);
    int inBox = 0;
    for (int i = 0; i < 160 * 100; i += 7)
        inBox += StateTestSupport::near(blue, StateTestSupport::pixelAt(80 + i % 160, 70 + i / 160));
    EXPECT_TRUE(inBox > 0 && StateTestSupport::near(StateTestSupport::White, StateTestSupport::pixelAt(20, 20)));
    std::string shown = "on";
    EXPECT_TRUE(frameUntil([&] {
        GameTitle::touch(160, 120, 0); // a new player's lifts do nothing
        const std::string now = current<PlumoLogoState>() ? logo->getCharacterController()->getCurrentAnimationName() : "";
        shown += now.empty() || shown.substr(shown.rfind(' ') + 1) == now ? "" : " " + now;
        return current<MainMenuState>() != nullptr;
    }));
    EXPECT_EQ(0u, shown.find("on off")) << shown;
    std::vector<unsigned int> when;
    EXPECT_EQ((Lines{"audio-start h_SX_DeveloperLogoSfx_6.ogg", "enter TitleState", "audio-start h_MUSIC_TitleIntroRiff_6.ogg",
                     "audio-start h_SCRIVLET_ScrvltAndFrndsSvTnd_5.ogg", "enter MainMenuState"}),
              events({"audio-start h_SX", "audio-start h_MUSIC_T", "audio-start h_SCRIVLET", "enter"}, &when));
    EXPECT_TRUE(when[1] - when[0] >= 2500 && when[1] - when[0] <= 2540) << "the title with the jingle's end: " << when[1] - when[0];
    EXPECT_TRUE(when[3] - when[2] >= TitleState::SpeechDelay && when[3] - when[2] < TitleState::SpeechDelay + 20)
        << "the first frame at or past the mark: " << when[3] - when[2];
    EXPECT_GE(when[4] - when[2], 3000u) << "the riff's length";
    EXPECT_EQ(0, GameTitle::savedByte(player->getPlayerDataPath(), 0));
    EXPECT_EQ(3u, stackSize()) << "the logo and the title wait below the menu";
}

// Once even when lifts come in the frame the sound ends.
TEST_F(TitleThreadTest, AReturningPlayersLiftHandsOverOnceWithoutSaving)
{
    for (bool logo : {true, false})
        for (bool atSoundEnd : {false, true})
        {
            SCOPED_TRACE(std::string(logo ? "logo" : "title") + (atSoundEnd ? " at the sound's end" : ""));
            player->firstLaunch = 0;
            start(logo ? Application::StateMaker([]() -> GameState* { return new PlumoLogoState; })
                       : []() -> GameState* { return new TitleState; });
            AudioPlayer* audio = harness->current()->getAudioPlayer();
            const auto handedOver = [&] { return logo ? harness->currentAs<TitleState>() != nullptr : harness->currentAs<MainMenuState>() != nullptr; };
            frame();
            GameTitle::touch(160, 120, 1);
            frame();
            EXPECT_FALSE(handedOver()) << "a press alone";
            EXPECT_TRUE(audio->isSfxPlaying());
            while (atSoundEnd && audio->isSfxPlaying())
            {
                harness->advance();
                if (audio->isSfxPlaying())
                    harness->app->Update();
            }
            for (int lifts = 0; lifts < 3; ++lifts)
                GameTitle::touch(160, 120, 0);
            harness->app->Update();
            EXPECT_TRUE(handedOver());
            EXPECT_EQ(2u, stackSize()) << "one state handed over to";
            EXPECT_TRUE(!logo || !audio->isSfxPlaying()) << "the jingle stops with the logo";
            EXPECT_FALSE(GameTitle::fs::exists(player->getPlayerDataPath()));
        }
}

TEST_F(TitleThreadTest, AMissingLogoIsSkippedWithAMessageAndTheJingleStillHandsOver)
{
    static const std::string folder = TestSupport::freshFolder("no-logo");
    std::ofstream(folder + "plumo.chr");
    testing::internal::CaptureStdout();
    start([]() -> GameState* {
        PlumoLogoState* bare = new PlumoLogoState;
        bare->getSceneManager().addMetadataPath(folder);
        return bare;
    });
    EXPECT_EQ(0, current<PlumoLogoState>()->getSceneRoot()->getChildQuantity());
    EXPECT_TRUE(frameUntil([&] { return current<TitleState>() != nullptr; }));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, output.find("Could not load character: logo")) << output;
}
}
