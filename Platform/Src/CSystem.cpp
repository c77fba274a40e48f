#include "CSystem.h"

#include <mutex>

namespace
{
std::mutex deviceConfigMutex;
XQM::CSystem::Config sharedConfig;
}

namespace XQM
{
void CSystem::Configure(const Config& config)
{
    std::lock_guard<std::mutex> lock(deviceConfigMutex);
    sharedConfig = config;
}

CSystem::CSystem()
{
    std::lock_guard<std::mutex> lock(deviceConfigMutex);
    config = sharedConfig;
}

Glib::ustring CSystem::GetLocale() const { return config.locale; }

tPlayerID CSystem::GetCurrentPlayerID() const { return config.playerID; }

bool CSystem::AreCheatsEnabled() const { return config.cheats; }
}
