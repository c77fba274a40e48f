#include "ProfileTestSupport.h"

#include <csignal>
#include <sys/resource.h>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
// The files of a new profile, written out byte by byte.
Bytes defaultPlayerData()
{
    Bytes bytes(272, 0);
    bytes[0] = bytes[1] = bytes[2] = bytes[3] = 1;
    bytes[4] = 0;
    bytes[5] = 25;
    putInt(bytes, 8, -1);
    putInt(bytes, 12, 0);
    for (int location : {0, 1, 2, 3})
        putInt(bytes, 16 + 4 * location, 3);
    putInt(bytes, 16 + 4 * 4, 1);
    return bytes;
}

Bytes defaultLessonData()
{
    Bytes bytes(332, 0);
    for (int i = 0; i < 83; ++i)
        bytes[4 * i] = 1;
    return bytes;
}

Bytes defaultAnimationData() { return Bytes{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}; }

Bytes defaultAchievementData() { return Bytes(36, 0); }

class SaveFiles : public Fixture
{
protected:
    std::string folder() const { return playerFolder(0) + "Scrivlet/"; }
    std::string dataFile() const { return folder() + "data.bin"; }
    std::string lessonFile() const { return folder() + "lesson.bin"; }
    std::string animationFile() const { return folder() + "animation.bin"; }
    std::string achievementFile() const { return folder() + "achievements.bin"; }

    // A profile after a little play, saved.
    ScrivletPlayerPtr playSome()
    {
        ScrivletPlayerPtr profile = loadProfile();
        profile->firstLaunch = 0;
        profile->mapTutorialPending = 0;
        profile->studioIntroPending = 0;
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
        return profile;
    }

    static void expectSameBlocks(const ScrivletPlayer& a, const ScrivletPlayer& b)
    {
        EXPECT_EQ(a.firstLaunch, b.firstLaunch);
        EXPECT_EQ(a.mapTutorialPending, b.mapTutorialPending);
        EXPECT_EQ(a.studioIntroPending, b.studioIntroPending);
        EXPECT_EQ(a.warehouseHintPending, b.warehouseHintPending);
        EXPECT_EQ(a.letterVisitPending, b.letterVisitPending);
        EXPECT_EQ(a.musicVolume, b.musicVolume);
        EXPECT_EQ(a.lastUploadedSlot, b.lastUploadedSlot);
        EXPECT_EQ(a.lastCompleteLocation, b.lastCompleteLocation);
        for (int i = 0; i < ScrivletPlayer::locationCount; ++i)
            EXPECT_EQ(a.locationStates[i], b.locationStates[i]) << "location " << i;
        for (int i = 0; i < ScrivletPlayer::writingLessonCount; ++i)
            EXPECT_EQ(a.lessonStates[i], b.lessonStates[i]) << "lesson " << i;
        for (int i = 0; i < ScrivletPlayer::advancedLessonCount; ++i)
            EXPECT_EQ(a.advancedLessonStates[i], b.advancedLessonStates[i]) << "advanced lesson " << i;
        for (int i = 0; i < ScrivletPlayer::animationSlotCount; ++i)
            EXPECT_EQ(a.frameCounts[i], b.frameCounts[i]);
        for (int i = 0; i < ScrivletPlayer::badgeCount; ++i)
            EXPECT_EQ(a.badges[i], b.badges[i]) << "badge " << i;
        for (int i = 0; i < ScrivletPlayer::achievementCount; ++i)
            EXPECT_EQ(a.achievements[i], b.achievements[i]) << "achievement " << i;
    }
};
}

