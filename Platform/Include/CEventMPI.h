#ifndef PLATFORM_CEVENTMPI_H
#define PLATFORM_CEVENTMPI_H

#include "InputTypes.h"

#include <cstddef>

namespace Vantorel
{
namespace Kelm
{
class CTouchEventQueue;

// The event service through which touch queues are registered. Objects are
// cheap handles on one process-wide registry; the host posts the touch events
// it reads from the mouse or a script, and every registered queue gets them.
class CEventMPI
{
public:
    CEventMPI();
    ~CEventMPI();

    // Registers a queue; registering it again changes nothing. Returns true
    // when the queue is registered afterwards.
    bool RegisterEventListener(CTouchEventQueue* listener, unsigned int flags = 0);
    // Unregisters a queue and drops the events it still holds, so input
    // arrives only while a queue is registered.
    bool UnregisterEventListener(CTouchEventQueue* listener);

    // Host side.
    static void PostTouchEvent(const tTouchData& data);
    static std::size_t GetListenerCount();
};
}
}

#endif
