#ifndef TESTS_SUPPORT_GENERATEDTITLE_H
#define TESTS_SUPPORT_GENERATEDTITLE_H

// The title the generator writes at build time, with the data root in the
// process's scratch folder.

#include "support/DataRoot.h"

#include <filesystem>
#include <string>

namespace TestSupport
{
// Configures the platform with the generated title; false when the title
// lacks `probe` (a file relative to it) or the paths were fixed before.
inline bool useGeneratedTitle(const std::string& probe)
{
    static const std::string title = std::string(TOVRANE_BINARY_DIR) + "/title/";
    static const bool configured = [] {
        CSystemData::Config config;
        config.titlePath = title;
        config.dataRoot = dataRoot();
        std::filesystem::create_directories(config.dataRoot);
        return CSystemData::Configure(config);
    }();
    return configured && std::filesystem::exists(title + probe);
}
}

#define REQUIRE_GENERATED_TITLE(probe)                                                                         \
    do                                                                                                         \
    {                                                                                                          \
        if (!TestSupport::useGeneratedTitle(probe))                                                            \
            GTEST_SKIP() << "no generated title with " << (probe) << ", or the paths were fixed before";      \
    } while (false)

#endif