TEST_F(SaveFiles, ANewPlayerStartsFromTheDefaults)
{
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(0u, profile->playerId);
    EXPECT_EQ(folder(), profile->localDataPath);
    EXPECT_EQ(playerFolder(0) + "Photos/", profile->photosPath);
    EXPECT_EQ(1, profile->firstLaunch);
    EXPECT_EQ(1, profile->mapTutorialPending);
    EXPECT_EQ(1, profile->studioIntroPending);
    EXPECT_EQ(1, profile->warehouseHintPending);
    EXPECT_EQ(0, profile->letterVisitPending);
    EXPECT_EQ(25, profile->musicVolume);
    EXPECT_EQ(-1, profile->lastUploadedSlot);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(i < 4 ? TaskState::Complete : (i == 4 ? TaskState::Available : TaskState::Locked),
                  profile->locationStates[i]);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(TaskState::Available, profile->getLessonState(i));
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(TaskState::Available, profile->getAdvancedLessonState(i));
    for (int i = 0; i < 27; ++i)
        EXPECT_FALSE(profile->hasBadge(static_cast<BadgeName::Type>(i)));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(1, profile->frameCounts[i]);
    // Loading writes nothing.
    EXPECT_FALSE(exists(dataFile()));
    EXPECT_FALSE(exists(achievementFile()));
}

TEST_F(SaveFiles, DefaultFilesByteForByte)
{
    loadProfile()->save();
    EXPECT_EQ(defaultPlayerData(), readBytes(dataFile()));
    EXPECT_EQ(defaultLessonData(), readBytes(lessonFile()));
    EXPECT_EQ(defaultAnimationData(), readBytes(animationFile()));
    EXPECT_EQ(defaultAchievementData(), readBytes(achievementFile()));
}

TEST_F(SaveFiles, FilesAfterSomePlayByteForByte)
{
    playSome();

    Bytes data = defaultPlayerData();
    data[0] = data[1] = data[2] = 0;
    data[5] = 45;
    putInt(data, 8, 2);
    putInt(data, 12, 4);
    putInt(data, 16 + 4 * 4, 3);
    putInt(data, 16 + 4 * 5, 2);
    putInt(data, 16 + 4 * 6, 1);
    EXPECT_EQ(data, readBytes(dataFile()));

    Bytes lessons = defaultLessonData();
    putInt(lessons, 0, 3);
    putInt(lessons, 40, 2);
    putInt(lessons, 256 + 4 * 18, 3);
    EXPECT_EQ(lessons, readBytes(lessonFile()));

    EXPECT_EQ((Bytes{1, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0}), readBytes(animationFile()));

    Bytes awards(36, 0);
    awards[3] = 1;
    awards[27 + 8] = 1;
    EXPECT_EQ(awards, readBytes(achievementFile()));
}

TEST_F(SaveFiles, SavingAndLoadingKeepsEveryValue)
{
    ScrivletPlayerPtr saved = loadProfile();
    std::srand(7);
    saved->firstLaunch = 0;
    saved->warehouseHintPending = 0;
    saved->letterVisitPending = 1;
    saved->musicVolume = 255;
    saved->lastUploadedSlot = 5;
    saved->lastCompleteLocation = 24;
    for (int i = 0; i < 64; ++i)
        saved->locationStates[i] = static_cast<TaskState::Type>(std::rand() % 4);
    for (int i = 0; i < 64; ++i)
        saved->lessonStates[i] = static_cast<TaskState::Type>(std::rand() % 4);
    for (int i = 0; i < 19; ++i)
        saved->advancedLessonStates[i] = static_cast<TaskState::Type>(std::rand() % 4);
    for (int i = 0; i < 3; ++i)
        saved->frameCounts[i] = 1 + std::rand() % 12;
    for (int i = 0; i < 27; ++i)
        saved->badges[i] = std::rand() % 2;
    for (int i = 0; i < 9; ++i)
        saved->achievements[i] = std::rand() % 2;
    saved->save();
    Bytes files[4] = {readBytes(dataFile()), readBytes(lessonFile()), readBytes(animationFile()),
                      readBytes(achievementFile())};

    ScrivletPlayerPtr loaded = loadProfile();
    expectSameBlocks(*saved, *loaded);
    loaded->save();
    EXPECT_EQ(files[0], readBytes(dataFile()));
    EXPECT_EQ(files[1], readBytes(lessonFile()));
    EXPECT_EQ(files[2], readBytes(animationFile()));
    EXPECT_EQ(files[3], readBytes(achievementFile()));
}

TEST_F(SaveFiles, PaddingIsWrittenAsZeros)
{
    Bytes data = defaultPlayerData();
    data[6] = 0xab;
    data[7] = 0xcd;
    writeBytes(dataFile(), data);
    loadProfile()->save();
    EXPECT_EQ(defaultPlayerData(), readBytes(dataFile()));
}

