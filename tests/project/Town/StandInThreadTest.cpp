// The town map and montage stand-ins over a screen kept below them.
#include "support/GameTitle.h"

#include "Resources/Studio/DrawingStudioState.h"
#include "Resources/Town/MontageState.h"
#include "Resources/Town/TindlewoodMapState.h"

using namespace Tovrane;

namespace
{
struct Below : GameState
{
    Below() : GameState(false, true) {}
    static GameState* make() { return new Below; }
};

class StandInThreadTest : public GameTitle::Run
{
protected:
    // Pushes `state` and runs until it has begun.
    template <class State> State* push(State* state)
    {
        Application::PushGameState(state);
        frameUntil([&] { return harness->current().get() == state && state->hasBegun(); });
        return state;
    }
};

TEST_F(StandInThreadTest, TheMapClearsTheNewGameFlagOnceAndClosesThreeWays)
{
    start(Below::make);
    ASSERT_EQ(1, player->mapTutorialPending);
    const std::function<void()> ways[] = {[] { GameTitle::touch(298, 22, 1); GameTitle::touch(298, 22, 0); },
                                          [] { GameTitle::buttons(0x20); }, [] { GameTitle::buttons(0x100); }};
    for (const auto& way : ways)
    {
        TindlewoodMapState* map = push(new TindlewoodMapState);
        EXPECT_TRUE(map->isKeptOnStack());
        EXPECT_EQ(0, GameTitle::savedByte(player->getPlayerDataPath(), 1)) << "cleared on disk";
        way();
        way(); // a second request in the same frame pops nothing more
        EXPECT_TRUE(frameUntil([&] { return current<Below>() != nullptr; }));
        EXPECT_EQ(1u, stackSize());
    }
    // The studio button, tapped twice in a frame: one studio, then the map again.
    TindlewoodMapState* map = push(new TindlewoodMapState);
    for (int tap = 0; tap < 2; ++tap)
    {
        GameTitle::touch(160, 178, 1);
        GameTitle::touch(160, 178, 0);
    }
    frame();
    EXPECT_TRUE(frameUntil([&] { return current<DrawingStudioState>() != nullptr; }));
    EXPECT_EQ(3u, stackSize());
    Application::PopGameState();
    EXPECT_TRUE(frameUntil([&] { return current<TindlewoodMapState>() == map; }));
}

TEST_F(StandInThreadTest, TheMontageEndsAfterThreeSecondsOrAtATap)
{
    start(Below::make);
    for (bool tap : {false, true})
    {
        push(new MontageState);
        const unsigned int begun = harness->app->getApplicationTime();
        if (tap)
            GameTitle::touch(160, 120, 0);
        EXPECT_TRUE(frameUntil([&] { return harness->currentAs<Below>() != nullptr; }, 200));
        const unsigned int shown = harness->app->getApplicationTime() - begun;
        EXPECT_TRUE(tap ? shown <= 40 : shown >= MontageState::Duration && shown <= MontageState::Duration + 60)
            << shown;
    }
}
}
