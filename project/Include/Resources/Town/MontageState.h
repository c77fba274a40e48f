#ifndef RESOURCES_TOWN_MONTAGESTATE_H
#define RESOURCES_TOWN_MONTAGESTATE_H

#include "Tovrane/GameState.h"

namespace Tovrane
{
// Stands in for the montage of the town's progress: a card that goes away
// by itself after Duration milliseconds of the clock, or at a lifted tap.
class MontageState : public GameState
{
public:
    static constexpr unsigned int Duration = 3000;

    MontageState();
    ~MontageState() override;

    void enter() override;
    void load() override;
    void update(unsigned int appTime) override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;

private:
    // Application time of the first loaded frame.
    unsigned int startTime;
    bool started;
};
}

#endif
