#ifndef RESOURCES_TITLESTATE_H
#define RESOURCES_TITLESTATE_H

#include "Tovrane/GameState.h"

namespace Tovrane
{
// The title screen between the developer logo and the main menu: one
// picture, the intro riff on the sound-effect channel and, a second into it,
// the spoken title. The riff's end opens the menu; so does a lifted tap once
// the profile has seen the riff to its end (its first-start flag is clear).
// No loading picture and not kept on the stack: when the states above it are
// popped it is dropped, not entered again.
class TitleState : public GameState
{
public:
    static const char* const RiffFile;
    static const char* const TitleSpeech;
    // The spoken title waits this long after the riff has started.
    static constexpr unsigned int SpeechDelay = 1000;

    TitleState();
    ~TitleState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;

    bool isRiffStarted() const { return riffStarted; }
    bool isTitleSpoken() const { return titleSpoken; }
    unsigned int getRiffStartTime() const { return riffStartTime; }

protected:
    // Pushes the main menu, once: a riff that ends in the frame of a lifted
    // tap, or two lifts in one frame, open one menu, not two. (The title is
    // never entered twice: it is not kept on the stack.)
    void openMenu();

    bool riffStarted;
    bool titleSpoken;
    unsigned int riffStartTime;
    bool handedOver;
};
}

#endif
