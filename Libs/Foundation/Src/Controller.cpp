#include "Tovrane/Controller.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Controller, Object);

Controller::Controller()
    : playing(false), minTime(0), maxTime(0), repeatType(RepeatType::Clamp), lastAppTime(0),
      controlTime(0), object(nullptr)
{
}

Controller::~Controller() = default;

void Controller::play() { playing = true; }

void Controller::pause() { playing = false; }

void Controller::stop()
{
    playing = false;
    lastAppTime = 0;
    controlTime = 0;
}

void Controller::restart()
{
    stop();
    play();
}

bool Controller::isPlaying() const
{
    if (!playing)
        return false;
    switch (repeatType)
    {
    case RepeatType::Clamp:
        return controlTime <= maxTime;
    case RepeatType::Reverse:
    case RepeatType::Wrap:
        return true;
    default:
        return controlTime <= 2u * maxTime;
    }
}

bool Controller::update(unsigned int appTime)
{
    if (!playing)
    {
        lastAppTime = appTime;
        return false;
    }
    if (appTime == lastAppTime)
        return false;
    if (lastAppTime == 0)
    {
        lastAppTime = appTime;
        return true;
    }
    controlTime += appTime - lastAppTime;
    lastAppTime = appTime;
    return true;
}

unsigned int Controller::computeControlTimeForward(unsigned int t) const
{
    if (t < minTime)
        return minTime;
    return t < maxTime ? t : maxTime;
}

unsigned int Controller::computeControlTimeReverse(unsigned int t) const
{
    if (t < minTime)
        return maxTime;
    if (t > maxTime)
        return minTime;
    return maxTime - t;
}

unsigned int Controller::computeControlTime()
{
    const unsigned int c = controlTime;
    switch (repeatType)
    {
    case RepeatType::Clamp:
        return computeControlTimeForward(c);
    case RepeatType::Reverse:
        return computeControlTimeReverse(c);
    case RepeatType::Wrap:
        if (c < minTime)
            return minTime;
        if (c <= maxTime || maxTime == 0)
            return c;
        // Subtracts maxTime itself (not the span), leaving a value in (0, maxTime].
        controlTime = c - ((c - 1) / maxTime) * maxTime;
        return controlTime;
    default:
        if (c < maxTime)
            return computeControlTimeForward(c);
        return computeControlTimeReverse(c - maxTime);
    }
}
}
