// Writes the seed inputs of the profile's fuzz targets when
// TOVRANE_WRITE_FUZZ_SEEDS names the corpus folder (tests/fuzz/corpus);
// otherwise it is skipped.
#include "ProfileTestSupport.h"

#include <cstdlib>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
class FuzzSeeds : public Fixture
{
protected:
    // The savefiles input: each file as a 16-bit length and its bytes, 0xffff
    // for a missing file.
    Bytes saveFilesInput()
    {
        Bytes input;
        for (const char* name : {"data.bin", "lesson.bin", "animation.bin", "achievements.bin"})
        {
            std::string path = playerFolder(0) + "Scrivlet/" + name;
            Bytes file = exists(path) ? readBytes(path) : Bytes();
            size_t length = exists(path) ? file.size() : 0xffff;
            input.push_back(static_cast<unsigned char>(length & 0xff));
            input.push_back(static_cast<unsigned char>(length >> 8));
            input.insert(input.end(), file.begin(), file.end());
        }
        return input;
    }
};
}

TEST_F(FuzzSeeds, WriteWhenAsked)
{
    const char* corpus = std::getenv("TOVRANE_WRITE_FUZZ_SEEDS");
    if (!corpus)
        GTEST_SKIP() << "TOVRANE_WRITE_FUZZ_SEEDS is not set";
    std::string saves = std::string(corpus) + "/savefiles/";
    std::string downloads = std::string(corpus) + "/downloadjson/";

    ScrivletPlayerPtr profile = loadProfile();
    profile->save();
    writeBytes(saves + "new_profile", saveFilesInput());

    profile->firstLaunch = 0;
    profile->musicVolume = 45;
    profile->setLocationState(LocationName::Firehouse, TaskState::Complete);
    profile->setLocationState(LocationName::Library, TaskState::Started);
    profile->setLastCompleteLocation(LocationName::Firehouse);
    profile->lastUploadedSlot = 2;
    profile->setLessonState(12, TaskState::Complete);
    profile->setAdvancedLessonState(3, TaskState::Started);
    profile->setNumberOfFrames(2, 12);
    profile->unlockBadge(BadgeName::Firehouse);
    profile->unlockAchievement(AchievementName::Lines);
    profile->save();
    writeBytes(saves + "some_play", saveFilesInput());

    std::remove((playerFolder(0) + "Scrivlet/lesson.bin").c_str());
    writeBytes(saves + "no_lessons", saveFilesInput());

    const char* const packages[][2] = {
        {"frame", R"({"type": "Frame", "frame": 4})"},
        {"stamp", R"({"type": "Stamp", "stamp": 20})"},
        {"bundle", R"({"type": "Frandel", "subdirectories": ["task/", "frame/"]})"},
        {"bundle_escape", R"({"type": "Frandel", "subdirectories": ["../task/", "/tmp/", "./", 3]})"},
        {"coloring_book", R"({"type": "ColoringBook", "pageCount": 12})"},
        {"task", R"({"type": "Task", "name": "extra"})"},
        {"unknown", R"({"type": "Poster"})"},
    };
    for (const auto& package : packages)
        writeText(downloads + package[0], package[1]);
}
