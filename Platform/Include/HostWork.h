#ifndef PLATFORM_HOSTWORK_H
#define PLATFORM_HOSTWORK_H

// Work the module runs on threads of its own (a state's loader) is counted
// from its start to its end, so that the host of a fixed-step run can let it
// finish before the next frame: such a run then shows the same frames and
// writes the same trace whatever the speed of the machine. Safe to call from
// any thread.
class HostWork
{
public:
    // Called by the thread that starts the work, before it starts it.
    static void begin();
    // Called when the work is done, on any thread.
    static void end();
    // Host side: returns once no counted work runs.
    static void waitUntilIdle();
};

#endif
