#ifndef TESTS_PROJECT_PROFILETESTSUPPORT_H
#define TESTS_PROJECT_PROFILETESTSUPPORT_H

#include "support/DataRoot.h"

#include "Resources/Profile/ScrivletPlayer.h"

#include "CSystem.h"
#include "CSystemData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ProfileTest
{
typedef std::vector<unsigned char> Bytes;

// The scratch folder holding the data root ("data/") and the title folder
// ("title/"), without the "/" at the end; empty when another test of the
// program configured the system data first (the profile tests then skip).
inline const std::string& root()
{
    static const std::string& scratch = TestSupport::scratchFolder();
    static const std::string path = TestSupport::useDataRoot() ? scratch.substr(0, scratch.size() - 1) : "";
    return path;
}

inline std::string titlePath() { return CSystemData::Instance()->GetCurrentTitlePath().raw(); }
inline std::string playerFolder(tPlayerID id) { return root() + "/data/players/" + std::to_string(id) + "/"; }
inline std::string uploadFolder() { return root() + "/data/upload/Art/"; }
inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

// The four save files of player 0.
const char* const saveFileNames[4] = {"data.bin", "lesson.bin", "animation.bin", "achievements.bin"};
inline std::string saveFile(int file) { return playerFolder(0) + "Scrivlet/" + saveFileNames[file]; }

inline void usePlayer(tPlayerID id)
{
    XQM::CSystem::Config config;
    config.playerID = id;
    XQM::CSystem::Configure(config);
}

inline Bytes readBytes(const std::string& path)
{
    const std::string bytes = TestSupport::readFile(path);
    return Bytes(bytes.begin(), bytes.end());
}

inline std::vector<Bytes> readSaveFiles()
{
    return {readBytes(saveFile(0)), readBytes(saveFile(1)), readBytes(saveFile(2)), readBytes(saveFile(3))};
}

inline void writeText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline void writeBytes(const std::string& path, const Bytes& bytes)
{
    writeText(path, std::string(bytes.begin(), bytes.end()));
}

// What `f` prints on standard output.
template <class F> std::string output(F f) { return TestSupport::printed(f); }

inline bool says(const std::string& printed, const std::string& part)
{
    return printed.find(part) != std::string::npos;
}

// Every test starts with player 0, no player files, no downloads, no upload
// waiting, and the title's own colouring book of eight pages.
class Fixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (root().empty())
            GTEST_SKIP() << "the system data was configured by another test";
        usePlayer(0);
        std::filesystem::remove_all(root() + "/data");
        std::filesystem::remove_all(root() + "/title");
        writeText(titlePath() + "coloring_book/download.json", R"({"type": "ColoringBook", "pageCount": 8})");
    }
    void TearDown() override { usePlayer(0); }

    // A loaded profile of the configured player; what loading prints goes to `printed`.
    static Tovrane::ScrivletPlayerPtr loadProfile(std::string* printed = nullptr)
    {
        Tovrane::ScrivletPlayerPtr profile(new Tovrane::ScrivletPlayer);
        const std::string text = output([&] { profile->load(); });
        if (printed)
            *printed = text;
        return profile;
    }
};
}

#endif
