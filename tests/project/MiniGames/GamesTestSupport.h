#ifndef TESTS_PROJECT_MINIGAMES_GAMESTESTSUPPORT_H
#define TESTS_PROJECT_MINIGAMES_GAMESTESTSUPPORT_H

// The games on the generated title, run as the host runs them over a launcher
// stand-in and a bottom state (both kept on the stack), the mixer on the
// virtual clock; sounds read from the run trace, records from the usage log.
#include "VendrixApplication/StateTestSupport.h"
#include "project/Studio/StudioTestSupport.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/MiniGames/MiniGameState.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BoundingRectangle.h"

#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "CLogFile.h"
#include "HostTrace.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace GamesTest
{
using namespace Tovrane;
typedef std::vector<std::string> Lines;

// A state kept on the stack that counts how often it is entered.
struct Stand : GameState
{
    explicit Stand(int& entries) : GameState(false, true), entries(entries) {}
    void enter() override { GameState::enter(), ++entries; }
    int& entries;
};

// The lines after `offset` of a text file, each from after its first
// `separator` on; `offset` moves past them.
inline Lines linesFrom(const std::string& path, std::uintmax_t& offset, char separator)
{
    std::ifstream in(path);
    in.seekg(static_cast<std::streamoff>(offset));
    Lines lines;
    for (std::string line; std::getline(in, line); offset += line.size() + 1)
        lines.push_back(line.substr(line.find(separator) + 1));
    return lines;
}

// The helpers are public: the tests' tables of game actions use them.
class GameFixture : public ::testing::Test
{
public:
    void SetUp() override
    {
        const StudioTest::Root& root = StudioTest::scratchRoot(); // the generated title
        if (root.path.empty() || !std::filesystem::exists(std::string(TOVRANE_BINARY_DIR) + "/title/audio"))
            GTEST_SKIP() << "no data root of this program's own, or no generated title";
        HostTrace::open(tracePath = root.path + "/trace.txt");
        traceOffset = 0;
        const std::string log = CLogFile::Instance()->GetPath().raw();
        logOffset = std::filesystem::exists(log) ? std::filesystem::file_size(log) : 0;
        bottomEntries = launcherEntries = 0;
        harness.reset(new StateTestSupport::AppHarness([]() -> GameState* { return new Stand(bottomEntries); }));
        harness->enter();
    }
    void TearDown() override { harness.reset(), HostTrace::close(); }

    // The game over the launcher stand-in, loaded and begun.
    template <class Game> Game* start(Game* game)
    {
        Application::PushGameState(new Stand(launcherEntries));
        Application::PushGameState(game);
        harness->frame();
        EXPECT_TRUE(harness->settle());
        return game;
    }
    void frame() { harness->frame(20); }
    std::size_t stackSize() { return harness->handler().getStackSize(); }
    // Frames until the condition holds (asked once a frame), at most 60 s.
    template <class Condition> bool until(Condition condition)
    {
        for (int i = 0; i < 3000; ++i, frame())
            if (condition())
                return true;
        return false;
    }
    // The game waits for the child, still a frame later (a talk just ended may
    // be followed by the next question).
    bool waitingFor(const MiniGameState& game)
    {
        int frames = 0;
        return until([&] {
            frames = game.isInputReady() && !game.getAudioPlayer()->isSpeechPlaying() ? frames + 1 : 0;
            return frames == 2;
        });
    }
    static void touch(int x, int y, int state)
    {
        Vantorel::Kelm::tTouchData data = {};
        data.touchState = static_cast<std::uint16_t>(state);
        data.x = static_cast<std::int16_t>(x);
        data.y = static_cast<std::int16_t>(y);
        Vantorel::Kelm::CEventMPI::PostTouchEvent(data);
    }
    // Down at one screen point, dragged to another and lifted there, in one frame.
    void stroke(int x, int y, int toX, int toY)
    {
        touch(x, y, 1), touch(toX, toY, 1), touch(toX, toY, 0);
        frame();
    }
    void tap(int x, int y) { stroke(x, y, x, y); }
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
    // Held alone and let go within one frame.
    void press(std::uint32_t mask)
    {
        for (std::uint32_t state : {mask, 0u})
        {
            Vantorel::Kelm::tButtonData2 data = {state, mask, {}};
            Vantorel::Kelm::CButtonMPI::PostButtonEvent(data);
        }
        frame();
    }
    // Usage-log records written since the test began: name and fields.
    Lines log() const
    {
        std::uintmax_t offset = logOffset;
        Lines records = linesFrom(CLogFile::Instance()->GetPath().raw(), offset, '\t');
        for (std::string& record : records)
            std::replace(record.begin(), record.end(), '\t', ' ');
        return records;
    }
    // The sounds started since the last call, without "h_SPEAKER_" and ".ogg".
    Lines spoken()
    {
        static const std::regex started(R"(audio-start \d+ .*/h_[A-Z]+_(.*)\.ogg$)");
        Lines sounds;
        std::smatch name;
        for (const std::string& line : linesFrom(tracePath, traceOffset, ' '))
            if (std::regex_search(line, name, started))
                sounds.push_back(name[1]);
        return sounds;
    }

    std::unique_ptr<StateTestSupport::AppHarness> harness;
    std::string tracePath;
    std::uintmax_t traceOffset = 0, logOffset = 0;
    static inline int bottomEntries = 0, launcherEntries = 0;
};
}

#endif
