#include "Resources/Profile/ScrivletPlayer.h"

#include "AtomicFile.h"
#include "CMicroDownloads.h"
#include "CSystem.h"
#include "CSystemData.h"
#include "EscapeControls.h"
#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace Tovrane
{
boost::shared_ptr<ScrivletPlayer> ScrivletPlayer::currentPlayer;

namespace
{
void putInt(unsigned char* bytes, int offset, int value)
{
    unsigned int v = static_cast<unsigned int>(value);
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<unsigned char>(v >> (8 * i));
}

int getInt(const unsigned char* bytes, int offset)
{
    unsigned int v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<unsigned int>(bytes[offset + i]) << (8 * i);
    return static_cast<int>(v);
}

// A save file that could not be read is not written over: said in one line.
void sayLeftUnread(const std::string& path, const std::string& when)
{
    std::cout << "Could not save file " << escapeControls(path) << ": it could not be read " << when
              << ", so it is left as it is"
              << std::endl;
}

// Values read from a file are brought into range, so that a damaged file can
// never index past an array or confuse the game's state machines.
TaskState::Type toTaskState(int value)
{
    if (value < TaskState::Locked)
        return TaskState::Locked;
    if (value > TaskState::Complete)
        return TaskState::Complete;
    return static_cast<TaskState::Type>(value);
}

int clampFrameCount(int count)
{
    return count < 1 ? 1 : (count > ScrivletPlayer::maxAnimationFrames ? ScrivletPlayer::maxAnimationFrames : count);
}
}

ScrivletPlayer* ScrivletPlayer::getCurrentPlayerData()
{
    static std::mutex creation;
    std::lock_guard<std::mutex> lock(creation);
    if (!currentPlayer)
    {
        currentPlayer.reset(new ScrivletPlayer);
        currentPlayer->load();
    }
    return currentPlayer.get();
}

ScrivletPlayer::ScrivletPlayer() : downloadDepth(0), downloadPackages(0)
{
    XQM::CSystem system;
    photosPath = CSystemData::Instance()->GetLocalDataPath(system.GetCurrentPlayerID(), "Photos").raw();
    // The blocks get their values from load(); until then they hold the
    // defaults rather than whatever the memory held.
    resetAnimationData();
    resetLessonData();
    resetAchievementData();
    onReset();
}

ScrivletPlayer::~ScrivletPlayer() = default;

void ScrivletPlayer::onReset()
{
    // A new game sets every value of "data.bin": nothing of the file is kept.
    playerDataUnread = false;
    firstLaunch = 1;
    mapTutorialPending = 1;
    studioIntroPending = 1;
    warehouseHintPending = 1;
    letterVisitPending = 0;
    musicVolume = minMusicVolume;
    lastCompleteLocation = 0;
    for (int i = 0; i < locationCount; ++i)
        locationStates[i] = TaskState::Locked;
    lastUploadedSlot = -1;
    locationStates[LocationName::TaxiStand] = TaskState::Complete;
    locationStates[LocationName::Firehouse] = TaskState::Available;
    locationStates[LocationName::ArtGallery] = TaskState::Complete;
    locationStates[LocationName::ArtStudio] = TaskState::Complete;
    locationStates[LocationName::Warehouse] = TaskState::Complete;
}

void ScrivletPlayer::onNew()
{
    lessonDataUnread = animationDataUnread = achievementDataUnread = false;
    resetAchievementData();
    resetLessonData();
    resetAnimationData();
}

void ScrivletPlayer::resetAnimationData()
{
    for (int i = 0; i < animationSlotCount; ++i)
        frameCounts[i] = 1;
}

void ScrivletPlayer::resetLessonData()
{
    for (int i = 0; i < writingLessonCount; ++i)
        lessonStates[i] = TaskState::Available;
    for (int i = 0; i < advancedLessonCount; ++i)
        advancedLessonStates[i] = TaskState::Available;
}

void ScrivletPlayer::resetAchievementData()
{
    std::memset(badges, 0, sizeof badges);
    std::memset(achievements, 0, sizeof achievements);
}

// Each block starts from its defaults and takes whatever whole values its
// file holds: a missing file leaves its own block at the defaults, a file cut
// short keeps every value before the cut. A file that cannot be read leaves
// its block at the defaults too, and is marked so that they never replace it.
void ScrivletPlayer::onLoad()
{
    // A save killed part-way is finished here if it had got as far as its
    // record, before any of its files is read; its temporaries, which
    // otherwise go only when the same file is saved again, go too.
    XQM::CSystem system;
    const tPlayerID id = system.GetCurrentPlayerID();
    for (const std::string& folder :
         {localDataPath, photosPath, CSystemData::Instance()->GetLocalDataPath(id, "Profile").raw(),
          XQM::CMicroDownloads::GetDownloadsPath(id).raw(), getUploadPath("Art")})
        removeStaleTemporariesAtomic(folder.c_str());

    playerDataLeftSaid = lessonDataLeftSaid = false;
    unsigned char achievementBytes[achievementDataSize];
    resetAchievementData();
    encodeAchievementData(achievementBytes);
    achievementDataUnread =
        !loadBlock(getAchievementDataPath(), achievementBytes, achievementDataSize, achievementDataSize);
    decodeAchievementData(achievementBytes);

    unsigned char lessonBytes[lessonDataSize];
    resetLessonData();
    encodeLessonData(lessonBytes);
    lessonDataUnread = !loadBlock(getLessonDataPath(), lessonBytes, lessonDataSize, 0);
    decodeLessonData(lessonBytes);

    unsigned char animationBytes[animationDataSize];
    resetAnimationData();
    encodeAnimationData(animationBytes);
    animationDataUnread = !loadBlock(getAnimationDataPath(), animationBytes, animationDataSize, 0);
    std::fill(animationSlotSet, animationSlotSet + animationSlotCount, false);
    decodeAnimationData(animationBytes);

    unsigned char playerBytes[playerDataSize];
    onReset();
    encodePlayerData(playerBytes);
    playerDataUnread = !loadBlock(getPlayerDataPath(), playerBytes, playerDataSize, 8);
    decodePlayerData(playerBytes);
}

void ScrivletPlayer::onSavePlayer() { savePlayerData(); }

void ScrivletPlayer::onSavePersistent()
{
    saveLessonData();
    saveAnimationData();
}

void ScrivletPlayer::onSaveAchievements()
{
    if (!rereadAchievementData())
        return;
    unsigned char bytes[achievementDataSize];
    encodeAchievementData(bytes);
    writeBlock(getAchievementDataPath(), bytes, achievementDataSize);
}

// "data.bin" and "lesson.bin" that could not be read are not saved until the
// next load: their values are set, not gathered, so this run's (started from
// the defaults) cannot be told from the defaults, nor put together with what
// the file holds. That is said at the first save after the load only.
void ScrivletPlayer::savePlayerData()
{
    if (playerDataUnread)
    {
        if (!playerDataLeftSaid)
            sayLeftUnread(getPlayerDataPath(), "when the profile was loaded");
        playerDataLeftSaid = true;
        return;
    }
    unsigned char bytes[playerDataSize];
    encodePlayerData(bytes);
    writeBlock(getPlayerDataPath(), bytes, playerDataSize);
}

void ScrivletPlayer::saveLessonData()
{
    if (lessonDataUnread)
    {
        if (!lessonDataLeftSaid)
            sayLeftUnread(getLessonDataPath(), "when the profile was loaded");
        lessonDataLeftSaid = true;
        return;
    }
    unsigned char bytes[lessonDataSize];
    encodeLessonData(bytes);
    writeBlock(getLessonDataPath(), bytes, lessonDataSize);
}

bool ScrivletPlayer::saveAnimationData()
{
    if (!rereadAnimationData())
        return false;
    unsigned char bytes[animationDataSize];
    encodeAnimationData(bytes);
    return writeBlock(getAnimationDataPath(), bytes, animationDataSize);
}

bool ScrivletPlayer::setNumberOfFrames(int slot, int count)
{
    if (slot < 0 || slot >= animationSlotCount)
    {
        std::cout << "Invalid animation slot " << slot << std::endl;
        return false;
    }
    frameCounts[slot] = clampFrameCount(count);
    animationSlotSet[slot] = animationSlotSet[slot] || animationDataUnread;
    return saveAnimationData();
}

// data.bin: six flag bytes, two bytes of padding (zero), the upload slot, the
// last completed location and the 64 location states.
void ScrivletPlayer::encodePlayerData(unsigned char* bytes) const
{
    std::memset(bytes, 0, playerDataSize);
    bytes[0] = firstLaunch;
    bytes[1] = mapTutorialPending;
    bytes[2] = studioIntroPending;
    bytes[3] = warehouseHintPending;
    bytes[4] = letterVisitPending;
    bytes[5] = musicVolume;
    putInt(bytes, 8, lastUploadedSlot);
    putInt(bytes, 12, lastCompleteLocation);
    for (int i = 0; i < locationCount; ++i)
        putInt(bytes, 16 + 4 * i, locationStates[i]);
}

void ScrivletPlayer::decodePlayerData(const unsigned char* bytes)
{
    firstLaunch = bytes[0];
    mapTutorialPending = bytes[1];
    studioIntroPending = bytes[2];
    warehouseHintPending = bytes[3];
    letterVisitPending = bytes[4];
    musicVolume = bytes[5] < minMusicVolume ? minMusicVolume : (bytes[5] > maxMusicVolume ? maxMusicVolume : bytes[5]);
    lastUploadedSlot = getInt(bytes, 8);
    if (lastUploadedSlot < -1 || lastUploadedSlot >= imageSlotCount)
        lastUploadedSlot = -1;
    lastCompleteLocation = getInt(bytes, 12);
    if (lastCompleteLocation < 0 || lastCompleteLocation >= locationCount)
        lastCompleteLocation = 0;
    for (int i = 0; i < locationCount; ++i)
        locationStates[i] = toTaskState(getInt(bytes, 16 + 4 * i));
}

// lesson.bin: 64 writing-lesson states, then 19 advanced-lesson states.
void ScrivletPlayer::encodeLessonData(unsigned char* bytes) const
{
    for (int i = 0; i < writingLessonCount; ++i)
        putInt(bytes, 4 * i, lessonStates[i]);
    for (int i = 0; i < advancedLessonCount; ++i)
        putInt(bytes, 256 + 4 * i, advancedLessonStates[i]);
}

void ScrivletPlayer::decodeLessonData(const unsigned char* bytes)
{
    for (int i = 0; i < writingLessonCount; ++i)
        lessonStates[i] = toTaskState(getInt(bytes, 4 * i));
    for (int i = 0; i < advancedLessonCount; ++i)
        advancedLessonStates[i] = toTaskState(getInt(bytes, 256 + 4 * i));
}

// animation.bin: the frame counts of the three flipbooks.
void ScrivletPlayer::encodeAnimationData(unsigned char* bytes) const
{
    for (int i = 0; i < animationSlotCount; ++i)
        putInt(bytes, 4 * i, frameCounts[i]);
}

void ScrivletPlayer::decodeAnimationData(const unsigned char* bytes)
{
    for (int i = 0; i < animationSlotCount; ++i)
        frameCounts[i] = clampFrameCount(getInt(bytes, 4 * i));
}

// achievements.bin: one byte per badge, then one per achievement.
void ScrivletPlayer::encodeAchievementData(unsigned char* bytes) const
{
    std::memcpy(bytes, badges, badgeCount);
    std::memcpy(bytes + badgeCount, achievements, achievementCount);
}

void ScrivletPlayer::decodeAchievementData(const unsigned char* bytes)
{
    std::memcpy(badges, bytes, badgeCount);
    std::memcpy(achievements, bytes + badgeCount, achievementCount);
}

bool ScrivletPlayer::readBlock(const std::string& path, unsigned char* bytes, int size, int wordsFrom,
                               std::string& failure) const
{
    // Only a regular file is read: a pipe under a save file's name is not waited on.
    const int fd = openRegularFile(path.c_str(), &failure);
    if (fd < 0)
    {
        const int error = errno;
        if (error == ENODEV || error == EISDIR)
            std::cout << "Could not read file " << escapeControls(path) << ": it is " << failure << std::endl;
        // Only a missing file stands for the defaults; one that is there but
        // could not be opened keeps what it holds.
        return error == ENOENT || error == ENODEV || error == EISDIR;
    }
    std::vector<unsigned char> read(static_cast<std::size_t>(size));
    std::size_t got = 0;
    const bool ok = readFully(fd, read.data(), read.size(), got);
    const int error = errno;
    ::close(fd);
    if (!ok)
    {
        failure = std::strerror(error);
        return false;
    }
    // Single bytes up to `wordsFrom`, 4-byte values after it: a value the
    // cut runs through keeps its default.
    std::size_t whole = got;
    if (got > static_cast<std::size_t>(wordsFrom))
        whole = wordsFrom + (got - wordsFrom) / 4 * 4;
    std::memcpy(bytes, read.data(), whole);
    if (got < read.size())
        std::cout << "Save file " << escapeControls(path) << " is cut short; the values it lacks take their defaults"
                  << std::endl;
    return true;
}

bool ScrivletPlayer::loadBlock(const std::string& path, unsigned char* bytes, int size, int wordsFrom) const
{
    std::string failure;
    if (readBlock(path, bytes, size, wordsFrom, failure))
        return true;
    std::cout << "Could not read file " << escapeControls(path) << ": " << failure
              << "; the game goes on without what it holds and leaves it as it is" << std::endl;
    return false;
}

bool ScrivletPlayer::rereadAnimationData()
{
    if (!animationDataUnread)
        return true;
    // Flipbooks not set in this run still hold the defaults, which the file's
    // values replace.
    unsigned char bytes[animationDataSize];
    encodeAnimationData(bytes);
    std::string failure;
    if (!readBlock(getAnimationDataPath(), bytes, animationDataSize, 0, failure))
    {
        sayLeftUnread(getAnimationDataPath(), "(" + failure + ")");
        return false;
    }
    int set[animationSlotCount];
    std::copy(frameCounts, frameCounts + animationSlotCount, set);
    decodeAnimationData(bytes);
    for (int i = 0; i < animationSlotCount; ++i)
        if (animationSlotSet[i])
            frameCounts[i] = set[i];
    animationDataUnread = false;
    return true;
}

bool ScrivletPlayer::rereadAchievementData()
{
    if (!achievementDataUnread)
        return true;
    // Awards are only ever earned: the file's and this run's are all kept.
    unsigned char earned[achievementDataSize], bytes[achievementDataSize];
    encodeAchievementData(earned);
    std::memcpy(bytes, earned, sizeof bytes);
    std::string failure;
    if (!readBlock(getAchievementDataPath(), bytes, achievementDataSize, achievementDataSize, failure))
    {
        sayLeftUnread(getAchievementDataPath(), "(" + failure + ")");
        return false;
    }
    for (int i = 0; i < achievementDataSize; ++i)
        if (!bytes[i])
            bytes[i] = earned[i];
    decodeAchievementData(bytes);
    achievementDataUnread = false;
    return true;
}

bool ScrivletPlayer::writeBlock(const std::string& path, const unsigned char* bytes, int size) const
{
    // Without a player profile nothing is written anywhere.
    if (!hasPlayer())
        return false;
    if (!writeFileAtomic(path.c_str(), bytes, static_cast<size_t>(size)))
    {
        const int error = errno;
        std::cout << "Could not save file " << escapeControls(path) << ": " << atomicFailure(error) << std::endl;
        return false;
    }
    return true;
}
}
