#include "CTouchEventQueue.h"

#include "CEventMPI.h"

namespace Vantorel
{
namespace Kelm
{
CTouchEventQueue::CTouchEventQueue() {}

CTouchEventQueue::~CTouchEventQueue()
{
    // The registry must never keep a pointer to a queue that is gone.
    CEventMPI().UnregisterEventListener(this);
}

std::vector<tTouchData> CTouchEventQueue::GetQueue()
{
    std::vector<tTouchData> taken;
    std::lock_guard<std::mutex> lock(mutex);
    taken.swap(events);
    return taken;
}

void CTouchEventQueue::Post(const tTouchData& data)
{
    std::lock_guard<std::mutex> lock(mutex);
    events.push_back(data);
}

void CTouchEventQueue::Clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    events.clear();
}
}
}
