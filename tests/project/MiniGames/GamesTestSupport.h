#ifndef TESTS_PROJECT_MINIGAMES_GAMESTESTSUPPORT_H
#define TESTS_PROJECT_MINIGAMES_GAMESTESTSUPPORT_H

// The games on the generated title, run as the host runs them over a launcher
// stand-in and a bottom state (both kept on the stack); sounds read from the
// run trace, records from the usage log.
#include "support/GameTitle.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/MiniGames/MiniGameState.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BoundingRectangle.h"

namespace GamesTest
{
using namespace Tovrane;
using GameTitle::Lines;
using GameTitle::touch;

// A state kept on the stack that counts how often it is entered.
struct Stand : GameState
{
    explicit Stand(int& entries) : GameState(false, true), entries(entries) {}
    void enter() override { GameState::enter(), ++entries; }
    int& entries;
};

// The helpers are public: the tests' tables of game actions use them.
class GameFixture : public GameTitle::Run
{
public:
    void SetUp() override
    {
        GameTitle::Run::SetUp();
        bottomEntries = launcherEntries = 0;
        if (!IsSkipped())
            start([]() -> GameState* { return new Stand(bottomEntries); });
    }

    // The game over the launcher stand-in, loaded and begun.
    template <class Game> Game* start(Game* game)
    {
        Application::PushGameState(new Stand(launcherEntries));
        Application::PushGameState(game);
        frame();
        EXPECT_TRUE(harness->settle());
        return game;
    }
    using GameTitle::Run::start;
    using GameTitle::Run::tap;
    // Frames until the condition holds (asked once a frame), at most 60 s.
    template <class Condition> bool until(Condition condition)
    {
        bool held = false;
        return frameUntil([&] { return held = held || condition(); }, 3000);
    }
    // The game waits for the child, still a frame later (a talk just ended may
    // be followed by the next question).
    bool waitingFor(const MiniGameState& game)
    {
        int frames = 0;
        return until([&] { return (frames = game.isInputReady() && !game.getAudioPlayer()->isSpeechPlaying() ? frames + 1 : 0) == 2; });
    }
    // Down at one screen point, dragged to another and lifted there, in one frame.
    void stroke(int x, int y, int toX, int toY)
    {
        touch(x, y, 1), touch(toX, toY, 1), touch(toX, toY, 0);
        frame();
    }
    // The screen point (y down) of the middle of the element's bound.
    static std::pair<int, int> screenOf(const SpatialPtr& spatial)
    {
        const BoundingRectangle& r = static_cast<const BoundingRectangle&>(*spatial->worldBound);
        return {((r.left + r.right) / tFixed(2)).toInt(), 240 - ((r.bottom + r.top) / tFixed(2)).toInt()};
    }
    // Moves the picture by (dx, dy) screen pixels from its middle.
    void drag(const SpatialPtr& picture, int dx, int dy)
    {
        const std::pair<int, int> at = screenOf(picture);
        stroke(at.first, at.second, at.first + dx, at.second + dy);
    }
    void tap(const SpatialPtr& spatial) { drag(spatial, 0, 0); }
    // Drags a primary (0 red, 1 blue, 2 yellow) from its segment of the title's
    // pie into the pie's centre (156, 64), or lets it go where it was taken.
    void dropColour(int colour, bool intoCentre = true)
    {
        static const int at[3][2] = {{156, 26}, {123, 83}, {189, 83}};
        stroke(at[colour][0], at[colour][1], intoCentre ? 156 : at[colour][0], intoCentre ? 64 : at[colour][1]);
    }
    // The near-and-far game's pineapples, the last children of its scene.
    static SpatialPtr pineapple(const MiniGameState& game, bool large)
    {
        const NodePtr scene = boost::static_pointer_cast<Node>(game.getSceneRoot()->getChild(0));
        return scene->getChild(scene->getChildQuantity() - (large ? 2 : 1));
    }
    // The quit question's buttons: 1 yes, 2 no, 3 close (after the panel).
    static SpatialPtr dialogButton(const MiniGameState& game, int answer) { return game.getDialogBox()->getChild(answer); }
    // Usage-log records written since the test began: name and fields.
    Lines log()
    {
        for (std::string record : logged())
            records.push_back((std::replace(record.begin(), record.end(), '\t', ' '), record));
        return records;
    }
    // The sounds started since the last call, without "h_SPEAKER_" and ".ogg".
    Lines spoken()
    {
        Lines sounds;
        for (const std::string& line : events({"audio-start h_"}))
            sounds.push_back(line.substr(line.find('_', 14) + 1, line.size() - line.find('_', 14) - 5));
        return sounds;
    }

    Lines records;
    static inline int bottomEntries = 0, launcherEntries = 0;
};
}

#endif
