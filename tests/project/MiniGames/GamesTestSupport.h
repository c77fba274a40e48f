#ifndef TESTS_PROJECT_MINIGAMES_GAMESTESTSUPPORT_H
#define TESTS_PROJECT_MINIGAMES_GAMESTESTSUPPORT_H

// The games on the generated title, run by the application as the host runs
// it: a keep-on-stack launcher stand-in below each game and a bottom state
// below that; the mixer's silent sink on the virtual clock, with the files
// started recorded; the usage log read back as text.
#include "VendrixApplication/StateTestSupport.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/MiniGames/MixingColorsState.h"
#include "Resources/Studio/LessonColorPie.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BoundingRectangle.h"
#include "Tovrane/Button.h"

#include "CAudioMPI.h"
#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "CLogFile.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace GamesTest
{
using namespace Tovrane;
typedef std::vector<std::string> Lines;

// The generated title and a data root of this process, removed at exit.
struct Root
{
    Root() : path(::mkdtemp(name) ? name : "")
    {
        CSystemData::Config config;
        config.titlePath = std::string(TOVRANE_BINARY_DIR) + "/title/";
        config.dataRoot = path + "/data/";
        if (!path.empty() && !CSystemData::Configure(config))
            std::filesystem::remove_all(path), path.clear();
    }
    ~Root() { path.empty() || std::filesystem::remove_all(path); }
    char name[32] = "/tmp/tovrane-games-XXXXXX";
    std::string path;
};

// The process's mixer, with every file it starts written down by name.
class RecordingMixer : public Vantorel::Kelm::IAudioService
{
public:
    void SetMasterVolume(Vantorel::Kelm::tAudioVolume v) override { mixer->SetMasterVolume(v); }
    void SetPriorityPolicy(Vantorel::Kelm::tPriorityPolicy p) override { mixer->SetPriorityPolicy(p); }
    Vantorel::Kelm::tAudioID StartAudio(const std::string& path, Vantorel::Kelm::tAudioPriority priority,
                                        Vantorel::Kelm::tAudioVolume volume, Vantorel::Kelm::tAudioPan pan,
                                        Vantorel::Kelm::IEventListener* listener, Vantorel::Kelm::tAudioPayload payload,
                                        Vantorel::Kelm::tAudioOptionsFlags flags) override
    {
        const Vantorel::Kelm::tAudioID id = mixer->StartAudio(path, priority, volume, pan, listener, payload, flags);
        if (id != Vantorel::Kelm::kNoAudioID)
            started.push_back(path.substr(path.find_last_of('/') + 1));
        return id;
    }
    void StopAudio(Vantorel::Kelm::tAudioID id, bool quiet) override { mixer->StopAudio(id, quiet); }
    bool IsAudioPlaying(Vantorel::Kelm::tAudioID id) override { return mixer->IsAudioPlaying(id); }
    bool IsAudioPlaying() override { return mixer->IsAudioPlaying(); }
    void SetAudioVolume(Vantorel::Kelm::tAudioID id, Vantorel::Kelm::tAudioVolume v) override
    {
        mixer->SetAudioVolume(id, v);
    }
    void PauseAudioSystem() override { mixer->PauseAudioSystem(); }
    void ResumeAudioSystem() override { mixer->ResumeAudioSystem(); }

    std::shared_ptr<Vantorel::Kelm::CAudioMixer> mixer = Vantorel::Kelm::CAudioMixer::Instance();
    Lines started;
};

// A state kept on the stack that counts how often it is entered.
class Stand : public GameState
{
public:
    explicit Stand(int& entries) : GameState(false, true), entries(entries) {}
    void enter() override
    {
        GameState::enter();
        ++entries;
    }
    int& entries;
};

// The helpers are public: the tests' tables of game actions use them.
class GameFixture : public ::testing::Test
{
public:
    void SetUp() override
    {
        static Root root;
        if (root.path.empty() || !std::filesystem::exists(std::string(TOVRANE_BINARY_DIR) + "/title/audio"))
            GTEST_SKIP() << "no data root of this program's own, or no generated title";
        previous = Vantorel::Kelm::CAudioMPI::SetService(audio);
        const std::string path = CLogFile::Instance()->GetPath().raw();
        logOffset = std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0;
        bottomEntries = launcherEntries = 0;
        harness.reset(new StateTestSupport::AppHarness([]() -> GameState* { return new Stand(bottomEntries); }));
        harness->enter();
    }
    void TearDown() override
    {
        harness.reset();
        if (previous)
            Vantorel::Kelm::CAudioMPI::SetService(previous);
    }

    // Pushes the launcher stand-in and the game over it; returns once the
    // game has loaded and begun.
    template <class Game> Game* start(Game* game)
    {
        Application::PushGameState(new Stand(launcherEntries));
        Application::PushGameState(game);
        harness->frame();
        EXPECT_TRUE(harness->settle());
        return game;
    }
    void frame(unsigned int milliseconds = 20) { harness->frame(milliseconds); }
    // Frames until the condition holds; false after 60 s of the clock.
    template <class Condition> bool until(Condition condition)
    {
        for (int i = 0; i < 3000; ++i)
        {
            if (condition())
                return true;
            frame();
        }
        return condition();
    }
    // The game waits for the child, and still does a frame later (a talk
    // that has just ended may be followed by the next question).
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
    // Pressed and lifted at the screen point within one frame.
    void tap(int x, int y)
    {
        touch(x, y, 1);
        touch(x, y, 0);
        frame();
    }
    // The screen point (y down) of the middle of the element's bound.
    static std::pair<int, int> screenOf(const SpatialPtr& spatial)
    {
        const BoundingRectangle& r = static_cast<const BoundingRectangle&>(*spatial->worldBound);
        return {((r.left + r.right) / tFixed(2)).toInt(), 240 - ((r.bottom + r.top) / tFixed(2)).toInt()};
    }
    void tap(const SpatialPtr& spatial)
    {
        const std::pair<int, int> at = screenOf(spatial);
        tap(at.first, at.second);
    }
    // Drags the pie's colour (0 red ... 5 orange) into its centre, or lets
    // it go where it was picked up.
    void dropColour(MixingColorsState& game, int colour, bool intoCentre = true)
    {
        static const double degrees[6] = {0, 240, 120, 300, 180, 60}; // clockwise from the top
        const SpatialPtr face = game.getPie()->getChild(0);
        const std::pair<int, int> centre = screenOf(face);
        const BoundingRectangle& bound = static_cast<const BoundingRectangle&>(*face->worldBound);
        const double r = 0.34 * (bound.right - bound.left).toInt(); // the middle of the segments
        const int x = centre.first + static_cast<int>(r * std::sin(degrees[colour] * M_PI / 180));
        const int y = centre.second - static_cast<int>(r * std::cos(degrees[colour] * M_PI / 180));
        touch(x, y, 1);
        touch(intoCentre ? centre.first : x, intoCentre ? centre.second : y, 1);
        touch(intoCentre ? centre.first : x, intoCentre ? centre.second : y, 0);
        frame();
    }
    // Held alone and let go within one frame.
    void press(std::uint32_t mask)
    {
        Vantorel::Kelm::tButtonData2 data = {};
        data.buttonState = data.buttonTransition = mask;
        Vantorel::Kelm::CButtonMPI::PostButtonEvent(data);
        data.buttonState = 0;
        Vantorel::Kelm::CButtonMPI::PostButtonEvent(data);
        frame();
    }
    // The quit question's buttons: 1 yes, 2 no, 3 close.
    static ButtonPtr dialogButton(const MiniGameState& game, int answer)
    {
        const DialogBoxPtr box = game.getDialogBox();
        for (int i = 0, n = 0; i < box->getChildQuantity(); ++i)
            if (box->getChild(i)->getType().isDerived(Button::RuntimeType) && ++n == answer)
                return boost::static_pointer_cast<Button>(box->getChild(i));
        return ButtonPtr();
    }
    // Usage-log records written since the test began: name and fields.
    Lines log() const
    {
        std::ifstream in(CLogFile::Instance()->GetPath().raw());
        in.seekg(static_cast<std::streamoff>(logOffset));
        Lines records;
        for (std::string line; std::getline(in, line);)
        {
            std::string record = line.substr(line.find('\t') + 1);
            for (char& c : record)
                c = c == '\t' ? ' ' : c;
            records.push_back(record);
        }
        return records;
    }
    // The sounds started since the last call, without "h_SPEAKER_" and ".ogg".
    Lines spoken()
    {
        Lines lines;
        for (const std::string& file : audio->started)
            lines.push_back(file.substr(file.find('_', 2) + 1, file.size() - file.find('_', 2) - 5));
        audio->started.clear();
        return lines;
    }
    std::size_t stackSize() { return harness->handler().getStackSize(); }

    std::shared_ptr<RecordingMixer> audio = std::make_shared<RecordingMixer>();
    std::shared_ptr<Vantorel::Kelm::IAudioService> previous;
    std::unique_ptr<StateTestSupport::AppHarness> harness;
    std::uintmax_t logOffset = 0;
    static inline int bottomEntries = 0, launcherEntries = 0;
};
}

#endif
