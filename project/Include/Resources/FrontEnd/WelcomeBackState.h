#ifndef RESOURCES_FRONTEND_WELCOMEBACKSTATE_H
#define RESOURCES_FRONTEND_WELCOMEBACKSTATE_H

#include "Tovrane/GameState.h"

namespace Tovrane
{
// What a returning player sees between Play and the town map: in the middle
// of the story (the firehouse mended, the mansion not yet) a news movie, the
// montage of the town's progress and a closing news movie, one per entry;
// otherwise nothing. It shows nothing itself and pops when the sequence is
// over, so that the map below it is entered. Kept on the stack: each state
// it pushes brings it back when it pops.
class WelcomeBackState : public GameState
{
public:
    static const char* const IntroMovie;
    static const char* const EndMovie;

    WelcomeBackState();
    ~WelcomeBackState() override;

    // Pushes the step's movie or montage; pushes only from here, so each
    // happens once.
    void enter() override;
    void update(unsigned int appTime) override;

    // Whether the sequence applies to the current profile.
    static bool isSequenceDue();

    int getStep() const { return step; }
    bool isDone() const { return done; }

private:
    int step;
    bool done;
};
}

#endif
