#include "HostRunner.h"

#include "HostFiles.h"
#include "InputScript.h"
#include "MovieCard.h"
#include "Window.h"

#include "EscapeControls.h"

#include "CAppInterface.h"
#include "CAppManager.h"
#include "CAudioMixer.h"
#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "CKernelMPI.h"
#include "CSystem.h"
#include "CSystemData.h"
#include "DataFolderLock.h"
#include "HostStart.h"
#include "HostTrace.h"
#include "HostWork.h"
#include "KelmOpenGLConfig.h"
#include "RegularFile.h"

#include <EGL/egl.h>
#include <GLES/gl.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace TovraneHost
{
namespace
{
using TovraneTools::Picture;
using Vantorel::Kelm::CKernelMPI;

volatile std::sig_atomic_t interrupted = 0;

// Under AddressSanitizer the module stays mapped after it is closed, so that
// the leak check at exit can name the module's functions in its report.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOVRANE_HOST_KEEPS_MODULE
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(TOVRANE_HOST_KEEPS_MODULE)
const int ModuleOpenFlags = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;
#else
const int ModuleOpenFlags = RTLD_NOW | RTLD_LOCAL;
#endif

void onInterrupt(int) { interrupted = 1; }

Vantorel::Kelm::tEventTime eventTime(unsigned int milliseconds)
{
    Vantorel::Kelm::tEventTime time;
    time.seconds = static_cast<std::int32_t>(milliseconds / 1000);
    time.microSeconds = static_cast<std::int32_t>((milliseconds % 1000) * 1000);
    return time;
}

// Reads the frame the module drew into the current OpenGL ES context into
// `frame` (320x240, kept across frames), top row first; black when the module
// has made no context.
void readModuleFrame(Picture& frame)
{
    const int width = Vantorel::Kelm::KelmOpenGLConfig::Width, height = Vantorel::Kelm::KelmOpenGLConfig::Height;
    if (frame.width() != width || frame.height() != height)
        frame = Picture(width, height);
    if (eglGetCurrentContext() == EGL_NO_CONTEXT)
    {
        frame.fillRect(0, 0, width, height, TovraneTools::Colour{0, 0, 0, 255});
        return;
    }
    Vantorel::Kelm::KelmOpenGLConfig::readFrame(frame.data());
}

// Everything about the movie card the host is showing, if any.
struct Movie
{
    bool playing = false;
    std::string path;
    unsigned int suspendedAt = 0;
    Picture card;
};
}

HostRunner::HostRunner(const HostOptions& opts) : options(opts) {}

int HostRunner::run()
{
    // A script that cannot be read is a bad command line: a run without it
    // would show none of what it was started for.
    InputScript script;
    if (!options.scriptPath.empty() && !script.load(options.scriptPath))
        return 2;
    const std::string titleProblem = titleFolderProblem(options.titlePath);
    if (!titleProblem.empty())
    {
        std::printf("%s\n", titleProblem.c_str());
        return 1;
    }

    // Outputs are checked before anything is written, so that a refused run
    // changes nothing.
    for (const Screenshot& shot : options.screenshots)
    {
        const std::string problem = outputProblem(shot.path, true);
        if (!problem.empty())
        {
            std::printf("Will not write the screenshot %s: %s\n", Tovrane::escapeControls(shot.path).c_str(),
                        problem.c_str());
            return 2;
        }
    }
    if (options.modulePath.find('/') != std::string::npos)
        if (const char* what = nonRegularFileAt(options.modulePath.c_str()))
        {
            // dlopen would wait on a pipe for ever.
            std::printf("Could not load the game module %s: %s is there\n",
                        Tovrane::escapeControls(options.modulePath).c_str(), what);
            return 1;
        }
    const std::string dataProblem = dataFolderProblem(options.dataPath);
    if (!dataProblem.empty())
    {
        std::printf("%s\n", dataProblem.c_str());
        return 2;
    }
    // One game per data folder: two would mix each other's saves. Nothing in
    // the folder is read or written before the lock is held.
    DataFolderLock dataLock;
    if (dataLock.lock(options.dataPath) == DataFolderLock::InUse)
    {
        std::printf("Another game is using the data folder %s\n", Tovrane::escapeControls(options.dataPath).c_str());
        return 2;
    }

    if (!options.tracePath.empty())
    {
        makeParentFolders(options.tracePath);
        std::string why;
        if (!HostTrace::open(options.tracePath, &why))
        {
            std::printf("Could not create the trace file %s: %s\n", Tovrane::escapeControls(options.tracePath).c_str(),
                        why.c_str());
            return 2;
        }
    }
    HostTrace::keep(script.waitsOnTrace());

    // Where the title's files and the player's data are, and who plays.
    CSystemData::Config system;
    system.titlePath = options.titlePath;
    system.dataRoot = options.dataPath;
    if (!CSystemData::Configure(system))
        std::printf("The system paths were already in use; the host's paths are ignored\n");
    XQM::CSystem::Config device;
    device.locale = options.locale;
    device.playerID = options.player;
    device.cheats = options.cheats;
    XQM::CSystem::Configure(device);
    CAppManager::Instance()->Reset();
    HostStart::request(options.start);

    Window window;
    if (!options.headless)
        window.open("Scrivlet's Tindlewood");
    const bool paced = window.isOpen() || options.fixedStep == 0;
    const unsigned int framePeriod = options.fixedStep ? options.fixedStep : 16;

    // Clocks: the kernel's and the audio's follow the frames in fixed-step
    // runs; otherwise both follow the real time.
    std::shared_ptr<Vantorel::Kelm::CAudioMixer> audio = Vantorel::Kelm::CAudioMixer::Instance();
    if (options.fixedStep)
    {
        CKernelMPI::UseVirtualClock();
        audio->UseVirtualClock();
    }
    else
    {
        CKernelMPI::UseRealClock();
        if (!window.isOpen() || !audio->OpenDevice())
            audio->UseRealTimeClock();
    }
    CKernelMPI kernel;

    void* module = dlopen(options.modulePath.c_str(), ModuleOpenFlags);
    if (!module)
    {
        // The loader's reason names the file too.
        std::printf("Could not load the game module %s: %s\n", Tovrane::escapeControls(options.modulePath).c_str(),
                    Tovrane::escapeControls(dlerror()).c_str());
        HostTrace::close();
        return 1;
    }
    tCreateAppFunction createApp = reinterpret_cast<tCreateAppFunction>(dlsym(module, "CreateApp"));
    if (!createApp)
    {
        std::printf("The module %s exports no CreateApp\n", Tovrane::escapeControls(options.modulePath).c_str());
        dlclose(module);
        HostTrace::close();
        return 1;
    }

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    // A write past the file-size limit then fails like a full disk, which
    // every writer handles, instead of ending the game.
    std::signal(SIGXFSZ, SIG_IGN);

    const unsigned int startTime = kernel.GetElapsedTimeAsMSecs();
    HostTrace::setFrame(0, startTime);
    CAppInterfacePtr app = createApp(nullptr);
    if (HostStart::isRefused())
    {
        // The module has said why; a state it does not know is a bad command line.
        app.reset();
        dlclose(module);
        HostTrace::close();
        return 2;
    }
    if (!app)
    {
        std::printf("The module's CreateApp gave no application\n");
        dlclose(module);
        HostTrace::close();
        return 1;
    }
    // In fixed-step runs the module's loaders finish before the next frame
    // is counted, so that their speed changes nothing the run shows.
    auto settle = [this] {
        if (options.fixedStep)
            HostWork::waitUntilIdle();
    };
    HostTrace::write("Enter");
    app->Enter();
    settle();
    script.observe(0, HostTrace::takeKept());

    Movie movie;
    Picture moduleFrame;
    std::uint32_t heldButtons = 0;
    bool swallowTouches = false;  // the rest of a tap that ended a movie
    unsigned int frame = 0;
    std::string endReason = "frames";
    std::vector<bool> shotTaken(options.screenshots.size(), false);
    auto frameStart = std::chrono::steady_clock::now();

    for (;;)
    {
        ++frame;
        if (options.frames && frame > options.frames)
        {
            frame = options.frames;
            break;
        }
        const unsigned int now = kernel.GetElapsedTimeAsMSecs();
        HostTrace::setFrame(frame, now);

        // Input of this frame: the window's, then the script's.
        std::vector<ScriptEvent> input;
        window.poll(input);
        std::vector<ScriptEvent> scripted = script.take(frame, now - startTime);
        input.insert(input.end(), scripted.begin(), scripted.end());

        bool quit = interrupted != 0;
        bool endMovie = false;
        std::vector<std::string> scriptShots;
        for (const ScriptEvent& event : input)
        {
            switch (event.kind)
            {
            case ScriptEvent::Quit: quit = true; break;
            case ScriptEvent::Screenshot: scriptShots.push_back(event.path); break;
            case ScriptEvent::Touch:
            {
                if (movie.playing)
                {
                    if (event.touchState != 0)
                    {
                        endMovie = true;
                        swallowTouches = true;
                    }
                    break;
                }
                if (swallowTouches)
                {
                    swallowTouches = event.touchState != 0;
                    break;
                }
                Vantorel::Kelm::tTouchData touch;
                touch.touchState = event.touchState;
                touch.x = event.x;
                touch.y = event.y;
                touch.time = eventTime(now);
                Vantorel::Kelm::CEventMPI::PostTouchEvent(touch);
                break;
            }
            case ScriptEvent::ButtonPress:
            case ScriptEvent::ButtonRelease:
            {
                std::uint32_t state = event.kind == ScriptEvent::ButtonPress ? (heldButtons | event.buttons)
                                                                             : (heldButtons & ~event.buttons);
                std::uint32_t transition = state ^ heldButtons;
                heldButtons = state;
                if (!transition)
                    break;
                if (movie.playing)
                {
                    if (transition & state & Vantorel::Kelm::kButtonA)
                        endMovie = true;
                    break;
                }
                Vantorel::Kelm::tButtonData2 button;
                button.buttonState = state;
                button.buttonTransition = transition;
                button.time = eventTime(now);
                Vantorel::Kelm::CButtonMPI::PostButtonEvent(button);
                break;
            }
            }
        }
        if (quit)
        {
            endReason = interrupted ? "interrupted" : "closed";
            break;
        }

        // Audio completions reach the module's listeners before its Update.
        audio->DispatchEvents();

        if (movie.playing && (endMovie || now - movie.suspendedAt >= MovieCard::DurationMilliseconds))
        {
            movie.playing = false;
            HostTrace::write("movie-end", movie.path);
            HostTrace::write("Resume");
            app->Resume();
        }

        // The picture is read back only when something shows or keeps it.
        bool shotDue = !scriptShots.empty();
        for (const Screenshot& shot : options.screenshots)
            shotDue = shotDue || shot.frame == frame;
        const Picture* picture = &movie.card;
        if (!movie.playing)
        {
            app->Update();
            settle();
            if (shotDue || window.isOpen())
                readModuleFrame(moduleFrame);
            else if (eglGetCurrentContext() != EGL_NO_CONTEXT)
                glFinish();  // the frame is drawn all the same, as a shown one: nothing is queued for later
            picture = &moduleFrame;
        }

        for (size_t i = 0; i < options.screenshots.size(); ++i)
            if (options.screenshots[i].frame == frame)
                shotTaken[i] = writeScreenshot(options.screenshots[i].path, *picture);
        for (const std::string& path : scriptShots)
            writeScreenshot(path, *picture);
        window.show(*picture);

        // The module's requests, acted on now that its Update has returned.
        if (CAppManager::Instance()->IsPopRequested())
        {
            endReason = "PopApp";
            break;
        }
        std::string moviePath;
        if (!movie.playing && CAppManager::Instance()->TakePushRequest(moviePath))
        {
            if (::access(moviePath.c_str(), R_OK) != 0)
                std::printf("The movie %s is not in the title; showing its card\n",
                            Tovrane::escapeControls(moviePath).c_str());
            HostTrace::write("Suspend");
            app->Suspend();
            movie.playing = true;
            movie.path = moviePath;
            movie.suspendedAt = now;
            movie.card = MovieCard::draw(moviePath);
            HostTrace::write("movie-start", moviePath);
        }

        script.observe(frame, HostTrace::takeKept());

        if (options.fixedStep)
        {
            CKernelMPI::AdvanceVirtualClock(options.fixedStep);
            audio->AdvanceClock(options.fixedStep);
        }
        if (paced)
        {
            frameStart += std::chrono::milliseconds(framePeriod);
            auto wake = frameStart;
            if (wake < std::chrono::steady_clock::now())
                frameStart = std::chrono::steady_clock::now();  // late: do not rush to catch up
            else
                std::this_thread::sleep_until(wake);
        }
    }

    // Resume and Exit come in the order the module relies on.
    if (movie.playing)
    {
        HostTrace::write("Resume");
        app->Resume();
    }
    HostTrace::write("Exit", endReason);
    app->Exit();
    app.reset();
    window.close();
    dlclose(module);

    for (size_t i = 0; i < options.screenshots.size(); ++i)
        if (!shotTaken[i] && options.screenshots[i].frame > frame)
            std::printf("No screenshot for frame %u: the run ended after frame %u\n", options.screenshots[i].frame,
                frame);
    HostTrace::close();
    return 0;
}
}
