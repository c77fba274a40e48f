#ifndef TESTS_PROJECT_PROFILETESTSUPPORT_H
#define TESTS_PROJECT_PROFILETESTSUPPORT_H

// The profile tests' scratch data root, files and a fixture of player 0.
#include "support/DataRoot.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Texture.h"

#include "CSystem.h"

namespace ProfileTest
{
typedef std::vector<unsigned char> Bytes;

// The scratch folder of "data/" and "title/", without the "/" at the end;
// empty when another test configured the system data first.
inline const std::string& root()
{
    static const std::string& scratch = TestSupport::scratchFolder();
    static const std::string path = TestSupport::useDataRoot() ? scratch.substr(0, scratch.size() - 1) : "";
    return path;
}

inline std::string titlePath() { return CSystemData::Instance()->GetCurrentTitlePath().raw(); }
inline std::string playerFolder(tPlayerID id) { return root() + "/data/players/" + std::to_string(id) + "/"; }
template <class F> std::string output(F f) { return TestSupport::printed(f); }
inline bool says(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

inline void usePlayer(tPlayerID id)
{
    XQM::CSystem::Config config;
    config.playerID = id;
    XQM::CSystem::Configure(config);
}

inline void writeText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// One of two versions of a grouped save: picture slot 2 (with its thumbnail)
// or flipbook slot 1 (12 small frames and a frame count). Every file differs
// between the versions.
inline bool saveSlotVersion(Tovrane::ScrivletPlayer& profile, bool flipbook, int version)
{
    std::vector<Tovrane::TexturePtr> frames;
    for (int f = 0; f < (flipbook ? 12 : 1); ++f)
        frames.push_back(Tovrane::TexturePtr(new Tovrane::Texture(flipbook ? 64 : 320, flipbook ? 48 : 240,
                                                                  Tovrane::PixelFormat::RGBA8888, true,
                                                                  static_cast<unsigned char>(16 * version + f))));
    return flipbook ? profile.saveAnimation(frames, 1, 3 + 4 * version) : profile.saveImage(frames[0], 2);
}

// Player 0 with no files, and the title's colouring book of eight pages.
struct Fixture : ::testing::Test
{
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

    static Tovrane::ScrivletPlayerPtr loadProfile(std::string* printed = nullptr)
    {
        Tovrane::ScrivletPlayerPtr profile(new Tovrane::ScrivletPlayer);
        const std::string text = output([&] { profile->load(); });
        return printed ? (*printed = text, profile) : profile;
    }
};
}

#endif
