#ifndef PLATFORM_CBUTTONEVENTQUEUE_H
#define PLATFORM_CBUTTONEVENTQUEUE_H

#include "InputTypes.h"

#include <mutex>
#include <vector>

namespace Vantorel
{
namespace Kelm
{
// A listener that collects button events while it is registered with the
// button service (CButtonMPI). A destroyed queue unregisters itself.
class CButtonEventQueue
{
public:
    CButtonEventQueue();
    ~CButtonEventQueue();

    // Takes every queued event, oldest first; the queue is empty afterwards.
    std::vector<tButtonData2> GetQueue();

    // Appends one event (the button service does this for registered queues).
    void Post(const tButtonData2& data);
    void Clear();

    CButtonEventQueue(const CButtonEventQueue&) = delete;
    CButtonEventQueue& operator=(const CButtonEventQueue&) = delete;

private:
    std::mutex mutex;
    std::vector<tButtonData2> events;
};
}
}

#endif
