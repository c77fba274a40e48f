#include "HostStart.h"

#include <mutex>

namespace
{
std::mutex startMutex;
std::string startName;
bool startRefused = false;
}

void HostStart::request(const std::string& name)
{
    std::lock_guard<std::mutex> lock(startMutex);
    startName = name;
    startRefused = false;
}

std::string HostStart::requested()
{
    std::lock_guard<std::mutex> lock(startMutex);
    return startName;
}

void HostStart::refuse()
{
    std::lock_guard<std::mutex> lock(startMutex);
    startRefused = true;
}

bool HostStart::isRefused()
{
    std::lock_guard<std::mutex> lock(startMutex);
    return startRefused;
}