TEST_F(SaveFiles, AMissingFileGivesDefaultsForItsBlockOnly)
{
    playSome();
    std::remove(lessonFile().c_str());
    ScrivletPlayerPtr profile = loadProfile();
    // Badges, frame counts and town progress are kept...
    EXPECT_TRUE(profile->hasBadge(BadgeName::Firehouse));
    EXPECT_TRUE(profile->hasAchievement(AchievementName::Animation));
    EXPECT_EQ(7, profile->frameCounts[1]);
    EXPECT_EQ(TaskState::Complete, profile->locationStates[4]);
    // ...and only the lessons start again.
    EXPECT_EQ(TaskState::Available, profile->getLessonState(0));
    EXPECT_EQ(TaskState::Available, profile->getAdvancedLessonState(18));

    std::remove(dataFile().c_str());
    profile = loadProfile();
    EXPECT_EQ(TaskState::Available, profile->locationStates[4]);
    EXPECT_EQ(25, profile->musicVolume);
    EXPECT_TRUE(profile->hasBadge(BadgeName::Firehouse));
}

TEST_F(SaveFiles, ShortFilesAreReportedAndLongerOnesReadUpToTheirBlock)
{
    playSome();
    Bytes awards = readBytes(achievementFile());
    writeBytes(achievementFile(), Bytes(awards.begin(), awards.begin() + 20));
    Bytes animation = readBytes(animationFile());
    animation.insert(animation.end(), {9, 9, 9, 9});
    writeBytes(animationFile(), animation);

    testing::internal::CaptureStdout();
    ScrivletPlayerPtr profile = loadProfile();
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, output.find("Could not read file " + achievementFile())) << output;
    EXPECT_FALSE(profile->hasBadge(BadgeName::Firehouse));
    EXPECT_FALSE(profile->hasAchievement(AchievementName::Animation));
    EXPECT_EQ(7, profile->frameCounts[1]);
    EXPECT_EQ(TaskState::Complete, profile->getLessonState(0));
}

TEST_F(SaveFiles, ValuesOutOfRangeAreBroughtIntoRange)
{
    Bytes data = defaultPlayerData();
    putInt(data, 8, 6);
    putInt(data, 12, 1000);
    putInt(data, 16 + 4 * 7, 4);
    putInt(data, 16 + 4 * 8, -2);
    putInt(data, 16 + 4 * 63, 0x7fffffff);
    writeBytes(dataFile(), data);
    Bytes lessons = defaultLessonData();
    putInt(lessons, 4 * 5, 17);
    putInt(lessons, 256 + 4 * 2, -1);
    writeBytes(lessonFile(), lessons);
    writeBytes(animationFile(), Bytes{0, 0, 0, 0, 13, 0, 0, 0, 0xff, 0xff, 0xff, 0xff});
    writeBytes(achievementFile(), Bytes(36, 0));

    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(-1, profile->lastUploadedSlot);
    EXPECT_EQ(0, profile->lastCompleteLocation);
    EXPECT_EQ(TaskState::Complete, profile->locationStates[7]);
    EXPECT_EQ(TaskState::Locked, profile->locationStates[8]);
    EXPECT_EQ(TaskState::Complete, profile->locationStates[63]);
    EXPECT_EQ(TaskState::Complete, profile->getLessonState(5));
    EXPECT_EQ(TaskState::Locked, profile->getAdvancedLessonState(2));
    EXPECT_EQ(1, profile->frameCounts[0]);
    EXPECT_EQ(12, profile->frameCounts[1]);
    EXPECT_EQ(1, profile->frameCounts[2]);

    putInt(data, 8, -7);
    writeBytes(dataFile(), data);
    EXPECT_EQ(-1, loadProfile()->lastUploadedSlot);
}

