#include "ProfileTestSupport.h"

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
// The files of a new profile, byte by byte.
Bytes defaultPlayerData()
{
    Bytes bytes(272, 0);
    bytes[0] = bytes[1] = bytes[2] = bytes[3] = 1;
    bytes[5] = 25;
    putInt(bytes, 8, -1);
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

class SaveFiles : public Fixture
{
};
}

TEST_F(SaveFiles, ANewPlayerWritesOnlyWhatChangesAndSavesTheDefaults)
{
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(0u, profile->playerId);
    EXPECT_EQ(playerFolder(0) + "Scrivlet/", profile->localDataPath);
    // Loading writes nothing; a frame count is written at once, alone.
    profile->setNumberOfFrames(1, 7);
    EXPECT_NE(std::string::npos, output([&] { profile->setNumberOfFrames(3, 2); }).find("Invalid animation slot 3"));
    EXPECT_EQ(readSaveFiles(), (std::vector<Bytes>{{}, {}, {1, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0}, {}}));
    // Counts outside 1 to 12 are brought into range before they are written.
    profile->setNumberOfFrames(0, 13);
    profile->setNumberOfFrames(2, -4);
    EXPECT_EQ((Bytes{12, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0}), readBytes(saveFile(AnimationFile)));
    profile->setNumberOfFrames(0, 1);
    profile->setNumberOfFrames(1, 1);
    profile->save();
    EXPECT_EQ(readSaveFiles(),
              (std::vector<Bytes>{
                  defaultPlayerData(), defaultLessonData(), {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, Bytes(36, 0)}));
}

TEST_F(SaveFiles, FilesAfterSomePlayByteForByte)
{
    playSome();
    Bytes data = defaultPlayerData(), lessons = defaultLessonData(), awards(36, 0);
    data[0] = data[1] = data[2] = 0;
    data[5] = 45;
    putInt(data, 8, 2);
    putInt(data, 12, 4);
    putInt(data, 16 + 4 * 4, 3);
    putInt(data, 16 + 4 * 5, 2);
    putInt(data, 16 + 4 * 6, 1);
    putInt(lessons, 0, 3);
    putInt(lessons, 40, 2);
    putInt(lessons, 256 + 4 * 18, 3);
    awards[3] = awards[27 + 8] = 1;
    EXPECT_EQ(readSaveFiles(), (std::vector<Bytes>{data, lessons, {1, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0}, awards}));
}

// Random values saved, loaded and saved again give the same bytes.
TEST_F(SaveFiles, SavingAndLoadingKeepsEveryValue)
{
    ScrivletPlayerPtr saved = loadProfile();
    std::srand(7);
    auto state = [] { return static_cast<TaskState::Type>(std::rand() % 4); };
    saved->firstLaunch = saved->warehouseHintPending = 0;
    saved->letterVisitPending = 1;
    saved->musicVolume = 60;
    saved->lastUploadedSlot = 5;
    saved->lastCompleteLocation = 24;
    std::generate(saved->locationStates, saved->locationStates + 64, state);
    std::generate(saved->lessonStates, saved->lessonStates + 64, state);
    std::generate(saved->advancedLessonStates, saved->advancedLessonStates + 19, state);
    std::generate(saved->frameCounts, saved->frameCounts + 3, [] { return 1 + std::rand() % 12; });
    std::generate(saved->badges, saved->badges + 27, [] { return std::rand() % 2; });
    std::generate(saved->achievements, saved->achievements + 9, [] { return std::rand() % 2; });
    saved->save();
    const std::vector<Bytes> files = readSaveFiles();
    EXPECT_NE(defaultPlayerData(), files[0]);
    loadProfile()->save();
    EXPECT_EQ(files, readSaveFiles());
}

// A missing file gives the defaults of its own block only; a short one keeps
// what it holds (see EveryFileCutAtEveryByte) and is reported; a longer one is
// read up to its block.
TEST_F(SaveFiles, MissingShortAndLongFiles)
{
    playSome();
    std::remove(saveFile(LessonFile).c_str());
    writeBytes(saveFile(AchievementFile), Bytes(BadgeName::Firehouse, 1));
    Bytes animation = readBytes(saveFile(AnimationFile));
    animation.insert(animation.end(), {9, 9, 9, 9});
    writeBytes(saveFile(AnimationFile), animation);
    std::string printed;
    ScrivletPlayerPtr profile = loadProfile(&printed);
    EXPECT_NE(std::string::npos, printed.find("Save file " + saveFile(AchievementFile) + " is cut short")) << printed;
    EXPECT_TRUE(profile->hasBadge(static_cast<BadgeName::Type>(BadgeName::Firehouse - 1)));
    EXPECT_FALSE(profile->hasBadge(BadgeName::Firehouse) || profile->hasAchievement(AchievementName::Animation));
    EXPECT_EQ(TaskState::Available, profile->getLessonState(0));
    EXPECT_EQ(TaskState::Available, profile->getAdvancedLessonState(18));
    EXPECT_EQ(TaskState::Complete, profile->locationStates[4]);
    EXPECT_EQ(7, profile->frameCounts[1]);
}

// A file cut at any byte keeps every whole value before the cut; the values
// it lacks, or that the cut runs through, take their defaults. The other files
// keep what they hold. Compared with the played files laid over the new
// profile's whole files.
TEST_F(SaveFiles, EveryFileCutAtEveryByte)
{
    loadProfile()->save();
    const std::vector<Bytes> defaults = readSaveFiles();
    playSome();
    const std::vector<Bytes> good = readSaveFiles();
    const size_t wordsFrom[4] = {8, 0, 0, 36}; // single bytes before, 4-byte values from there
    for (int f = 0; f < 4; ++f)
        for (size_t cut = 0; cut < defaults[f].size(); ++cut)
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

TEST_F(SaveFiles, ValuesOutOfRangeAreBroughtIntoRangeAndPaddingIsZeroed)
{
    Bytes data = defaultPlayerData(), lessons = defaultLessonData();
    data[5] = 200; // louder than the options slider goes
    data[6] = 0xab;
    data[7] = 0xcd;
    putInt(data, 8, 6);
    putInt(data, 12, 1000);
    putInt(data, 16 + 4 * 7, 4);
    putInt(data, 16 + 4 * 8, -2);
    putInt(data, 16 + 4 * 63, 0x7fffffff);
    putInt(lessons, 4 * 5, 17);
    putInt(lessons, 256 + 4 * 2, -1);
    writeBytes(saveFile(DataFile), data);
    writeBytes(saveFile(LessonFile), lessons);
    writeBytes(saveFile(AnimationFile), Bytes{0, 0, 0, 0, 13, 0, 0, 0, 0xff, 0xff, 0xff, 0xff});
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(60, profile->musicVolume);
    EXPECT_EQ(-1, profile->lastUploadedSlot);
    EXPECT_EQ(0, profile->lastCompleteLocation);
    EXPECT_EQ(TaskState::Complete, profile->locationStates[7]);
    EXPECT_EQ(TaskState::Locked, profile->locationStates[8]);
    EXPECT_EQ(TaskState::Complete, profile->locationStates[63]);
    EXPECT_EQ(TaskState::Complete, profile->getLessonState(5));
    EXPECT_EQ(TaskState::Locked, profile->getAdvancedLessonState(2));
    EXPECT_EQ((std::vector<int>{1, 12, 1}), std::vector<int>(profile->frameCounts, profile->frameCounts + 3));
    profile->save();
    EXPECT_EQ(0, readBytes(saveFile(DataFile))[6] | readBytes(saveFile(DataFile))[7]);
    putInt(data, 8, -7);
    data[5] = 3;
    writeBytes(saveFile(DataFile), data);
    EXPECT_EQ(-1, loadProfile()->lastUploadedSlot);
    EXPECT_EQ(25, loadProfile()->musicVolume);
}

TEST_F(SaveFiles, NewGameResetsTheTownButKeepsLessonsAndAwards)
{
    playSome();
    ScrivletPlayerPtr profile = loadProfile();
    profile->reset();
    profile->save();
    EXPECT_EQ(defaultPlayerData(), readBytes(saveFile(DataFile)));
    profile = loadProfile();
    EXPECT_TRUE(profile->hasBadge(BadgeName::Firehouse));
    EXPECT_EQ(TaskState::Complete, profile->getLessonState(0));
    EXPECT_EQ(7, profile->frameCounts[1]);
    // create() starts everything again.
    profile->create();
    profile->save();
    EXPECT_EQ(defaultLessonData(), readBytes(saveFile(LessonFile)));
    EXPECT_EQ(Bytes(36, 0), readBytes(saveFile(AchievementFile)));
}

TEST_F(SaveFiles, WithoutAPlayerNothingIsReadOrWritten)
{
    // The platform's player 5 is no player: the folder the platform names for
    // it is neither read nor written.
    usePlayer(5);
    const std::string awards = playerFolder(5) + "Scrivlet/achievements.bin";
    writeBytes(awards, Bytes(36, 1));
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(3u, profile->playerId);
    EXPECT_EQ(playerFolder(5) + "Scrivlet/", profile->localDataPath);
    EXPECT_FALSE(profile->hasBadge(BadgeName::Firehouse));
    profile->save();
    EXPECT_TRUE(profile->unlockBadge(BadgeName::Library));
    EXPECT_TRUE(profile->hasBadge(BadgeName::Library));
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Town));
    profile->setNumberOfFrames(0, 4);
    profile->uploadImage(1);
    EXPECT_EQ(-1, profile->lastUploadedSlot);
    EXPECT_EQ(Bytes(36, 1), readBytes(awards));
    int files = 0;
    for (auto& entry : std::filesystem::recursive_directory_iterator(root().path + "/data"))
        files += entry.is_regular_file();
    EXPECT_EQ(1, files);
}

TEST_F(SaveFiles, AFailedWriteKeepsTheOldFileAndIsReported)
{
    playSome();
    const Bytes oldData = readBytes(saveFile(DataFile));
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
    const std::string printed = output([&] { profile->save(); });
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_NE(std::string::npos, printed.find("Could not save file " + saveFile(DataFile))) << printed;
    EXPECT_NE(std::string::npos, printed.find("Could not save file " + saveFile(LessonFile))) << printed;
    EXPECT_EQ(std::string::npos, printed.find(saveFile(AnimationFile))) << printed;
    EXPECT_EQ(oldData, readBytes(saveFile(DataFile)));
    EXPECT_EQ(5, readBytes(saveFile(AnimationFile))[8]);
    // The next save tries again.
    profile->save();
    EXPECT_EQ(60, readBytes(saveFile(DataFile))[5]);
}

TEST_F(SaveFiles, TheProcessHasOneProfileMadeAndLoadedOnFirstUse)
{
    ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
    ASSERT_NE(nullptr, profile);
    EXPECT_EQ(profile, ScrivletPlayer::getCurrentPlayerData());
    EXPECT_TRUE(profile->isStampUnlocked(15)); // the downloads' defaults are in place
}
