// The title screen: riff, spoken title, and the one hand-over to the menu.
#include "support/GameTitle.h"

#include "Resources/FrontEnd/MainMenuState.h"
#include "Resources/FrontEnd/TitleState.h"
#include "Tovrane/AudioPlayer.h"

using namespace Tovrane;

namespace
{
class TitleThreadTest : public GameTitle::Run
{
protected:
    void SetUp() override
    {
        GameTitle::Run::SetUp();
        if (!IsSkipped())
            start([]() -> GameState* { return new TitleState; });
    }
    bool inMenu() { return harness->currentAs<MainMenuState>() != nullptr; }
};

TEST_F(TitleThreadTest, ANewPlayerHearsTheRiffToItsEndAndTheTitleOnceASecondIn)
{
    ASSERT_EQ(1, player->firstLaunch);
    EXPECT_TRUE(frameUntil([&] {
        GameTitle::touch(160, 120, 0); // a new player's lifts do nothing
        return inMenu();
    }));
    std::vector<unsigned int> when;
    const GameTitle::Lines seen = events(&when);
    ASSERT_EQ((GameTitle::Lines{"audio-start h_MUSIC_TitleIntroRiff_6.ogg",
                                "audio-start h_SCRIVLET_ScrvltAndFrndsSvTnd_5.ogg", "enter MainMenuState"}),
              GameTitle::Lines(seen.begin(), seen.begin() + 3));
    EXPECT_GE(when[1] - when[0], TitleState::SpeechDelay);
    EXPECT_LT(when[1] - when[0], TitleState::SpeechDelay + 20) << "the first frame at or past the mark";
    EXPECT_GE(when[2] - when[0], 3000u) << "the riff's length";
    EXPECT_EQ(0, GameTitle::savedByte(player->getPlayerDataPath(), 0));
    EXPECT_EQ(2u, stackSize());
}

TEST_F(TitleThreadTest, AReturningPlayersLiftOpensOneMenuWithoutSaving)
{
    player->firstLaunch = 0;
    frame();
    GameTitle::touch(160, 120, 1);
    frame();
    EXPECT_FALSE(inMenu()) << "a press alone";
    GameTitle::touch(160, 120, 0);
    GameTitle::touch(160, 120, 0);
    frame();
    EXPECT_TRUE(inMenu());
    EXPECT_EQ(2u, stackSize()) << "two lifts in a frame, one menu";
    EXPECT_FALSE(GameTitle::fs::exists(player->getPlayerDataPath()));
}

TEST_F(TitleThreadTest, ALiftInTheFrameTheRiffEndsOpensOneMenu)
{
    player->firstLaunch = 0;
    frame();
    AudioPlayer* audio = current<TitleState>()->getAudioPlayer();
    for (int i = 0; i < 300 && audio->isSfxPlaying(); ++i)
    {
        harness->advance();
        if (!audio->isSfxPlaying())
            GameTitle::touch(160, 120, 0);
        harness->app->Update();
    }
    EXPECT_TRUE(inMenu());
    EXPECT_EQ(2u, stackSize());
}
}
