// A scratch title and data root for the player-profile fuzz targets: made once
// per run in the fuzz scratch folder (in memory), configured as the
// platform's folders, removed at exit.
#ifndef TESTS_FUZZ_PROFILEFUZZFOLDER_H
#define TESTS_FUZZ_PROFILEFUZZFOLDER_H

#include "CSystem.h"
#include "CSystemData.h"
#include "FuzzScratchFolder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline std::string& profileFuzzFolder()
{
    static std::string folder;
    return folder;
}

// Returns the folder (without a trailing "/"); aborts when it cannot be made.
inline std::string makeProfileFuzzFolder(const std::string& target)
{
    const std::string pattern = makeFuzzScratchFolder(target);
    profileFuzzFolder() = pattern;
    std::atexit([] { std::filesystem::remove_all(profileFuzzFolder()); });
    CSystemData::Config config;
    config.dataRoot = pattern + "/data";
    config.titlePath = pattern + "/title";
    CSystemData::Configure(config);
    XQM::CSystem::Configure(XQM::CSystem::Config());
    return pattern;
}

#endif
