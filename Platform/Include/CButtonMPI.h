#ifndef PLATFORM_CBUTTONMPI_H
#define PLATFORM_CBUTTONMPI_H

#include "InputTypes.h"

#include <cstddef>

namespace Vantorel
{
namespace Kelm
{
class CButtonEventQueue;

// The button service: registration of button queues and the touch screen's
// mode. Objects are cheap handles on one process-wide registry; the host posts
// the button events it reads from the keyboard or a script.
class CButtonMPI
{
public:
    CButtonMPI();
    ~CButtonMPI();

    // Registers a queue; registering it again changes nothing.
    bool RegisterEventListener(CButtonEventQueue* listener);
    // Unregisters a queue and drops the events it still holds.
    bool UnregisterEventListener(CButtonEventQueue* listener);

    void SetTouchMode(tTouchMode mode);
    tTouchMode GetTouchMode() const;

    // Host side.
    static void PostButtonEvent(const tButtonData2& data);
    static std::size_t GetListenerCount();
};
}
}

#endif
