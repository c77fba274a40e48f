#include "CSystemData.h"

#include <atomic>
#include <cerrno>
#include <mutex>
#include <sys/stat.h>

namespace
{
std::mutex configMutex;
CSystemData::Config config;
std::atomic<bool> queried(false);

std::string withSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

// mkdir -p; failures show up later when a file cannot be opened.
void makeFolders(const std::string& path)
{
    for (size_t pos = 1; pos <= path.size(); ++pos)
    {
        if (pos == path.size() || path[pos] == '/')
        {
            std::string prefix = path.substr(0, pos);
            if (!prefix.empty())
                ::mkdir(prefix.c_str(), 0755);
        }
    }
}

std::string folder(const std::string& path)
{
    std::string result = withSlash(path);
    makeFolders(result);
    return result;
}

CSystemData::Config current()
{
    std::lock_guard<std::mutex> lock(configMutex);
    queried = true;
    return config;
}
}

CSystemData* CSystemData::Instance()
{
    static CSystemData instance;
    return &instance;
}

bool CSystemData::Configure(const Config& newConfig)
{
    std::lock_guard<std::mutex> lock(configMutex);
    if (queried)
        return false;
    config = newConfig;
    return true;
}

Glib::ustring CSystemData::GetCurrentTitlePath() const
{
    Config c = current();
    return c.titlePath.empty() ? Glib::ustring() : Glib::ustring(withSlash(c.titlePath));
}

Glib::ustring CSystemData::GetUniversalAudioPath() const
{
    Config c = current();
    return folder(c.universalAudioPath.empty() ? withSlash(c.dataRoot) + "universal_audio" : c.universalAudioPath);
}

Glib::ustring CSystemData::GetCurrentGamePackageID() const { return current().packageID; }

Glib::ustring CSystemData::GetLocalDataPath(tPlayerID player, const Glib::ustring& name) const
{
    Config c = current();
    return folder(withSlash(c.dataRoot) + "players/" + std::to_string(player) + "/" + name.raw());
}

Glib::ustring CSystemData::GetUploadDataPath(const Glib::ustring& name) const
{
    Config c = current();
    return folder((c.uploadRoot.empty() ? withSlash(c.dataRoot) + "upload" : c.uploadRoot) + "/" + name.raw());
}
