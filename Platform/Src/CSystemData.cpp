#include "CSystemData.h"
#include "EscapeControls.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <mutex>
#include <set>
#include <sys/stat.h>

namespace
{
std::mutex pathsMutex;
CSystemData::Config config;
bool answered = false; // guarded by pathsMutex

std::string withSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::mutex reportedMutex;
std::set<std::string> reportedFolders; // guarded by reportedMutex

// mkdir -p. A folder that cannot be made is said once, with the reason: the
// files later written in it could only say that their folder is missing.
void makeFolders(const std::string& path)
{
    for (size_t pos = 1; pos <= path.size(); ++pos)
    {
        if (pos != path.size() && path[pos] != '/')
            continue;
        const std::string prefix = path.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0755) == 0 || errno == EEXIST)
            continue;
        const int error = errno;
        struct stat status;
        if (::stat(prefix.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
            continue;
        std::lock_guard<std::mutex> lock(reportedMutex);
        if (reportedFolders.insert(prefix).second)
            std::cout << "Could not make the folder " << Tovrane::escapeControls(prefix) << ": " << std::strerror(error)
                      << std::endl;
        return;
    }
}

// Reads the configuration and fixes it in the same step, so that every answer
// stays the same. An empty answer (no title path configured) fixes nothing.
template <typename Compute> std::string answer(Compute compute)
{
    std::lock_guard<std::mutex> lock(pathsMutex);
    std::string result = compute(config);
    if (!result.empty())
        answered = true;
    return result;
}

std::string dataRoot(const CSystemData::Config& c) { return withSlash(c.dataRoot.empty() ? "." : c.dataRoot); }

Glib::ustring folder(const std::string& path)
{
    makeFolders(path);
    return Glib::ustring(path);
}
}

CSystemData* CSystemData::Instance()
{
    static CSystemData instance;
    return &instance;
}

bool CSystemData::Configure(const Config& newConfig)
{
    std::lock_guard<std::mutex> lock(pathsMutex);
    if (answered)
        return false;
    config = newConfig;
    return true;
}

Glib::ustring CSystemData::GetCurrentTitlePath() const
{
    // The title's own folder is read, never created.
    return answer([](const Config& c) { return c.titlePath.empty() ? std::string() : withSlash(c.titlePath); });
}

Glib::ustring CSystemData::GetUniversalAudioPath() const
{
    return folder(answer([](const Config& c) {
        return c.universalAudioPath.empty() ? dataRoot(c) + "universal_audio/" : withSlash(c.universalAudioPath);
    }));
}

Glib::ustring CSystemData::GetCurrentGamePackageID() const
{
    return answer([](const Config& c) { return c.packageID.empty() ? std::string("Scrivlet") : c.packageID; });
}

Glib::ustring CSystemData::GetLocalDataPath(tPlayerID player, const Glib::ustring& name) const
{
    return folder(answer([&](const Config& c) {
        return withSlash(dataRoot(c) + "players/" + std::to_string(player) + "/" + name.raw());
    }));
}

Glib::ustring CSystemData::GetUploadDataPath(const Glib::ustring& name) const
{
    return folder(answer([&](const Config& c) {
        return withSlash(withSlash(c.uploadRoot.empty() ? dataRoot(c) + "upload" : c.uploadRoot) + name.raw());
    }));
}

Glib::ustring CSystemData::GetDataRootPath() const
{
    return folder(answer([](const Config& c) { return dataRoot(c); }));
}
