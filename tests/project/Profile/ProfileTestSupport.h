#ifndef TESTS_PROJECT_PROFILETESTSUPPORT_H
#define TESTS_PROJECT_PROFILETESTSUPPORT_H

#include "support/DataRoot.h"

#include "Resources/Profile/ScrivletPlayer.h"

#include "CSystem.h"
#include "CSystemData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace ProfileTest
{
typedef std::vector<unsigned char> Bytes;

// The shared scratch data root and title folder, unless another test of the
// program configured the system data first: then the profile tests skip.
struct Root
{
    std::string path; // without the "/" at the end; empty when not ours
};

inline const Root& root()
{
    static const Root r{TestSupport::useDataRoot()
                            ? TestSupport::scratchFolder().substr(0, TestSupport::scratchFolder().size() - 1)
                            : std::string()};
    return r;
}

inline std::string titlePath() { return CSystemData::Instance()->GetCurrentTitlePath().raw(); }
inline std::string playerFolder(tPlayerID id) { return root().path + "/data/players/" + std::to_string(id) + "/"; }
inline std::string uploadFolder() { return root().path + "/data/upload/Art/"; }
inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

// The four save files of player 0, in the order of `SaveFile`.
enum SaveFile { DataFile, LessonFile, AnimationFile, AchievementFile };
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
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<Bytes> readSaveFiles()
{
    return {readBytes(saveFile(0)), readBytes(saveFile(1)), readBytes(saveFile(2)), readBytes(saveFile(3))};
}

inline void writeBytes(const std::string& path, const Bytes& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const std::string& path, const std::string& text)
{
    writeBytes(path, Bytes(text.begin(), text.end()));
}

inline void putInt(Bytes& bytes, size_t offset, int value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<unsigned char>(static_cast<unsigned int>(value) >> (8 * i));
}

// What `f` prints on standard output.
template <class F> std::string output(F f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

// Every test starts with player 0, no player files, no downloads, no upload
// waiting, and the title's own colouring book of eight pages.
class Fixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (root().path.empty())
            GTEST_SKIP() << "the system data was configured by another test";
        usePlayer(0);
        std::filesystem::remove_all(root().path + "/data");
        std::filesystem::remove_all(root().path + "/title");
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

    // Player 0 after a little play, saved.
    static void playSome()
    {
        using namespace Tovrane;
        ScrivletPlayerPtr profile = loadProfile();
        profile->firstLaunch = profile->mapTutorialPending = profile->studioIntroPending = 0;
        profile->musicVolume = 45;
        profile->setLocationState(LocationName::Firehouse, TaskState::Complete);
        profile->setLocationState(LocationName::Library, TaskState::Started);
        profile->setLastCompleteLocation(LocationName::Firehouse);
        profile->lastUploadedSlot = 2;
        profile->setLessonState(0, TaskState::Complete);
        profile->setLessonState(10, TaskState::Started);
        profile->setAdvancedLessonState(18, TaskState::Complete);
        profile->setNumberOfFrames(1, 7);
        profile->unlockBadge(BadgeName::Firehouse);
        profile->unlockAchievement(AchievementName::Animation);
        profile->save();
    }
};
}

#endif
