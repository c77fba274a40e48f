#include "CPlayerProfile.h"

#include "AtomicFile.h"
#include "EscapeControls.h"
#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace XQM
{
CPlayerProfile::CPlayerProfile(tPlayerID id) : player(id) {}

Glib::ustring CPlayerProfile::GetBadgeFilePath(tPlayerID id)
{
    return CSystemData::Instance()->GetLocalDataPath(id, "Profile") + "badges.txt";
}

std::vector<unsigned long> CPlayerProfile::GetBadges() const
{
    std::vector<unsigned long> badges;
    if (player > 2)
        return badges;
    // A pipe or device under the file's name is not waited on, and counts as no badges.
    std::FILE* file = fopenRegularFile(GetBadgeFilePath(player).c_str(), "r");
    if (!file)
        return badges;
    // One decimal number a line; anything else on a line makes it not count.
    char line[64];
    while (std::fgets(line, sizeof line, file))
    {
        char* end = nullptr;
        unsigned long badge = std::strtoul(line, &end, 10);
        if (end != line && (*end == '\n' || *end == '\0') && line[0] >= '0' && line[0] <= '9')
            badges.push_back(badge);
    }
    std::fclose(file);
    std::sort(badges.begin(), badges.end());
    badges.erase(std::unique(badges.begin(), badges.end()), badges.end());
    return badges;
}

bool CPlayerProfile::HasBadge(unsigned long badge) const
{
    std::vector<unsigned long> badges = GetBadges();
    return std::binary_search(badges.begin(), badges.end(), badge);
}

bool CPlayerProfile::AddBadge(unsigned long badge)
{
    if (player > 2)
        return false;
    std::vector<unsigned long> badges = GetBadges();
    if (std::binary_search(badges.begin(), badges.end(), badge))
        return true;
    badges.insert(std::upper_bound(badges.begin(), badges.end(), badge), badge);

    std::string path = GetBadgeFilePath(player).raw();
    std::string text;
    for (unsigned long b : badges)
        text += std::to_string(b) + "\n";
    if (!writeFileAtomic(path.c_str(), text.data(), text.size()))
    {
        const int error = errno;
        std::cout << "Could not save file " << Tovrane::escapeControls(path) << ": " << atomicFailure(error)
                  << std::endl;
        return false;
    }
    return true;
}
}
