#ifndef PLATFORM_CMICRODOWNLOADS_H
#define PLATFORM_CMICRODOWNLOADS_H

#include "CSystemData.h"

#include <glibmm/ustring.h>

#include <vector>

namespace XQM
{
// The content packages downloaded for a player: one folder each, below the
// player's "Downloads" data folder.
class CMicroDownloads
{
public:
    CMicroDownloads() = default;

    // The package folders of the player (ids 0 to 2; none for any other id),
    // without a trailing separator, sorted by name so the order is the same at
    // every start. Hidden entries and plain files are not packages.
    std::vector<Glib::ustring> get(tPlayerID player) const;

    // The folder the packages of a player are found in (ends in "/").
    static Glib::ustring GetDownloadsPath(tPlayerID player);
};
}

#endif
