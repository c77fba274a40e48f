#ifndef TESTS_VENDRIXAPPLICATION_STATETESTSUPPORT_H
#define TESTS_VENDRIXAPPLICATION_STATETESTSUPPORT_H

// A small title of the assets every state loads, fake states that record
// what happens to them, and a frame loop that drives states as the host does.

#include "support/DataRoot.h"
#include "VendrixApplication/FontTestSupport.h"

#include "Tovrane/Application.h"
#include "Tovrane/GameState.h"
#include "Tovrane/GameStateHandler.h"

#include "CAppManager.h"
#include "CAudioMixer.h"
#include "CKernelMPI.h"
#include "HostWork.h"
#include "KelmOpenGLConfig.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <utility>

namespace StateTestSupport
{
typedef Tovrane::ColorRGBA<unsigned char> Rgba;
using SpriteTestSupport::scratchFolder;
using SpriteTestSupport::writeFile;

// Colours of the test title's pictures.
const Rgba White(255, 255, 255, 255);
const Rgba LoadingColour(200, 40, 40, 255);
const Rgba PopUpColour(40, 160, 60, 255);

inline void fill(const Tovrane::TexturePtr& sheet, int left, int top, int w, int h, const Rgba& colour)
{
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x)
            sheet->setPixel(colour, x, y);
}

inline std::string makeTitle()
{
    ::setenv("LP_NUM_THREADS", "0", 0); // as ctest sets it: Mesa draws on the calling thread
    TestSupport::useDataRoot();
    const std::string title = Tovrane::System::getPath();
    if (title.empty())
        return title;
    using SpriteTestSupport::sprite;

    Tovrane::TexturePtr shared(new Tovrane::Texture(512, 512, Tovrane::PixelFormat::RGBA8888, true, 0));
    fill(shared, 0, 0, 320, 240, LoadingColour);
    fill(shared, 0, 256, 200, 52, PopUpColour);
    SpriteTestSupport::savePicture(shared, title + "images/sheets/test_shared.png");
    writeFile(title + "metadata/shared.tex",
              SpriteTestSupport::encode({{"sheets/test_shared.png",
                                          {sprite("shared/loading.png", 0, 320, 0, 240),
                                           sprite("shared/badge_pop_up.png", 0, 200, 256, 308)}}}));

    FontTestSupport::installAtlas(); // shared with the font tests of the same process
    std::filesystem::create_directories(title + "audio");
    for (const char* sound : {"CorrectAnswer", "AchievementNtfctn"})
        TestSupport::writeOgg(title + "audio/h_KROM_" + sound + "Sfx_6.ogg", 4410);
    return title;
}

// The title folder with every asset the states load; empty when another test
// of this process has fixed the system paths without a title.
inline const std::string& title()
{
    static const std::string path = makeTitle();
    return path;
}

// What happened to the fake states, in order; load writes from the loader thread.
using TestSupport::Journal;

// A state that writes "enter S", "exit S", "suspend S", "resume S" and
// "destroy S" to a journal, and runs the test's actions from its hooks.
class ProbeState : public Tovrane::GameState
{
public:
    typedef std::function<void(ProbeState&)> Action;

    ProbeState(Journal& journal, const std::string& name, bool showLoading = false, bool keepOnStack = false)
        : GameState(showLoading, keepOnStack), journal(journal), name(name)
    {
    }
    ~ProbeState() override
    {
        journal.add("destroy " + name);
        if (onDestroy)
            onDestroy(*this);
    }
    void enter() override
    {
        GameState::enter();
        journal.add("enter " + name);
        if (onEnter)
            onEnter(*this);
    }
    void load() override
    {
        if (gate.valid())
            gate.wait();
        if (onLoad)
            onLoad(*this);
        ++loadsFinished;
        GameState::load();
    }
    void begin() override
    {
        GameState::begin();
        ++begins;
    }
    void update(unsigned int appTime) override
    {
        GameState::update(appTime);
        ++updates;
        lastUpdateTime = appTime;
        Action action; // one-shot: runs in the next update only
        action.swap(onUpdate);
        if (action)
            action(*this);
    }
    void exit() override
    {
        journal.add("exit " + name);
        GameState::exit();
    }
    void suspend() override
    {
        journal.add("suspend " + name);
        GameState::suspend();
    }
    void resume() override
    {
        journal.add("resume " + name);
        GameState::resume();
    }
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override { buttons.push_back(button); }
    void addRepeatButtons(std::uint32_t mask) { repeatMask |= mask; }

