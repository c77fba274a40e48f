#ifndef PLATFORM_CTOUCHEVENTQUEUE_H
#define PLATFORM_CTOUCHEVENTQUEUE_H

#include "InputTypes.h"

#include <mutex>
#include <vector>

namespace Vantorel
{
namespace Kelm
{
// A listener that collects touch events while it is registered with the
// event service (CEventMPI). A destroyed queue unregisters itself.
class CTouchEventQueue
{
public:
    CTouchEventQueue();
    ~CTouchEventQueue();

    // Takes every queued event, oldest first; the queue is empty afterwards.
    std::vector<tTouchData> GetQueue();

    // Appends one event (the event service does this for registered queues).
    void Post(const tTouchData& data);
    void Clear();

    CTouchEventQueue(const CTouchEventQueue&) = delete;
    CTouchEventQueue& operator=(const CTouchEventQueue&) = delete;

private:
    std::mutex mutex;
    std::vector<tTouchData> events;
};
}
}

#endif
