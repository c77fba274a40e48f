#ifndef MODULE_LAUNCHERSTANDIN_H
#define MODULE_LAUNCHERSTANDIN_H

#include "Tovrane/GameState.h"

#include <functional>

namespace Tovrane
{
// Stands in for a lesson launcher (or the letter sequence below a letter
// task) when a lesson step is started on its own: kept on the stack, it
// pushes the step once, and when the step has popped and it is entered
// again, it pops itself, which ends the run.
class LauncherStandIn : public GameState
{
public:
    typedef std::function<GameState*()> StepMaker;

    explicit LauncherStandIn(StepMaker step);
    ~LauncherStandIn() override;

    void enter() override;
    void update(unsigned int appTime) override;

    int getEntries() const { return entries; }

private:
    StepMaker step;
    int entries;
    bool done;
};
}

#endif
