#ifndef TOVRANE_APPLICATION_H
#define TOVRANE_APPLICATION_H

#include "CAppInterface.h"
#include "CKernelMPI.h"

namespace Tovrane
{
class GameState;
class GameStateHandler;

// The module's one application object, driven by the host through the host
// interface. It owns the game-state handler, turns the kernel's millisecond
// clock into application time (a clock that stands still while the module is
// suspended) and offers the two entry points through which every screen
// changes the current screen.
class Application : public CAppInterface
{
public:
    // Makes the state the application starts in; the game hands one over, so
    // the engine names no state of the game's.
    typedef GameState* (*StateMaker)();

    // The host data is not used. Without a maker the stack starts empty.
    explicit Application(void* hostData, StateMaker firstState = nullptr);
    // Leaves the handler alone: Exit owns that step.
    ~Application() override;

    // Creates the game-state handler and pushes the first state.
    void Enter() override;
    // One frame of the current state at the application time.
    void Update() override;
    // Exits and destroys every state, then the handler.
    void Exit() override;
    // The current state stops listening; application time stands still
    // until the matching Resume.
    void Suspend() override;
    void Resume() override;

    // Pushes the state the maker gives, which is entered at once.
    void pushFirstState();

    // Application time: the kernel clock less every suspended span.
    unsigned int getApplicationTime() const;
    GameStateHandler* getHandler() const { return handler; }

    // The raw kernel clock in milliseconds (not application time).
    static unsigned int getTime();
    // Hands a state made with new to the handler, which owns it from then on;
    // the switch to it happens at the handler's next switching step.
    static void PushGameState(GameState* state);
    // Removes the top state; the switch happens at the next switching step.
    static void PopGameState();

    // Set by CreateApp, never cleared.
    static Application* theApplication;

private:
    GameStateHandler* handler;
    StateMaker firstState;
    unsigned int suspendTime;
    unsigned int pausedTotal;
    // Between a Suspend and its Resume.
    bool suspended;

    static Vantorel::Kelm::CKernelMPI kernel;
};
}

#endif
