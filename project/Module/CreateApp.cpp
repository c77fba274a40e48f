// The module's one export: the factory the host calls to make the
// application it then drives through the host interface.
#include "Resources/FrontEnd/PlumoLogoState.h"
#include "Tovrane/Application.h"

namespace
{
// The game starts with the developer logo.
Tovrane::GameState* makeFirstState() { return new Tovrane::PlumoLogoState; }
}

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" __attribute__((visibility("default"))) CAppInterfacePtr CreateApp(void* hostData)
{
    Tovrane::Application* application = new Tovrane::Application(hostData, makeFirstState);
    Tovrane::Application::theApplication = application;
    // Should the pointer's count fail to allocate, the shared pointer deletes
    // the application and the failure passes on to the host.
    return CAppInterfacePtr(application);
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
