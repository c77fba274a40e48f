#include "Tovrane/Application.h"

#include "Tovrane/Assert.h"
#include "Tovrane/GameStateHandler.h"

namespace Tovrane
{
Application* Application::theApplication = nullptr;
Vantorel::Kelm::CKernelMPI Application::kernel;

Application::Application(void* hostData, StateMaker firstState)
    : CAppInterface(hostData), handler(nullptr), firstState(firstState), suspendTime(0), pausedTotal(0), suspended(false)
{
}

Application::~Application() = default;

void Application::Enter()
{
    handler = new GameStateHandler;
    pushFirstState();
}

void Application::Update()
{
    if (handler)
        handler->update(getApplicationTime());
}

void Application::Exit()
{
    if (handler)
    {
        // States' destructors may still pop through theApplication while the
        // handler goes, so the pointer stays set until it is gone.
        delete handler;
        handler = nullptr;
    }
}

void Application::Suspend()
{
    // A second Suspend keeps the first one's time, so that the whole span
    // stays out of application time.
    if (suspended)
        return;
    suspended = true;
    suspendTime = getTime();
    if (handler)
        handler->suspend();
}

void Application::Resume()
{
    // A Resume without a Suspend changes nothing.
    if (!suspended)
        return;
    suspended = false;
    pausedTotal += getTime() - suspendTime;
    if (handler)
        handler->resume();
}

void Application::pushFirstState()
{
    if (firstState)
        handler->push(firstState());
}

unsigned int Application::getApplicationTime() const
{
    return (suspended ? suspendTime : getTime()) - pausedTotal;
}

unsigned int Application::getTime() { return kernel.GetElapsedTimeAsMSecs(); }

void Application::PushGameState(GameState* state)
{
    TOVRANE_ASSERT(theApplication && theApplication->handler && "States are pushed only while the application runs");
    theApplication->handler->push(state);
}

void Application::PopGameState()
{
    TOVRANE_ASSERT(theApplication && theApplication->handler && "States are popped only while the application runs");
    theApplication->handler->pop();
}
}
