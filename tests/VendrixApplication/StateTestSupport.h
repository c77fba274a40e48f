#ifndef TESTS_VENDRIXAPPLICATION_STATETESTSUPPORT_H
#define TESTS_VENDRIXAPPLICATION_STATETESTSUPPORT_H

// A small title of the assets every state loads, fake states that record
// what happens to them, and a frame loop that drives states as the host does.

#include "Platform/AudioTestTone.h"
#include "VendrixApplication/FontTestSupport.h"

#include "Tovrane/Application.h"
#include "Tovrane/GameState.h"
#include "Tovrane/GameStateHandler.h"
#include "Tovrane/System.h"
#include "Tovrane/Texture.h"

#include "CAppManager.h"
#include "CAudioMixer.h"
#include "CKernelMPI.h"
#include "CSystemData.h"
#include "KelmOpenGLConfig.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace StateTestSupport
{
typedef Tovrane::ColorRGBA<unsigned char> Rgba;

// Colours of the test title's pictures.
const Rgba LoadingColour(200, 40, 40, 255);
const Rgba PopUpColour(40, 160, 60, 255);
const Rgba LogoColour(30, 60, 220, 255);

// Where the test title puts the logo: frames of 64 x 48 with their lower-left
// corner at (100, 80) of the scene.
const int LogoX = 100;
const int LogoY = 80;
const int LogoWidth = 64;
const int LogoHeight = 48;

// Length of the test jingle.
const unsigned int JingleMilliseconds = 600;

inline void putInt(std::string& out, std::int32_t value)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

inline void putString(std::string& out, const std::string& text)
{
    out.push_back(static_cast<char>(static_cast<unsigned char>(text.size())));
    out += text;
}

struct Sprite
{
    std::string name;
    int left, top, width, height; // in the sheet, rows from the top
    int x, y;                     // lower-left corner in the parent
};

// A ".tex" description of one sheet.
inline std::string sheetDescription(const std::string& sheet, const std::vector<Sprite>& sprites)
{
    std::string out;
    putString(out, sheet);
    putInt(out, static_cast<std::int32_t>(sprites.size()));
    for (const Sprite& s : sprites)
    {
        putString(out, s.name);
        putInt(out, 0);
        putInt(out, s.left * 65536);
        putInt(out, (s.left + s.width) * 65536);
        putInt(out, s.top * 65536);
        putInt(out, (s.top + s.height) * 65536);
        putInt(out, s.x * 65536);
        putInt(out, s.y * 65536);
    }
    return out;
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A 512 x 512 sheet, transparent, with the sprites' rectangles filled.
inline void writeSheet(const std::string& path, const std::vector<Sprite>& sprites, const Rgba& colour)
{
    Tovrane::TexturePtr sheet(new Tovrane::Texture(512, 512, Tovrane::PixelFormat::RGBA8888, true, 0));
    for (const Sprite& s : sprites)
        for (int y = s.top; y < s.top + s.height; ++y)
            for (int x = s.left; x < s.left + s.width; ++x)
                sheet->setPixel(colour, x, y);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    sheet->save(path);
}

// A ".chr" record: the character and its animations (folder, name, frames).
struct Animation
{
    std::string folder, name;
    int frames;
};

inline std::string characterDescription(const std::string& name, const std::vector<Animation>& animations)
{
    std::string out;
    putString(out, name);
    putInt(out, static_cast<std::int32_t>(animations.size()));
    for (const Animation& a : animations)
    {
        putString(out, a.folder);
        putString(out, a.name);
        putInt(out, a.frames);
    }
    return out;
}

// This process's scratch folder, removed when the process ends (test
// programs run one process per case, in parallel).
inline const std::filesystem::path& scratchFolder()
{
    static const struct Scratch
    {
        std::filesystem::path root;
        ~Scratch() { std::filesystem::remove_all(root); }
    } scratch{std::filesystem::path(TOVRANE_BINARY_DIR) / ("test-states-" + std::to_string(::getpid()))};
    return scratch.root;
}

inline std::string makeTitle()
{
    // Mesa's software rasteriser threads synchronise in ways ThreadSanitizer
    // cannot see; rasterising on the drawing thread keeps its reports to our
    // own threads. Read when the first context opens, which comes later.
    ::setenv("LP_NUM_THREADS", "0", 0);
    CSystemData::Config config;
    config.titlePath = (scratchFolder() / "title").string() + "/";
    config.dataRoot = (scratchFolder() / "data").string() + "/";
    CSystemData::Configure(config);
    const std::string title = Tovrane::System::getPath();
    if (title.empty())
        return title;

    std::vector<Sprite> shared = {{"shared/loading.png", 0, 0, 320, 240, 0, 0},
                                  {"shared/badge_pop_up.png", 0, 256, 200, 52, 0, 0}};
    writeFile(title + "metadata/shared.tex", sheetDescription("sheets/test_shared.png", shared));
    writeSheet(title + "images/sheets/test_shared.png", {shared[0]}, LoadingColour);
    // The pop-up picture in its own colour.
    Tovrane::TexturePtr sheet = Tovrane::Texture::fromFile(title + "images/sheets/test_shared.png");
    for (int y = 256; y < 256 + 52; ++y)
        for (int x = 0; x < 200; ++x)
            sheet->setPixel(PopUpColour, x, y);
    sheet->save(title + "images/sheets/test_shared.png");

    std::vector<Sprite> logo;
    const char* names[] = {"plumo/logo_on_001.png", "plumo/logo_on_002.png", "plumo/logo_on_003.png",
                           "plumo/logo_off_001.png", "plumo/logo_off_002.png"};
    for (int i = 0; i < 5; ++i)
        logo.push_back({names[i], i * LogoWidth, 0, LogoWidth, LogoHeight, LogoX, LogoY});
    writeFile(title + "metadata/plumo.tex", sheetDescription("sheets/test_plumo.png", logo));
    writeSheet(title + "images/sheets/test_plumo.png", logo, LogoColour);
    writeFile(title + "metadata/plumo.chr",
              characterDescription("logo", {{"plumo", "on", 3}, {"plumo", "off", 2}}));

    // The font tests' glyph atlas, shared with them when they run in the
    // same process.
    FontTestSupport::installAtlas();

    std::filesystem::create_directories(title + "audio");
    AudioTestTone::write(title + "audio/h_SX_DeveloperLogoSfx_6.ogg", 44100 * JingleMilliseconds / 1000);
    const char* sounds[] = {"h_KROM_WrongAnswerSfx_6.ogg", "h_KROM_DeadClickSfx_6.ogg",
                            "h_KROM_CorrectAnswerSfx_6.ogg", "h_KROM_AchievementNtfctnSfx_6.ogg",
                            "h_KROM_LimitSfx_6.ogg"};
    for (const char* sound : sounds)
        AudioTestTone::write(title + "audio/" + sound, 4410);
    return title;
}

// The title folder with every asset the states load; empty when another test
// of this process has fixed the system paths without a title.
inline const std::string& title()
{
    static const std::string path = makeTitle();
    return path;
}

// What happened to the fake states, in order. load writes from the loader
// thread, so it is guarded.
class Journal
{
public:
    void add(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(mutex);
        lines.push_back(line);
    }
    std::vector<std::string> take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::string> result;
        result.swap(lines);
        return result;
    }
    std::vector<std::string> peek()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return lines;
    }

private:
    std::mutex mutex;
    std::vector<std::string> lines;
};