TEST_F(SaveFiles, FrameCountsAreWrittenAtOnceAndAlone)
{
    ScrivletPlayerPtr profile = loadProfile();
    profile->setNumberOfFrames(1, 7);
    EXPECT_EQ((Bytes{1, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0}), readBytes(animationFile()));
    EXPECT_FALSE(exists(dataFile()));
    EXPECT_FALSE(exists(lessonFile()));
    EXPECT_FALSE(exists(achievementFile()));

    testing::internal::CaptureStdout();
    profile->setNumberOfFrames(3, 2);
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("Invalid animation slot 3"));
    EXPECT_EQ((Bytes{1, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0}), readBytes(animationFile()));
}

TEST_F(SaveFiles, NewGameResetsTheTownButKeepsLessonsAndAwards)
{
    playSome();
    ScrivletPlayerPtr profile = loadProfile();
    profile->reset();
    profile->save();
    EXPECT_EQ(defaultPlayerData(), readBytes(dataFile()));
    ScrivletPlayerPtr reloaded = loadProfile();
    EXPECT_TRUE(reloaded->hasBadge(BadgeName::Firehouse));
    EXPECT_EQ(TaskState::Complete, reloaded->getLessonState(0));
    EXPECT_EQ(7, reloaded->frameCounts[1]);

    // create() starts everything again.
    reloaded->create();
    reloaded->save();
    EXPECT_EQ(defaultLessonData(), readBytes(lessonFile()));
    EXPECT_EQ(defaultAchievementData(), readBytes(achievementFile()));
}

TEST_F(SaveFiles, WithoutAPlayerNothingIsReadOrWritten)
{
    // The platform's player 5 is no player: the folder the platform names
    // for it is neither read nor written.
    usePlayer(5);
    std::string folder5 = playerFolder(5) + "Scrivlet/";
    Bytes awards(36, 1);
    writeBytes(folder5 + "achievements.bin", awards);

    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(3u, profile->playerId);
    EXPECT_EQ(folder5, profile->localDataPath);
    EXPECT_FALSE(profile->hasBadge(BadgeName::Firehouse));
    EXPECT_EQ(25, profile->musicVolume);

    profile->save();
    EXPECT_TRUE(profile->unlockBadge(BadgeName::Library));
    EXPECT_TRUE(profile->hasBadge(BadgeName::Library));
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Town));
    profile->setNumberOfFrames(0, 4);
    profile->uploadImage(1);
    EXPECT_EQ(-1, profile->lastUploadedSlot);

    EXPECT_EQ(awards, readBytes(folder5 + "achievements.bin"));
    int files = 0;
    for (auto& entry : std::filesystem::recursive_directory_iterator(root().path + "/data"))
        if (entry.is_regular_file())
            ++files;
    EXPECT_EQ(1, files);
}

TEST_F(SaveFiles, AFailedWriteKeepsTheOldFileAndIsReported)
{
    playSome();
    Bytes oldData = readBytes(dataFile());
    ScrivletPlayerPtr profile = loadProfile();
    profile->musicVolume = 60;
    profile->setNumberOfFrames(2, 5);

    // Files may grow to 200 bytes: data.bin (272) and lesson.bin (332)
    // cannot be written, animation.bin and achievements.bin can.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit limit = old;
    limit.rlim_cur = 200;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    testing::internal::CaptureStdout();
    profile->save();
    std::string output = testing::internal::GetCapturedStdout();
    ::setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_NE(std::string::npos, output.find("Could not save file " + dataFile())) << output;
    EXPECT_NE(std::string::npos, output.find("Could not save file " + lessonFile())) << output;
    EXPECT_EQ(std::string::npos, output.find(animationFile())) << output;
    EXPECT_EQ(oldData, readBytes(dataFile()));
    EXPECT_EQ(5, readBytes(animationFile())[8]);

    // The next save tries again.
    profile->save();
    EXPECT_EQ(60, readBytes(dataFile())[5]);
}

TEST_F(SaveFiles, TheProcessHasOneProfileMadeAndLoadedOnFirstUse)
{
    ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
    ASSERT_NE(nullptr, profile);
    EXPECT_EQ(profile, ScrivletPlayer::getCurrentPlayerData());
    // Loaded: the downloads' defaults are in place.
    EXPECT_TRUE(profile->isFrameUnlocked(1));
    EXPECT_TRUE(profile->isStampUnlocked(15));
}
