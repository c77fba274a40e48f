#include "ProfileTestSupport.h"

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
const char* const fileNames[4] = {"data.bin", "lesson.bin", "animation.bin", "achievements.bin"};
const size_t fileSizes[4] = {272, 332, 12, 36};

// Every value the game reads from the profile is one it can use.
void expectInRange(const ScrivletPlayer& profile)
{
    auto isState = [](int s) { return s >= TaskState::Locked && s <= TaskState::Complete; };
    for (int i = 0; i < ScrivletPlayer::locationCount; ++i)
        ASSERT_TRUE(isState(profile.locationStates[i])) << "location " << i;
    for (int i = 0; i < ScrivletPlayer::writingLessonCount; ++i)
        ASSERT_TRUE(isState(profile.lessonStates[i])) << "lesson " << i;
    for (int i = 0; i < ScrivletPlayer::advancedLessonCount; ++i)
        ASSERT_TRUE(isState(profile.advancedLessonStates[i])) << "advanced lesson " << i;
    for (int i = 0; i < ScrivletPlayer::animationSlotCount; ++i)
        ASSERT_TRUE(profile.frameCounts[i] >= 1 && profile.frameCounts[i] <= 12);
    ASSERT_TRUE(profile.lastUploadedSlot >= -1 && profile.lastUploadedSlot <= 5);
    ASSERT_TRUE(profile.lastCompleteLocation >= 0 && profile.lastCompleteLocation < 64);
    ASSERT_GE(profile.getNumberOfCompletedLocations(), 0);
    ASSERT_LE(profile.getNumberOfCompletedLocations(), 22);
}

class DamagedFiles : public Fixture
{
protected:
    std::string path(int file) const { return playerFolder(0) + "Scrivlet/" + fileNames[file]; }

    // Four files of a profile that has seen some play.
    void writeGoodFiles()
    {
        ScrivletPlayerPtr profile = loadProfile();
        profile->musicVolume = 50;
        profile->setLocationState(LocationName::Firehouse, TaskState::Complete);
        profile->setLessonState(3, TaskState::Complete);
        profile->setAdvancedLessonState(1, TaskState::Started);
        profile->frameCounts[2] = 9;
        profile->unlockBadge(BadgeName::Numbers);
        profile->save();
        for (int f = 0; f < 4; ++f)
            good[f] = readBytes(path(f));
    }

    Bytes good[4];
};
}

// A file cut at any byte gives that file's defaults; the other files keep
// what they hold.
TEST_F(DamagedFiles, EveryFileCutAtEveryByte)
{
    writeGoodFiles();
    for (int f = 0; f < 4; ++f)
    {
        for (size_t cut = 0; cut < fileSizes[f]; ++cut)
        {
            for (int g = 0; g < 4; ++g)
                writeBytes(path(g), good[g]);
            writeBytes(path(f), Bytes(good[f].begin(), good[f].begin() + cut));
            testing::internal::CaptureStdout();
            ScrivletPlayerPtr profile = loadProfile();
            testing::internal::GetCapturedStdout();
            SCOPED_TRACE(std::string(fileNames[f]) + " cut at " + std::to_string(cut));
            expectInRange(*profile);
            EXPECT_EQ(f == 0 ? 25 : 50, profile->musicVolume);
            EXPECT_EQ(f == 0 ? TaskState::Available : TaskState::Complete, profile->locationStates[4]);
            EXPECT_EQ(f == 1 ? TaskState::Available : TaskState::Complete, profile->getLessonState(3));
            EXPECT_EQ(f == 2 ? 1 : 9, profile->frameCounts[2]);
            EXPECT_EQ(f != 3, profile->hasBadge(BadgeName::Numbers));
            if (HasFailure())
                return;
        }
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
            size_t size = random() % 3 == 0 ? random() % (fileSizes[f] + 8) : fileSizes[f];
            Bytes bytes(size);
            for (unsigned char& b : bytes)
                b = static_cast<unsigned char>(random() % 7 == 0 ? random() % 5 : random());
            writeBytes(path(f), bytes);
        }
        testing::internal::CaptureStdout();
        ScrivletPlayerPtr profile = loadProfile();
        testing::internal::GetCapturedStdout();
        SCOPED_TRACE("round " + std::to_string(round));
        expectInRange(*profile);
        profile->save();
        Bytes saved[4];
        for (int f = 0; f < 4; ++f)
            saved[f] = readBytes(path(f));
        loadProfile()->save();
        for (int f = 0; f < 4; ++f)
            ASSERT_EQ(saved[f], readBytes(path(f))) << fileNames[f];
    }
}

// A writer killed at any moment leaves each file as one whole save, the one
// before or the one being written, never a mix of the two.
TEST_F(DamagedFiles, AKilledWriterNeverLeavesAMixedFile)
{
    ScrivletPlayerPtr a = loadProfile();
    ScrivletPlayerPtr b = loadProfile();
    for (int i = 0; i < 64; ++i)
    {
        b->locationStates[i] = TaskState::Started;
        b->lessonStates[i] = TaskState::Complete;
    }
    for (int i = 0; i < 19; ++i)
        b->advancedLessonStates[i] = TaskState::Started;
    b->musicVolume = 99;
    b->lastCompleteLocation = 24;
    for (int i = 0; i < 3; ++i)
        b->frameCounts[i] = 12;
    for (int i = 0; i < 27; ++i)
        b->badges[i] = 1;
    for (int i = 0; i < 9; ++i)
        b->achievements[i] = 1;

    Bytes versionA[4], versionB[4];
    b->save();
    for (int f = 0; f < 4; ++f)
        versionB[f] = readBytes(path(f));
    a->save();
    for (int f = 0; f < 4; ++f)
        versionA[f] = readBytes(path(f));

    std::mt19937 random(99);
    for (int round = 0; round < 40; ++round)
    {
        std::fflush(stdout);
        pid_t child = ::fork();
        ASSERT_NE(-1, child);
        if (child == 0)
        {
            for (;;)
            {
                b->save();
                a->save();
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (int f = 0; f < 4; ++f)
        {
            Bytes now = readBytes(path(f));
            ASSERT_TRUE(now == versionA[f] || now == versionB[f])
                << fileNames[f] << " is mixed after round " << round;
        }
        ScrivletPlayerPtr loaded = loadProfile();
        expectInRange(*loaded);
    }
}