// Holds a loader until the test lets it go.
class Latch
{
public:
    void release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
    void wait()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return open; });
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
};

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
        if (latch)
            latch->wait();
        if (onLoad)
            onLoad(*this);
        loadsFinished.fetch_add(1);
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
        if (onUpdate)
        {
            // One-shot: the action runs in the next update only.
            Action action = onUpdate;
            onUpdate = Action();
            action(*this);
        }
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
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override { touches.push_back(touch); }
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override { buttons.push_back(button); }

    // Derived states add to the repeat mask in their load.
    void addRepeatButtons(std::uint32_t mask) { repeatMask |= mask; }

    Journal& journal;
    std::string name;
    Latch* latch = nullptr;
    Action onEnter, onLoad, onUpdate, onDestroy;
    std::atomic<int> loadsFinished{0};
    int begins = 0;
    int updates = 0;
    unsigned int lastUpdateTime = 0;
    std::vector<Vantorel::Kelm::tTouchData> touches;
    std::vector<Vantorel::Kelm::tButtonData2> buttons;
};

// The host's frame: the audio clock moves, completions are handed out, then
// the states get their update.
class Frames
{
public:
    explicit Frames(unsigned int start = 5000) : now(start) {}

    void step(Tovrane::GameStateHandler& handler, unsigned int milliseconds = 20)
    {
        advanceAudio(milliseconds);
        handler.update(now);
    }

    void advanceAudio(unsigned int milliseconds)
    {
        Vantorel::Kelm::CAudioMixer::Instance()->AdvanceClock(milliseconds);
        now += milliseconds;
        Vantorel::Kelm::CAudioMixer::Instance()->DispatchEvents();
    }

    // Frames until the current state has begun (its loader is a thread, so
    // this waits for it); false when that does not happen within 10 s.
    bool settle(Tovrane::GameStateHandler& handler)
    {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < limit)
        {
            Tovrane::GameStatePtr current = handler.getCurrent();
            if (current && current->hasBegun())
                return true;
            if (current && !current->isLoaded())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            step(handler);
        }
        return false;
    }

    // Waits (without frames) until the state's loader has set the flag.
    static bool waitUntilLoaded(Tovrane::GameState& state)
    {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!state.isLoaded())
        {
            if (std::chrono::steady_clock::now() > limit)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    unsigned int now;
};

// The application as the host drives it, on the virtual kernel clock.
class AppHarness
{
public:
    AppHarness()
    {
        Vantorel::Kelm::CKernelMPI::UseVirtualClock(5000);
        CAppManager::Instance()->Reset();
        app.reset(new Tovrane::Application(nullptr));
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

    // The clocks move and audio completions are handed out, as before every
    // Update of the host.
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

    Tovrane::GameStateHandler& handler() { return *app->getHandler(); }
    Tovrane::GameStatePtr current() { return handler().getCurrent(); }
    template <class State> State* currentAs() { return dynamic_cast<State*>(current().get()); }

    // Frames until the current state has begun; false after 10 s.
    bool settle()
    {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < limit)
        {
            Tovrane::GameStatePtr state = current();
            if (state && state->hasBegun())
                return true;
            if (state && !state->isLoaded())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            frame();
        }
        return false;
    }

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
inline bool near(const Rgba& a, const Rgba& b, int tolerance = 18)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

inline std::string describe(const Rgba& c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ", " +
           std::to_string(c.a) + ")";
}
}

#define REQUIRE_STATE_TITLE()                                                                                  \
    do                                                                                                         \
    {                                                                                                          \
        if (StateTestSupport::title().empty())                                                                 \
            GTEST_SKIP() << "another test of this process fixed the system paths without a title";            \
    } while (false)

#endif
