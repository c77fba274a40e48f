#include "CMicroDownloads.h"

#include <algorithm>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

namespace XQM
{
Glib::ustring CMicroDownloads::GetDownloadsPath(tPlayerID player)
{
    return CSystemData::Instance()->GetLocalDataPath(player, "Downloads");
}

std::vector<Glib::ustring> CMicroDownloads::get(tPlayerID player) const
{
    std::vector<Glib::ustring> result;
    if (player > 2)
        return result;

    std::string folder = GetDownloadsPath(player).raw();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return result;
    std::vector<std::string> names;
    while (struct dirent* entry = ::readdir(dir))
    {
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        struct stat info;
        if (::stat((folder + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            names.push_back(name);
    }
    ::closedir(dir);

    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        result.push_back(folder + name);
    return result;
}
}
