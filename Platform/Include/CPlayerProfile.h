#ifndef PLATFORM_CPLAYERPROFILE_H
#define PLATFORM_CPLAYERPROFILE_H

#include "CSystemData.h"

#include <glibmm/ustring.h>

#include <vector>

namespace XQM
{
// The device's own profile of a player, as far as titles touch it: the badges
// the player has earned. They are kept as a text file, one number a line, in
// the player's "Profile" data folder. Players are 0 to 2; any other id has no
// profile, records nothing and has no badges.
class CPlayerProfile
{
public:
    explicit CPlayerProfile(tPlayerID player);

    // Records the badge. False when it could not be recorded (no such player,
    // or the file could not be written; the old file then stays as it was).
    bool AddBadge(unsigned long badge);
    bool HasBadge(unsigned long badge) const;
    // The recorded badges in ascending order.
    std::vector<unsigned long> GetBadges() const;

    static Glib::ustring GetBadgeFilePath(tPlayerID player);

private:
    tPlayerID player;
};
}

#endif
