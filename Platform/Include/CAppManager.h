#ifndef PLATFORM_CAPPMANAGER_H
#define PLATFORM_CAPPMANAGER_H

#include <glibmm/ustring.h>

#include <deque>
#include <mutex>
#include <string>

// The device's application manager as the module sees it. A request made by
// the module is only recorded here; the host acts on it after the module's
// current Update has returned (PopApp: Exit and release the module; PushApp:
// Suspend, run the other application, Resume).
class CAppManager
{
public:
    static CAppManager* Instance();

    // Asks the host to close the calling module.
    void PopApp();
    // Asks the host to run another application (a movie file) in front of the
    // module. The data pointer is not used here.
    void PushApp(const Glib::ustring& application, void* data);
    // Switches the device's inactivity timer on or off.
    void EnableInactivity(bool enable);

    // Host side.
    bool IsPopRequested() const;
    // Takes the oldest pending PushApp request; false when there is none.
    bool TakePushRequest(std::string& application);
    bool IsInactivityEnabled() const;
    // Forgets every request and enables inactivity again (a new module).
    void Reset();

private:
    CAppManager() = default;

    mutable std::mutex mutex;
    bool popRequested = false;
    bool inactivityEnabled = true;
    std::deque<std::string> pushRequests;
};

#endif
