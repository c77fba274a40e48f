#ifndef TOVRANE_CHARACTERCONTROLLER_H
#define TOVRANE_CHARACTERCONTROLLER_H

#include "Tovrane/Controller.h"
#include "Tovrane/RandomSource.h"

#include <deque>
#include <string>

namespace Tovrane
{
class Character;
class CharacterController;
typedef boost::shared_ptr<CharacterController> CharacterControllerPtr;

// Gives a character its behaviour: a queue of one-shot animations played one
// after the other, a looping idle animation when the queue is empty, a blink
// laid over the idle every 2 to 5 seconds, and a mouth overlay (lip flap)
// switched on and off by the game while the character speaks.
// Attached to a Character; without one every operation does nothing.
class CharacterController : public Controller
{
    TOVRANE_DECLARE_RTTI(CharacterController)

public:
    CharacterController();
    ~CharacterController() override;

    // Queues the animation; when the queue was empty it starts at once,
    // hiding the current and the blink animation.
    void pushAnimation(const std::string& name);
    // Ends the playing one-shot animation early.
    void popAnimation();
    // Hides the current animation and plays the next queued one, or the idle.
    void playNextAnimation();
    // Loops the idle animation and draws the delay of the next blink.
    void playIdleAnimation();

    void setIdleAnimation(const std::string& name);
    void setBlinkAnimation(const std::string& name);
    // A random mouth (LipFlapController) or one that runs its frames in order.
    void setLipFlapAnimation(const std::string& name, bool random);
    void playLipFlapAnimation(bool loop);
    void stopLipFlapAnimation();
    bool isLipFlapPlaying() const { return lipFlapPlaying; }

    bool hasAnimation(const std::string& name) const;
    // No one-shot animation is queued or playing: the character idles.
    bool isAnimationQueueEmpty() const { return queue.empty(); }
    // The playing one-shot animation, or the idle name when none is queued.
    std::string getCurrentAnimationName() const;

    // Hands a one-shot animation on to the next once it has ended, and blinks
    // while idle.
    bool update(unsigned int appTime) override;

    // Used for blink delays and for the lip-flap controllers made afterwards.
    void setRandomSource(const RandomSource& source) { randomSource = source; }

    unsigned int getNextBlinkTime() const { return nextBlinkTime; }

    // Blink delays, in milliseconds of control time.
    static const unsigned int ShortestBlinkDelay = 2000;
    static const unsigned int LongestBlinkDelay = 5000;

protected:
    // The controlled character, or null.
    Character* getCharacter() const;

private:
    unsigned int nextBlinkDelay();
    void placeOverlay(const std::string& name);

    std::string idleAnimation;
    std::string blinkAnimation;
    unsigned int nextBlinkTime;
    std::string lipFlapAnimation;
    bool lipFlapPlaying;
    std::string currentAnimation;
    std::deque<std::string> queue;
    RandomSource randomSource;
};
}

#endif
