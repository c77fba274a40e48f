#ifndef TOVRANE_GAMESTATEHANDLER_H
#define TOVRANE_GAMESTATEHANDLER_H

#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <deque>
#include <vector>

namespace Tovrane
{
class GameState;
typedef boost::shared_ptr<GameState> GameStatePtr;

// The stack of game states and the rule that decides, once per frame, which
// one is current. Pushing and popping only edit the stack; the switch (exit
// of the old state, enter of the new one) happens in the next update, after
// the current state's frame has run, so a state may push or pop from inside
// its own handlers without being torn down while it runs.
//
// Popped states stay alive until the switch and are destroyed there, the top
// first, after the current state's exit and before the next state's enter.
class GameStateHandler
{
public:
    GameStateHandler();
    // Exits every state still on the stack, top first, and destroys it.
    virtual ~GameStateHandler();

    // Takes ownership of a state made with new. The very first state (no
    // state running) is entered at once; otherwise it is only appended.
    void push(GameState* state);
    // Removes the top state; nothing else happens until the next update. On
    // an empty stack it does nothing.
    void pop();
    // One frame of the current state, then the switching rule.
    void update(unsigned int appTime);
    void suspend();
    void resume();

    GameStatePtr getCurrent() const { return current; }
    int getLastSize() const { return lastSize; }
    std::size_t getStackSize() const { return stack.size(); }
    // The state at `index` from the bottom of the stack, or null.
    GameStatePtr getState(std::size_t index) const;
    // True once the stack has become empty and the host was asked to close.
    bool isClosing() const { return closing; }

    GameStateHandler(const GameStateHandler&) = delete;
    GameStateHandler& operator=(const GameStateHandler&) = delete;

private:
    bool isOnStack(const GameStatePtr& state) const;
    // Destroys the popped states, the one popped first first. Destructors
    // may pop again; those states go too.
    void releasePopped();
    void enterTop();
    // Waits for the state's loader, then exits it.
    void exitState(const GameStatePtr& state);

    int lastSize;
    std::deque<GameStatePtr> stack;
    GameStatePtr current;
    // Popped and waiting for the switch, in the order they were popped.
    std::vector<GameStatePtr> popped;
    bool closing;
    // Set by the first push, which alone enters its state at once.
    bool started;
};
}

#endif
