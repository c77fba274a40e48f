#ifndef RESOURCES_TITLESTATE_H
#define RESOURCES_TITLESTATE_H

#include "Tovrane/GameState.h"

namespace Tovrane
{
// The title screen between the developer logo and the main menu. No loading
// picture and not kept on the stack: when the states above it are popped it
// is dropped, not entered again.
class TitleState : public GameState
{
public:
    TitleState();
    ~TitleState() override;

    bool isRiffStarted() const { return riffStarted; }
    bool isTitleSpoken() const { return titleSpoken; }

protected:
    bool riffStarted;
    bool titleSpoken;
    unsigned int riffStartTime;
};
}

#endif