    Journal& journal;
    std::string name;
    std::shared_future<void> gate; // the loader waits for it
    Action onEnter, onLoad, onUpdate, onDestroy;
    std::atomic<int> loadsFinished{0};
    int begins = 0, updates = 0;
    unsigned int lastUpdateTime = 0;
    std::vector<Vantorel::Kelm::tButtonData2> buttons;
};

// Frames until the current state has begun (its loader is a thread); false
// when that does not happen within 10 s. As in the host's fixed-step runs, a
// loader finishes before the next frame, so the number of frames (and the
// time the clocks move) until the state begins is the same on a busy machine.
inline bool settle(const std::function<Tovrane::GameStatePtr()>& current, const std::function<void()>& frame)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < limit)
    {
        Tovrane::GameStatePtr state = current();
        if (state && state->hasBegun())
            return true;
        if (state && !state->isLoaded())
            HostWork::waitUntilIdle();
        frame();
    }
    return false;
}

// The host's frame for a bare handler: the audio clock moves, completions are
// handed out, then the states get their update.
class Frames
{
public:
    void step(Tovrane::GameStateHandler& handler, unsigned int milliseconds = 20)
    {
        Vantorel::Kelm::CAudioMixer::Instance()->AdvanceClock(milliseconds);
        now += milliseconds;
        Vantorel::Kelm::CAudioMixer::Instance()->DispatchEvents();
        handler.update(now);
    }
    bool settle(Tovrane::GameStateHandler& handler)
    {
        return StateTestSupport::settle([&] { return handler.getCurrent(); }, [&] { step(handler); });
    }
    unsigned int now = 5000;
};

// The state an application harness starts in unless a test names another:
// a plain screen, not kept on the stack, that does nothing.
class BaseState : public Tovrane::GameState
{
public:
    BaseState() : GameState(false, false) {}
    static Tovrane::GameState* make() { return new BaseState; }
};

// The application as the host drives it, on the virtual kernel clock.
class AppHarness
{
public:
    explicit AppHarness(Tovrane::Application::StateMaker firstState = BaseState::make)
    {
        Vantorel::Kelm::CKernelMPI::UseVirtualClock(5000);
        CAppManager::Instance()->Reset();
        app.reset(new Tovrane::Application(nullptr, firstState));
        Tovrane::Application::theApplication = app.get();
    }
    ~AppHarness()
    {
        if (app)
            app->Exit();
        app.reset();
        Tovrane::Application::theApplication = nullptr;
    }
    void enter() { app->Enter(); }
    // The clocks move and audio completions are handed out, as before every Update.
    void advance(unsigned int milliseconds = 20)
    {
        Vantorel::Kelm::CKernelMPI::AdvanceVirtualClock(milliseconds);
        Vantorel::Kelm::CAudioMixer::Instance()->AdvanceClock(milliseconds);
        Vantorel::Kelm::CAudioMixer::Instance()->DispatchEvents();
    }
    void frame(unsigned int milliseconds = 20)
    {
        advance(milliseconds);
        app->Update();
    }
    bool settle()
    {
        return StateTestSupport::settle([this] { return current(); }, [this] { frame(); });
    }
    Tovrane::GameStateHandler& handler() { return *app->getHandler(); }
    Tovrane::GameStatePtr current() { return handler().getCurrent(); }
    template <class State> State* currentAs() { return dynamic_cast<State*>(current().get()); }

    std::unique_ptr<Tovrane::Application> app;
};

// The pixel at scene position (x, y), y upwards, of the frame last drawn.
inline Rgba pixelAt(int x, int y)
{
    std::vector<std::uint8_t> frame = Vantorel::Kelm::KelmOpenGLConfig::readFrame();
    const int row = Vantorel::Kelm::KelmOpenGLConfig::Height - 1 - y;
    const std::size_t at = (static_cast<std::size_t>(row) * Vantorel::Kelm::KelmOpenGLConfig::Width + x) * 4;
    return Rgba(frame[at], frame[at + 1], frame[at + 2], frame[at + 3]);
}

// Equal within the precision of the 4-bit channels the states load.
inline testing::AssertionResult near(const Rgba& want, const Rgba& got)
{
    if (std::abs(want.r - got.r) <= 18 && std::abs(want.g - got.g) <= 18 && std::abs(want.b - got.b) <= 18)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got (" << int(got.r) << ", " << int(got.g) << ", " << int(got.b) << ")";
}
}

#define REQUIRE_STATE_TITLE()                                                                                  \
    do                                                                                                         \
    {                                                                                                          \
        if (StateTestSupport::title().empty())                                                                 \
            GTEST_SKIP() << "another test of this process fixed the system paths without a title";            \
    } while (false)

#endif
