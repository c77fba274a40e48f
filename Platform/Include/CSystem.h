#ifndef PLATFORM_CSYSTEM_H
#define PLATFORM_CSYSTEM_H

#include "CSystemData.h"

#include <glibmm/ustring.h>

#include <string>

namespace XQM
{
// The device's system settings that a title may ask for: the locale, the
// player who is playing and whether the developer cheats are on. The host sets
// them from its options before the module starts; every object made afterwards
// answers from that configuration.
class CSystem
{
public:
    struct Config
    {
        std::string locale = "en-us";
        tPlayerID playerID = 0;
        bool cheats = false;
    };

    // Replaces the configuration (the host calls it once, before CreateApp).
    static void Configure(const Config& config);

    CSystem();

    Glib::ustring GetLocale() const;
    tPlayerID GetCurrentPlayerID() const;
    bool AreCheatsEnabled() const;

private:
    Config config;
};
}

#endif
