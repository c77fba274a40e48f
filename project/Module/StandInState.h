#ifndef MODULE_STANDINSTATE_H
#define MODULE_STANDINSTATE_H

#include "Tovrane/GameState.h"

#include <functional>

namespace Tovrane
{
// What a started state expects below it on the stack (the letter sequence of
// a letter task, the launcher of an art lesson), kept on the stack: entered
// first, it pushes the state; entered again, when that state has left, it
// leaves too. Shows and plays nothing.
class StandInState : public GameState
{
public:
    typedef std::function<GameState*()> Maker;

    explicit StandInState(Maker above);

    void enter() override;

private:
    Maker above;
    bool pushed;
};
}

#endif
