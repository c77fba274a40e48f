// The welcome-back sequence between Play and the town map.
#include "support/GameTitle.h"

#include "Resources/FrontEnd/WelcomeBackState.h"
#include "Resources/Town/TindlewoodMapState.h"

using namespace Tovrane;

namespace
{
struct Below : GameState
{
    Below() : GameState(false, true) {}
};

class WelcomeBackThreadTest : public GameTitle::Run
{
};

TEST_F(WelcomeBackThreadTest, NewsAndMontageOnlyBetweenTheFirehouseAndTheMansion)
{
    start([]() -> GameState* { return new Below; });
    const GameTitle::Lines sequence = {"enter WelcomeBackState", "enter FlashState",
                                       "PushApp ActionNews_Middle_Intro.swf", "enter WelcomeBackState",
                                       "enter MontageState", "enter WelcomeBackState", "enter FlashState",
                                       "PushApp ActionNews_Middle_End.swf", "enter WelcomeBackState",
                                       "enter TindlewoodMapState"};
    const GameTitle::Lines none = {"enter WelcomeBackState", "enter TindlewoodMapState"};
    const struct
    {
        TaskState::Type firehouse, mansion;
        const GameTitle::Lines& expected;
    } rows[] = {{TaskState::Complete, TaskState::Locked, sequence},
                {TaskState::Complete, TaskState::Started, sequence},
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
        EXPECT_EQ(row.expected, events()) << row.firehouse << " " << row.mansion;
        EXPECT_EQ(2u, stackSize());
        GameTitle::buttons(0x20);
        frameUntil([&] { return current<Below>() != nullptr; });
    }
}
}
