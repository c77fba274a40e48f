// The module's one export: the factory the host calls to make the
// application it then drives through the host interface.
#include "StartStates.h"

#include "Tovrane/Application.h"

#include "HostStart.h"

#include "EscapeControls.h"

#include <cstdio>

namespace
{
// The state the host asked for, or the developer logo.
Tovrane::GameState* makeFirstState() { return Tovrane::StartStates::make(HostStart::requested()); }
}

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" __attribute__((visibility("default"))) CAppInterfacePtr CreateApp(void* hostData)
{
    const std::string start = HostStart::requested();
    if (!Tovrane::StartStates::isKnown(start))
    {
        std::printf("Unknown start state \"%s\"; the game starts in: %s\n", Tovrane::escapeControls(start).c_str(),
            Tovrane::StartStates::knownNames().c_str());
        HostStart::refuse();
        return CAppInterfacePtr();
    }
    Tovrane::Application* application = new Tovrane::Application(hostData, makeFirstState);
    Tovrane::Application::theApplication = application;
    // Should the pointer's count fail to allocate, the shared pointer deletes
    // the application and the failure passes on to the host.
    return CAppInterfacePtr(application);
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
