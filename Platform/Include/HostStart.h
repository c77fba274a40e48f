#ifndef PLATFORM_HOSTSTART_H
#define PLATFORM_HOSTSTART_H

#include <string>

// The state the host was asked to start the module in (its --start option).
// The host sets the name before it calls CreateApp; the module reads it,
// starts in the state of that name, and refuses a name it does not know, in
// which case the host ends the run without starting it.
class HostStart
{
public:
    // Host side: the name asked for; empty for the module's own first state.
    static void request(const std::string& name);
    static std::string requested();
    // Module side: the name asked for is not one it knows.
    static void refuse();
    static bool isRefused();
};

#endif
