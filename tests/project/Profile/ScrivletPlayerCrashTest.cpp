#include "ProfileTestSupport.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
const size_t fileSizes[4] = {272, 332, 12, 36};

// Every value the game reads from the profile is one it can use.
void expectInRange(const ScrivletPlayer& profile)
{
    auto isState = [](int s) { return s >= TaskState::Locked && s <= TaskState::Complete; };
    for (int i = 0; i < ScrivletPlayer::locationCount; ++i)
        ASSERT_TRUE(isState(profile.locationStates[i]) && isState(profile.lessonStates[i])) << i;
    for (int i = 0; i < ScrivletPlayer::advancedLessonCount; ++i)
        ASSERT_TRUE(isState(profile.advancedLessonStates[i])) << "advanced lesson " << i;
    for (int i = 0; i < ScrivletPlayer::animationSlotCount; ++i)
        ASSERT_TRUE(profile.frameCounts[i] >= 1 && profile.frameCounts[i] <= 12);
    ASSERT_TRUE(profile.lastUploadedSlot >= -1 && profile.lastUploadedSlot <= 5);
    ASSERT_TRUE(profile.lastCompleteLocation >= 0 && profile.lastCompleteLocation < 64);
    ASSERT_TRUE(profile.getNumberOfCompletedLocations() >= 0 && profile.getNumberOfCompletedLocations() <= 22);
}

class DamagedFiles : public Fixture
{
};
class FuzzSeeds : public Fixture
{
};

// The savefiles input: each file as a 16-bit length and its bytes, 0xffff for a missing file.
Bytes saveFilesInput()
{
    Bytes input;
    for (int f = 0; f < 4; ++f)
    {
        const Bytes file = readBytes(saveFile(f));
        const size_t length = exists(saveFile(f)) ? file.size() : 0xffff;
        input.push_back(static_cast<unsigned char>(length & 0xff));
        input.push_back(static_cast<unsigned char>(length >> 8));
        input.insert(input.end(), file.begin(), file.end());
    }
    return input;
}
}

// Every value a loaded profile keeps from its files, in file order.
std::vector<int> valuesOf(const ScrivletPlayer& p)
{
    std::vector<int> values{p.firstLaunch,       p.mapTutorialPending, p.studioIntroPending, p.warehouseHintPending,
                            p.letterVisitPending, p.musicVolume,        p.lastUploadedSlot,   p.lastCompleteLocation};
    values.insert(values.end(), p.locationStates, p.locationStates + ScrivletPlayer::locationCount);
    values.insert(values.end(), p.lessonStates, p.lessonStates + ScrivletPlayer::writingLessonCount);
    values.insert(values.end(), p.advancedLessonStates, p.advancedLessonStates + ScrivletPlayer::advancedLessonCount);
    values.insert(values.end(), p.frameCounts, p.frameCounts + ScrivletPlayer::animationSlotCount);
    values.insert(values.end(), p.badges, p.badges + ScrivletPlayer::badgeCount);
    values.insert(values.end(), p.achievements, p.achievements + ScrivletPlayer::achievementCount);
    return values;
}

// A file cut at any byte keeps every whole value before the cut; the values
// it lacks, or that the cut runs through, take their defaults. The other files
// keep what they hold. Compared with the played files laid over the new
// profile's whole files.
TEST_F(DamagedFiles, EveryFileCutAtEveryByte)
{
    loadProfile()->save();
    const std::vector<Bytes> defaults = readSaveFiles();
    playSome();
    const std::vector<Bytes> good = readSaveFiles();
    const size_t wordsFrom[4] = {8, 0, 0, 36}; // single bytes before, 4-byte values from there
    for (int f = 0; f < 4; ++f)
        for (size_t cut = 0; cut < fileSizes[f]; ++cut)
        {
            if (cut == 0)
                for (int g = 0; g < 4; ++g)
                    writeBytes(saveFile(g), good[g]);
            const size_t whole = cut <= wordsFrom[f] ? cut : wordsFrom[f] + (cut - wordsFrom[f]) / 4 * 4;
            Bytes reference = defaults[f];
            std::copy(good[f].begin(), good[f].begin() + whole, reference.begin());
            writeBytes(saveFile(f), reference);
            const std::vector<int> expected = valuesOf(*loadProfile());
            writeBytes(saveFile(f), Bytes(good[f].begin(), good[f].begin() + cut));
            ASSERT_EQ(expected, valuesOf(*loadProfile())) << saveFileNames[f] << " cut at " << cut;
        }
}

// Random bytes of any length load into usable values, and what is loaded
// survives a save and a second load unchanged.
TEST_F(DamagedFiles, RandomBytesLoadIntoRange)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round)
    {
        for (int f = 0; f < 4; ++f)
        {
            Bytes bytes(random() % 3 == 0 ? random() % (fileSizes[f] + 8) : fileSizes[f]);
            for (unsigned char& b : bytes)
                b = static_cast<unsigned char>(random() % 7 == 0 ? random() % 5 : random());
            writeBytes(saveFile(f), bytes);
        }
        ScrivletPlayerPtr profile = loadProfile();
        SCOPED_TRACE("round " + std::to_string(round));
        expectInRange(*profile);
        profile->save();
        const std::vector<Bytes> saved = readSaveFiles();
        loadProfile()->save();
        ASSERT_EQ(saved, readSaveFiles());
    }
}

// A writer killed at any moment leaves each file as one whole save, the one
// before or the one being written, never a mix of the two.
TEST_F(DamagedFiles, AKilledWriterNeverLeavesAMixedFile)
{
    ScrivletPlayerPtr a = loadProfile();
    ScrivletPlayerPtr b = loadProfile();
    std::fill(b->locationStates, b->locationStates + 64, TaskState::Started);
    std::fill(b->lessonStates, b->lessonStates + 64, TaskState::Complete);
    std::fill(b->advancedLessonStates, b->advancedLessonStates + 19, TaskState::Started);
    std::fill(b->frameCounts, b->frameCounts + 3, 12);
    std::fill(b->badges, b->badges + 27, 1);
    std::fill(b->achievements, b->achievements + 9, 1);
    b->musicVolume = 99;
    b->lastCompleteLocation = 24;
    b->save();
    const std::vector<Bytes> versionB = readSaveFiles();
    a->save();
    const std::vector<Bytes> versionA = readSaveFiles();

    std::mt19937 random(99);
    for (int round = 0; round < 40; ++round)
    {
        std::fflush(stdout);
        pid_t child = ::fork();
        ASSERT_NE(-1, child);
        if (child == 0)
            for (;;)
            {
                b->save();
                a->save();
            }
        std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::vector<Bytes> now = readSaveFiles();
        for (int f = 0; f < 4; ++f)
            ASSERT_TRUE(now[f] == versionA[f] || now[f] == versionB[f])
                << saveFileNames[f] << " mixed in round " << round;
        expectInRange(*loadProfile());
    }
}

// Writes the seed inputs of the profile's fuzz targets when
// TOVRANE_WRITE_FUZZ_SEEDS names the corpus folder (tests/fuzz/corpus).
TEST_F(FuzzSeeds, WriteWhenAsked)
{
    const char* corpus = std::getenv("TOVRANE_WRITE_FUZZ_SEEDS");
    if (!corpus)
        GTEST_SKIP() << "TOVRANE_WRITE_FUZZ_SEEDS is not set";
    const std::string saves = std::string(corpus) + "/savefiles/";
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
    std::remove(saveFile(LessonFile).c_str());
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
        writeText(std::string(corpus) + "/downloadjson/" + package[0], package[1]);
}
