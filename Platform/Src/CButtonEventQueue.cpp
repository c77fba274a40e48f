#include "CButtonEventQueue.h"

#include "CButtonMPI.h"

namespace Vantorel
{
namespace Kelm
{
CButtonEventQueue::CButtonEventQueue() {}

CButtonEventQueue::~CButtonEventQueue()
{
    // The registry must never keep a pointer to a queue that is gone.
    CButtonMPI().UnregisterEventListener(this);
}

std::vector<tButtonData2> CButtonEventQueue::GetQueue()
{
    std::vector<tButtonData2> taken;
    std::lock_guard<std::mutex> lock(mutex);
    taken.swap(events);
    return taken;
}

void CButtonEventQueue::Post(const tButtonData2& data)
{
    std::lock_guard<std::mutex> lock(mutex);
    events.push_back(data);
}

void CButtonEventQueue::Clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    events.clear();
}
}
}
