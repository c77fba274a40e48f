#include "CAppManager.h"

#include "HostTrace.h"

CAppManager* CAppManager::Instance()
{
    static CAppManager instance;
    return &instance;
}

void CAppManager::PopApp()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        popRequested = true;
    }
    HostTrace::write("PopApp");
}

void CAppManager::PushApp(const Glib::ustring& application, void*)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        pushRequests.push_back(application.raw());
    }
    HostTrace::write("PushApp", application.raw());
}

void CAppManager::EnableInactivity(bool enable)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        inactivityEnabled = enable;
    }
    HostTrace::write(enable ? "inactivity-on" : "inactivity-off");
}

bool CAppManager::IsPopRequested() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return popRequested;
}

bool CAppManager::TakePushRequest(std::string& application)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (pushRequests.empty())
        return false;
    application = pushRequests.front();
    pushRequests.pop_front();
    return true;
}

bool CAppManager::IsInactivityEnabled() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return inactivityEnabled;
}

void CAppManager::Reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    popRequested = false;
    inactivityEnabled = true;
    pushRequests.clear();
}
