#ifndef TOVRANE_PLAYER_H
#define TOVRANE_PLAYER_H

#include "CSystemData.h"

#include <string>

namespace Tovrane
{
// The player profile as the engine knows it: who is playing (from the
// platform), in which locale, whether the developer cheats are on and where
// the player's files live. The game's profile fills in the hooks: defaults,
// loading, the three saves and the downloaded content.
class Player
{
public:
    // The id stored when the platform names no valid player: no profile, so
    // nothing is read from or written to the player's files.
    static constexpr tPlayerID noPlayer = 3;

    Player();
    virtual ~Player();

    // Town progress, first-time flags and music volume start again.
    void reset();
    // Everything starts again (new profile, then reset).
    void create();
    // Reads the profile (defaults when there is no player), then the
    // downloaded content.
    void load();
    // Writes the profile; nothing without a player.
    void save();
    // Built-in content first, then every package the platform lists for the
    // current player, in the platform's order.
    void loadMicroDownloads();

    // Records an earned achievement in the usage log.
    void addAchievement(short id);
    // Reports an earned badge to the platform's profile of the current player.
    void addBadge(unsigned int number);
    // The platform's upload folder for a kind of data ("Art"), ending in "/".
    std::string getUploadPath(const std::string& dataType) const;

    bool hasPlayer() const { return playerId != noPlayer; }

    virtual void onReset() = 0;
    virtual void onNew() = 0;
    virtual void onLoad() = 0;
    virtual void onSavePlayer() = 0;
    virtual void onSavePersistent() = 0;
    virtual void onSaveAchievements() = 0;
    virtual void onLoadMicroDownloads() = 0;
    virtual void loadMicroDownload(const std::string& folder) = 0;

    tPlayerID playerId;
    // 1 "en-ca", 2 "en-gb", 3 "en-au", 4 "en-nz", 0 any other locale.
    int locale;
    bool cheatsEnabled;
    // The player's save-file folder; file names are appended directly.
    std::string localDataPath;
};
}

#endif
