#ifndef TOVRANE_CONTROLLER_H
#define TOVRANE_CONTROLLER_H

#include "Tovrane/Object.h"

#include <boost/pointer_cast.hpp>

namespace Tovrane
{
// How a controller maps its clock into its span of time.
struct RepeatType
{
    enum Type : int
    {
        Clamp = 0,
        Reverse = 1,
        PingPong = 2,
        Wrap = 3
    };
};

// Base of every time-driven behaviour: keeps a control time that advances with
// the application time while playing.
class Controller : public Object
{
    TOVRANE_DECLARE_RTTI(Controller)

public:
    Controller();
    ~Controller() override;

    virtual void play();
    virtual void stop();
    // Advances the clock; true when the step counts (subclasses then do their work).
    virtual bool update(unsigned int appTime);

    void pause();
    void restart();
    bool isPlaying() const;

    unsigned int computeControlTime();
    unsigned int computeControlTimeForward(unsigned int t) const;
    unsigned int computeControlTimeReverse(unsigned int t) const;

    Object* getObject() const { return object; }

    // Written directly by subclasses and owners.
    bool playing;
    unsigned int minTime;
    unsigned int maxTime;
    RepeatType::Type repeatType;
    unsigned int lastAppTime;
    unsigned int controlTime;

private:
    friend class Object;
    Object* object;
};
}

#endif
