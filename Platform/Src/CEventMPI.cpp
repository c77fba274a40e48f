#include "CEventMPI.h"

#include "CTouchEventQueue.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace
{
// Lock order: this registry first, then a queue's own lock.
std::mutex touchRegistryMutex;
std::vector<Vantorel::Kelm::CTouchEventQueue*> touchQueues;
}

namespace Vantorel
{
namespace Kelm
{
CEventMPI::CEventMPI() {}

CEventMPI::~CEventMPI() {}

bool CEventMPI::RegisterEventListener(CTouchEventQueue* listener, unsigned int)
{
    if (!listener)
        return false;
    std::lock_guard<std::mutex> lock(touchRegistryMutex);
    if (std::find(touchQueues.begin(), touchQueues.end(), listener) == touchQueues.end())
        touchQueues.push_back(listener);
    return true;
}

bool CEventMPI::UnregisterEventListener(CTouchEventQueue* listener)
{
    std::lock_guard<std::mutex> lock(touchRegistryMutex);
    auto found = std::find(touchQueues.begin(), touchQueues.end(), listener);
    if (found == touchQueues.end())
        return false;
    touchQueues.erase(found);
    listener->Clear();
    return true;
}

void CEventMPI::PostTouchEvent(const tTouchData& data)
{
    std::lock_guard<std::mutex> lock(touchRegistryMutex);
    for (CTouchEventQueue* queue : touchQueues)
        queue->Post(data);
}

std::size_t CEventMPI::GetListenerCount()
{
    std::lock_guard<std::mutex> lock(touchRegistryMutex);
    return touchQueues.size();
}
}
}
