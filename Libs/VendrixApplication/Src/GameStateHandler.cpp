#include "Tovrane/GameStateHandler.h"

#include "Tovrane/GameState.h"

#include "CAppManager.h"

#include <algorithm>

namespace Tovrane
{
GameStateHandler::GameStateHandler() : lastSize(0), closing(false), started(false) {}

GameStateHandler::~GameStateHandler()
{
    // Every state is exited before any is destroyed, the top first: a state
    // that popped itself and was not switched away from yet, then the stack
    // from the top down (covered states get a second, harmless exit).
    if (current && !current->isExited() && !isOnStack(current))
        exitState(current);
    {
        // A copy, in case an exit pops; it is gone before anything is destroyed.
        const std::deque<GameStatePtr> remaining = stack;
        for (std::deque<GameStatePtr>::const_reverse_iterator it = remaining.rbegin(); it != remaining.rend(); ++it)
            exitState(*it);
    }
    current.reset();

    // Then destroyed in the same order. Destructors may pop; the loop reads
    // the stack afresh each time.
    for (;;)
    {
        GameStatePtr state;
        if (!popped.empty())
        {
            state = popped.front();
            popped.erase(popped.begin());
        }
        else if (!stack.empty())
        {
            state = stack.back();
            stack.pop_back();
        }
        else
            break;
        if (!state->isExited())
            exitState(state);
    }
}

void GameStateHandler::push(GameState* state)
{
    GameStatePtr pushed(state);
    if (!started)
    {
        // The very first state runs at once. It is on the stack before its
        // enter, so a push from that enter lands above it.
        started = true;
        stack.push_back(pushed);
        current = pushed;
        current->enter();
        lastSize = static_cast<int>(stack.size());
        return;
    }
    stack.push_back(pushed);
}

void GameStateHandler::pop()
{
    if (stack.empty())
        return;
    popped.push_back(stack.back());
    stack.pop_back();
}

void GameStateHandler::update(unsigned int appTime)
{
    // Once the host has been asked to close, the current state is exited and
    // its scene released: nothing runs any more.
    if (closing || !current)
        return;

    current->idle(appTime);

    if (!stack.empty() && (current->isSuspended() || current == stack.back()))
    {
        // A state pushed and popped again within the frame goes now.
        if (!current->isSuspended())
            releasePopped();
        return;
    }

    exitState(current);
    // The exited state is destroyed here unless it is still on the stack
    // (covered by a push); popped states go with it, the top first.
    current.reset();
    releasePopped();

    if (!stack.empty() && lastSize <= static_cast<int>(stack.size()))
    {
        enterTop();
        return;
    }
    for (;;)
    {
        if (stack.empty())
        {
            closing = true;
            CAppManager::Instance()->PopApp();
            return;
        }
        if (stack.back()->isKeptOnStack())
        {
            enterTop();
            return;
        }
        // Dropped without a second exit: it was exited when it was covered.
        popped.push_back(stack.back());
        stack.pop_back();
        releasePopped();
    }
}

void GameStateHandler::suspend()
{
    if (current)
        current->suspend();
}

void GameStateHandler::resume()
{
    if (current)
        current->resume();
}

GameStatePtr GameStateHandler::getState(std::size_t index) const
{
    return index < stack.size() ? stack[index] : GameStatePtr();
}

bool GameStateHandler::isOnStack(const GameStatePtr& state) const
{
    return std::find(stack.begin(), stack.end(), state) != stack.end();
}

void GameStateHandler::releasePopped()
{
    while (!popped.empty())
    {
        GameStatePtr state = popped.front();
        popped.erase(popped.begin());
        // The last reference goes here unless the state is current.
        state.reset();
    }
}

void GameStateHandler::exitState(const GameStatePtr& state)
{
    // An override of exit releases its own members before the base exit
    // waits for the loader, so the wait comes first.
    state->waitForLoader();
    state->exit();
}

void GameStateHandler::enterTop()
{
    current = stack.back();
    current->enter();
    lastSize = static_cast<int>(stack.size());
}
}
