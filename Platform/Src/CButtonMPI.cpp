#include "CButtonMPI.h"

#include "CButtonEventQueue.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace
{
// Lock order: this registry first, then a queue's own lock.
std::mutex buttonRegistryMutex;
std::vector<Vantorel::Kelm::CButtonEventQueue*> buttonQueues;
std::atomic<int> touchMode(Vantorel::Kelm::kTouchModeDefault);
}

namespace Vantorel
{
namespace Kelm
{
CButtonMPI::CButtonMPI() {}

CButtonMPI::~CButtonMPI() {}

bool CButtonMPI::RegisterEventListener(CButtonEventQueue* listener)
{
    if (!listener)
        return false;
    std::lock_guard<std::mutex> lock(buttonRegistryMutex);
    if (std::find(buttonQueues.begin(), buttonQueues.end(), listener) == buttonQueues.end())
        buttonQueues.push_back(listener);
    return true;
}

bool CButtonMPI::UnregisterEventListener(CButtonEventQueue* listener)
{
    std::lock_guard<std::mutex> lock(buttonRegistryMutex);
    auto found = std::find(buttonQueues.begin(), buttonQueues.end(), listener);
    if (found == buttonQueues.end())
        return false;
    buttonQueues.erase(found);
    listener->Clear();
    return true;
}

void CButtonMPI::SetTouchMode(tTouchMode mode) { touchMode.store(mode); }

tTouchMode CButtonMPI::GetTouchMode() const { return static_cast<tTouchMode>(touchMode.load()); }

void CButtonMPI::PostButtonEvent(const tButtonData2& data)
{
    std::lock_guard<std::mutex> lock(buttonRegistryMutex);
    for (CButtonEventQueue* queue : buttonQueues)
        queue->Post(data);
}

std::size_t CButtonMPI::GetListenerCount()
{
    std::lock_guard<std::mutex> lock(buttonRegistryMutex);
    return buttonQueues.size();
}
}
}
