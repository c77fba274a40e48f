#ifndef TOVRANE_FLASHSTATE_H
#define TOVRANE_FLASHSTATE_H

#include "Tovrane/GameState.h"

#include <string>

namespace Tovrane
{
// Plays one of the title's movies: hands the movie file to the host's
// application manager, which runs it in front of the module, and pops itself
// at the first frame after control has come back. Shows the loading picture
// while loading and is kept on the stack, so a state above it that pops
// brings it back, and the movie plays again.
class FlashState : public GameState
{
public:
    // `name` is a file of the title's "flash/" folder, e.g. "Lines_Intro.swf".
    explicit FlashState(const std::string& name);
    ~FlashState() override;

    void enter() override;
    void update(unsigned int appTime) override;
    void exit() override;

    const std::string& getMoviePath() const { return moviePath; }
    bool isMovieStarted() const { return movieStarted; }

private:
    std::string moviePath;
    bool movieStarted;
    // The device's inactivity timer is off while the movie runs.
    bool inactivityOff;
};
}

#endif
