#include "HostWork.h"

#include <condition_variable>
#include <mutex>

namespace
{
std::mutex workMutex;
std::condition_variable workDone;
int running = 0;
}

void HostWork::begin()
{
    std::lock_guard<std::mutex> lock(workMutex);
    ++running;
}

void HostWork::end()
{
    std::lock_guard<std::mutex> lock(workMutex);
    if (running > 0 && --running == 0)
        workDone.notify_all();
}

void HostWork::waitUntilIdle()
{
    std::unique_lock<std::mutex> lock(workMutex);
    workDone.wait(lock, [] { return running == 0; });
}
