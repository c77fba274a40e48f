// The title screen's riff, spoken title and one hand-over to the menu, and
// the welcome-back sequence between Play and the town map.
#include "support/GameTitle.h"

#include "Resources/FrontEnd/MainMenuState.h"
#include "Resources/FrontEnd/TitleState.h"
#include "Resources/FrontEnd/WelcomeBackState.h"
#include "Resources/Town/TindlewoodMapState.h"
#include "Tovrane/AudioPlayer.h"

using namespace Tovrane;
using GameTitle::Lines;

namespace
{
class TitleThreadTest : public GameTitle::Run
{
protected:
    bool inMenu() { return harness->currentAs<MainMenuState>() != nullptr; }
};

TEST_F(TitleThreadTest, ANewPlayerHearsTheRiffToItsEndAndTheTitleOnceASecondIn)
{
    start([]() -> GameState* { return new TitleState; });
    EXPECT_TRUE(frameUntil([&] {
        GameTitle::touch(160, 120, 0); // a new player's lifts do nothing
        return inMenu();
    }));
    std::vector<unsigned int> when;
    EXPECT_EQ((Lines{"audio-start h_MUSIC_TitleIntroRiff_6.ogg", "audio-start h_SCRIVLET_ScrvltAndFrndsSvTnd_5.ogg",
                     "enter MainMenuState"}),
              events({"audio-start h_MUSIC_T", "audio-start h_SCRIVLET", "enter"}, &when));
    EXPECT_TRUE(when[1] - when[0] >= TitleState::SpeechDelay && when[1] - when[0] < TitleState::SpeechDelay + 20)
        << "the first frame at or past the mark: " << when[1] - when[0];
    EXPECT_GE(when[2] - when[0], 3000u) << "the riff's length";
    EXPECT_EQ(0, GameTitle::savedByte(player->getPlayerDataPath(), 0));
    EXPECT_EQ(2u, stackSize());
}

TEST_F(TitleThreadTest, AReturningPlayersLiftOpensOneMenuWithoutSaving)
{
    for (bool atRiffEnd : {false, true})
    {
        player->firstLaunch = 0;
        start([]() -> GameState* { return new TitleState; });
        AudioPlayer* audio = harness->current()->getAudioPlayer();
        frame();
        GameTitle::touch(160, 120, 1);
        frame();
        EXPECT_FALSE(inMenu()) << "a press alone";
        // Two lifts in a frame, in the middle of the riff or in the frame
        // its end is heard.
        while (atRiffEnd && audio->isSfxPlaying())
        {
            harness->advance();
            if (audio->isSfxPlaying())
                harness->app->Update();
        }
        GameTitle::touch(160, 120, 0);
        GameTitle::touch(160, 120, 0);
        harness->app->Update();
        EXPECT_TRUE(inMenu());
        EXPECT_EQ(2u, stackSize()) << "one menu";
        EXPECT_FALSE(GameTitle::fs::exists(player->getPlayerDataPath()));
    }
}

TEST_F(TitleThreadTest, WelcomeBackNewsAndMontageOnlyBetweenTheFirehouseAndTheMansion)
{
    struct Below : GameState
    {
        Below() : GameState(false, true) {}
    };
    start([]() -> GameState* { return new Below; });
    const Lines sequence = {"enter WelcomeBackState", "enter FlashState", "PushApp ActionNews_Middle_Intro.swf",
                            "enter WelcomeBackState", "enter MontageState", "enter WelcomeBackState",
                            "enter FlashState", "PushApp ActionNews_Middle_End.swf", "enter WelcomeBackState",
                            "enter TindlewoodMapState"};
    const Lines none = {"enter WelcomeBackState", "enter TindlewoodMapState"};
    const struct
    {
        TaskState::Type firehouse, mansion;
        const Lines& expected;
    } rows[] = {{TaskState::Complete, TaskState::Started, sequence},
                {TaskState::Available, TaskState::Locked, none},
                {TaskState::Complete, TaskState::Complete, none},
                {TaskState::Started, TaskState::Complete, none}};
    for (const auto& row : rows)
    {
        player->locationStates[LocationName::Firehouse] = row.firehouse;
        player->locationStates[LocationName::SpookyMansion] = row.mansion;
        events();
        // As the menu's Play does: the map first, the sequence above it.
        Application::PushGameState(new TindlewoodMapState);
        Application::PushGameState(new WelcomeBackState);
        EXPECT_TRUE(frameUntil([&] { return current<TindlewoodMapState>() != nullptr; }));
        EXPECT_EQ(row.expected, events({"enter", "PushApp"})) << row.firehouse << " " << row.mansion;
        EXPECT_EQ(2u, stackSize());
        press(0x20);
        frameUntil([&] { return current<Below>() != nullptr; });
    }
}
}
