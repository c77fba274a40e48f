#ifndef TOVRANE_HOST_HOSTRUNNER_H
#define TOVRANE_HOST_HOSTRUNNER_H

#include "HostOptions.h"

namespace TovraneHost
{
// Loads the game module and drives it frame by frame: input from the window
// or the script into the registered queues, Update, the picture into the
// window and the screenshots, then the module's requests (PopApp ends the
// run, PushApp shows a movie card between Suspend and Resume).
class HostRunner
{
public:
    explicit HostRunner(const HostOptions& options);

    // Returns the process exit status: 0 after a clean run, 1 when the title
    // folder is missing or empty or the module could not be started, 2 when
    // the script cannot be read, an output or the data folder cannot be used,
    // another game holds the data folder, or the module refuses the start state.
    int run();

private:
    HostOptions options;
};
}

#endif
