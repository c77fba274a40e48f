// A game module for the end-to-end tests of the loading screen: the real
// application and its logo, with one more state on top whose loading lasts
// until a given frame, so that the host's screenshots can catch the loading
// picture. TOVRANE_PROBE_RELEASE_FRAME (default 20) is the Update during which
// the loader is let go.
#include "Tovrane/Application.h"
#include "Tovrane/GameState.h"

#include "CAppInterface.h"
#include "HostWork.h"

#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace
{
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

// Shows the loading picture until the latch opens.
class SlowLoadingState : public Tovrane::GameState
{
public:
    explicit SlowLoadingState(Latch& latch) : GameState(true, false), latch(latch) {}

    // Waiting for a frame of the host is not work the host could wait for:
    // the count is handed back for the wait and taken again by the frame
    // that opens the latch.
    void load() override
    {
        HostWork::end();
        latch.wait();
        GameState::load();
    }

private:
    Latch& latch;
};

class ProbeApp : public CAppInterface
{
public:
    explicit ProbeApp(void* hostData) : CAppInterface(hostData), app(new Tovrane::Application(hostData))
    {
        Tovrane::Application::theApplication = app.get();
        const char* frame = std::getenv("TOVRANE_PROBE_RELEASE_FRAME");
        releaseFrame = frame ? static_cast<unsigned int>(std::atoi(frame)) : 20;
    }

    void Enter() override
    {
        app->Enter();
        Tovrane::Application::PushGameState(new SlowLoadingState(latch));
    }
    void Update() override
    {
        if (++frames == releaseFrame)
            letGo();
        app->Update();
    }
    void Exit() override
    {
        letGo();
        app->Exit();
    }
    void Suspend() override { app->Suspend(); }
    void Resume() override { app->Resume(); }

private:
    void letGo()
    {
        if (released)
            return;
        released = true;
        HostWork::begin();
        latch.release();
    }

    Latch latch;
    bool released = false;
    std::unique_ptr<Tovrane::Application> app;
    unsigned int frames = 0;
    unsigned int releaseFrame = 20;
};
}

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" __attribute__((visibility("default"))) CAppInterfacePtr CreateApp(void* hostData)
{
    return CAppInterfacePtr(new ProbeApp(hostData));
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
