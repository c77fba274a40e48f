#include "Resources/Profile/ScrivletPlayer.h"

#include "Tovrane/Assert.h"
#include "Tovrane/System.h"
#include "Tovrane/Texture.h"

#include "AtomicFile.h"
#include "CJSonFile.h"
#include "CSystem.h"
#include "CSystemData.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>

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

bool isTaskState(int value) { return value >= TaskState::Locked && value <= TaskState::Complete; }

// Completing a location opens the next tier once every location of its row is
// complete. -1 marks an unused entry.
struct Tier
{
    int complete[2];
    int opens[2];
};

const Tier tiers[] = {
    {{4, -1}, {5, 6}},
    {{5, 6}, {7, -1}},
    {{7, -1}, {8, 9}},
    {{8, 9}, {10, 11}},
    {{10, 11}, {12, 13}},
    {{12, 13}, {14, 15}},
    {{14, 15}, {16, 17}},
    {{16, 17}, {18, 19}},
    {{18, 19}, {20, 21}},
    {{20, 21}, {22, 23}},
    {{22, 23}, {24, -1}},
};

// A sub-folder of a bundle must stay inside the bundle's folder.
bool isSafeSubfolder(const std::string& entry)
{
    if (entry.empty() || entry[0] == '/' || entry.find('\\') != std::string::npos)
        return false;
    if (entry.find("..") != std::string::npos)
        return false;
    // "." components would load the same package again.
    size_t start = 0;
    while (start <= entry.size())
    {
        size_t end = entry.find('/', start);
        if (end == std::string::npos)
            end = entry.size();
        if (entry.compare(start, end - start, ".") == 0)
            return false;
        start = end + 1;
    }
    return true;
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
    firstLaunch = 1;
    mapTutorialPending = 1;
    studioIntroPending = 1;
    warehouseHintPending = 1;
    letterVisitPending = 0;
    musicVolume = 25;
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

// Each file is read into a zeroed block; a file that is missing or shorter
// than its block gives that block its defaults and leaves the others as read.
void ScrivletPlayer::onLoad()
{
    unsigned char achievementBytes[achievementDataSize];
    if (readBlock(getAchievementDataPath(), achievementBytes, achievementDataSize))
        decodeAchievementData(achievementBytes);
    else
        resetAchievementData();

    unsigned char lessonBytes[lessonDataSize];
    if (readBlock(getLessonDataPath(), lessonBytes, lessonDataSize))
        decodeLessonData(lessonBytes);
    else
        resetLessonData();

    unsigned char animationBytes[animationDataSize];
    if (readBlock(getAnimationDataPath(), animationBytes, animationDataSize))
        decodeAnimationData(animationBytes);
    else
        resetAnimationData();

    unsigned char playerBytes[playerDataSize];
    if (readBlock(getPlayerDataPath(), playerBytes, playerDataSize))
        decodePlayerData(playerBytes);
    else
        onReset();
}

void ScrivletPlayer::onSavePlayer() { savePlayerData(); }

void ScrivletPlayer::onSavePersistent()
{
    saveLessonData();
    saveAnimationData();
}

void ScrivletPlayer::onSaveAchievements()
{
    unsigned char bytes[achievementDataSize];
    encodeAchievementData(bytes);
    writeBlock(getAchievementDataPath(), bytes, achievementDataSize);
}

void ScrivletPlayer::savePlayerData()
{
    unsigned char bytes[playerDataSize];
    encodePlayerData(bytes);
    writeBlock(getPlayerDataPath(), bytes, playerDataSize);
}

void ScrivletPlayer::saveLessonData()
{
    unsigned char bytes[lessonDataSize];
    encodeLessonData(bytes);
    writeBlock(getLessonDataPath(), bytes, lessonDataSize);
}

void ScrivletPlayer::saveAnimationData()
{
    unsigned char bytes[animationDataSize];
    encodeAnimationData(bytes);
    writeBlock(getAnimationDataPath(), bytes, animationDataSize);
}

void ScrivletPlayer::setNumberOfFrames(int slot, int count)
{
    if (slot < 0 || slot >= animationSlotCount)
    {
        std::cout << "Invalid animation slot " << slot << std::endl;
        return;
    }
    frameCounts[slot] = count;
    saveAnimationData();
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
    musicVolume = bytes[5];
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
    {
        int count = getInt(bytes, 4 * i);
        frameCounts[i] = count < 1 ? 1 : (count > maxAnimationFrames ? maxAnimationFrames : count);
    }
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

bool ScrivletPlayer::readBlock(const std::string& path, unsigned char* bytes, int size) const
{
    std::memset(bytes, 0, size);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
    {
        if (errno != ENOENT)
            std::cout << "Could not read file " << path << std::endl;
        return false;
    }
    size_t got = std::fread(bytes, 1, size, file);
    std::fclose(file);
    if (got != static_cast<size_t>(size))
    {
        std::cout << "Could not read file " << path << std::endl;
        return false;
    }
    return true;
}

bool ScrivletPlayer::writeBlock(const std::string& path, const unsigned char* bytes, int size) const
{
    // Without a player profile nothing is written anywhere.
    if (!hasPlayer())
        return false;
    if (!writeFileAtomic(path.c_str(), bytes, static_cast<size_t>(size)))
    {
        std::cout << "Could not save file " << path << std::endl;
        return false;
    }
    return true;
}

void ScrivletPlayer::setLocationState(LocationName::Type location, TaskState::Type state)
{
    if (location < 0 || location >= locationCount || !isTaskState(state))
    {
        std::cout << "Invalid location " << static_cast<int>(location) << " or state "
                  << static_cast<int>(state) << std::endl;
        return;
    }
    locationStates[location] = state;
    if (state != TaskState::Complete)
        return;
    for (const Tier& tier : tiers)
    {
        if (tier.complete[0] != location && tier.complete[1] != location)
            continue;
        bool allComplete = true;
        for (int c : tier.complete)
            if (c >= 0 && locationStates[c] != TaskState::Complete)
                allComplete = false;
        if (!allComplete)
            continue;
        // Only locked places open: replaying a location never resets progress.
        for (int o : tier.opens)
            if (o >= 0 && locationStates[o] == TaskState::Locked)
                locationStates[o] = TaskState::Available;
    }
}

void ScrivletPlayer::unlockLocations()
{
    for (int i = 0; i < locationCount; ++i)
        if (locationStates[i] == TaskState::Locked)
            locationStates[i] = TaskState::Available;
}

void ScrivletPlayer::setLastCompleteLocation(LocationName::Type location)
{
    if (location < 0 || location >= locationCount)
    {
        std::cout << "Invalid location " << static_cast<int>(location) << std::endl;
        return;
    }
    lastCompleteLocation = location;
}

int ScrivletPlayer::getNumberOfCompletedLocations() const
{
    int complete = 0;
    for (int i = 0; i <= LocationName::Lesson; ++i)
        if (locationStates[i] == TaskState::Complete)
            ++complete;
    // The four fixed places are complete from the start.
    return complete > 4 ? complete - 4 : 0;
}

TaskState::Type ScrivletPlayer::getLessonState(int index) const
{
    if (index < 0 || index >= writingLessonCount)
    {
        std::cout << "Invalid index " << index << " of a writing lesson" << std::endl;
        return TaskState::Locked;
    }
    return lessonStates[index];
}

void ScrivletPlayer::setLessonState(int index, TaskState::Type state)
{
    if (index < 0 || index >= writingLessonCount || !isTaskState(state))
    {
        std::cout << "Invalid index " << index << " or state " << static_cast<int>(state)
                  << " of a writing lesson" << std::endl;
        return;
    }
    lessonStates[index] = state;
}

TaskState::Type ScrivletPlayer::getAdvancedLessonState(int index) const
{
    if (index < 0 || index >= advancedLessonCount)
    {
        std::cout << "Invalid index " << index << " of an advanced lesson" << std::endl;
        return TaskState::Locked;
    }
    return advancedLessonStates[index];
}

void ScrivletPlayer::setAdvancedLessonState(int index, TaskState::Type state)
{
    if (index < 0 || index >= advancedLessonCount || !isTaskState(state))
    {
        std::cout << "Invalid index " << index << " or state " << static_cast<int>(state)
                  << " of an advanced lesson" << std::endl;
        return;
    }
    advancedLessonStates[index] = state;
}

namespace
{
bool allComplete(const TaskState::Type* states, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (states[i] != TaskState::Complete)
            return false;
    return true;
}
}

bool ScrivletPlayer::areNumberLessonsDone() const { return allComplete(lessonStates, 0, 9); }

bool ScrivletPlayer::areUppercaseLetterLessonsDone() const { return allComplete(lessonStates, 10, 35); }

bool ScrivletPlayer::areLowercaseLetterLessonsDone() const { return allComplete(lessonStates, 36, 61); }

bool ScrivletPlayer::hasBadge(BadgeName::Type badge) const
{
    TOVRANE_ASSERT((badge >= 0) && (badge < badgeCount) && "Invalid badge");
    return badges[badge] != 0;
}

bool ScrivletPlayer::hasAchievement(AchievementName::Type achievement) const
{
    TOVRANE_ASSERT((achievement >= 0) && (achievement < achievementCount) && "Invalid achievement");
    return achievements[achievement] != 0;
}

bool ScrivletPlayer::unlockBadge(BadgeName::Type badge)
{
    if (hasBadge(badge))
        return false;
    badges[badge] = 1;
    onSaveAchievements();
    if (hasPlayer())
        addBadge(static_cast<unsigned int>(badge) + 1);
    return true;
}

bool ScrivletPlayer::unlockAchievement(AchievementName::Type achievement)
{
    if (hasAchievement(achievement))
        return false;
    achievements[achievement] = 1;
    onSaveAchievements();
    if (hasPlayer())
        addAchievement(static_cast<short>(28 + achievement));
    return true;
}

void ScrivletPlayer::onLoadMicroDownloads()
{
    unlockedFrames.assign(frameCount, false);
    unlockedFrames[0] = unlockedFrames[1] = true;
    unlockedStamps.assign(stampCount, false);
    for (int i = 0; i < 16; ++i)
        unlockedStamps[i] = true;
    // Loading again starts the lists again rather than adding the same books
    // and tasks a second time.
    coloringBooks.clear();
    taskDownloads.clear();
    downloadDepth = 0;
    downloadPackages = 0;
    loadMicroDownload(System::getPath() + "coloring_book/");
}

// A package that cannot be used is skipped with a message: a broken download
// must not keep the game from starting.
void ScrivletPlayer::loadMicroDownload(const std::string& folder)
{
    std::string path = folder + "download.json";
    if (++downloadPackages > maxDownloadPackages)
    {
        std::cout << "Too many downloads; skipping " << path << std::endl;
        return;
    }
    XQM::CJSonFile file(path, 0);
    if (!file.Load())
    {
        std::cout << "Could not load download " << path << " (" << file.GetError() << ")" << std::endl;
        return;
    }
    XQM::Value root = file.GetRoot();
    std::string type = root["type"].asString();

    if (type == "Frame")
    {
        int frame = root["frame"].asInt();
        if (frame >= 0 && frame < frameCount)
            unlockedFrames[frame] = true;
        else
            std::cout << "Ignoring frame " << frame << " of download " << path << std::endl;
    }
    else if (type == "Stamp")
    {
        int stamp = root["stamp"].asInt();
        if (stamp >= 0 && stamp < stampCount)
            unlockedStamps[stamp] = true;
        else
            std::cout << "Ignoring stamp " << stamp << " of download " << path << std::endl;
    }
    else if (type == "Frandel")
    {
        XQM::Value subfolders = root["subdirectories"];
        if (!subfolders.isArray())
            return;
        if (downloadDepth >= maxDownloadDepth)
        {
            std::cout << "Downloads nested too deeply; skipping the contents of " << path << std::endl;
            return;
        }
        for (int i = 0; i < subfolders.size(); ++i)
        {
            std::string entry = subfolders[i].asString();
            if (!isSafeSubfolder(entry))
            {
                std::cout << "Refusing sub-folder \"" << entry << "\" of download " << path << std::endl;
                continue;
            }
            ++downloadDepth;
            loadMicroDownload(folder + entry);
            --downloadDepth;
        }
    }
    else if (type == "ColoringBook")
    {
        int pageCount = root["pageCount"].asInt();
        if (pageCount > 0)
            coloringBooks.push_back(ColoringBookDownloadPtr(new ColoringBookDownload(folder, pageCount)));
        else
            std::cout << "Ignoring colouring book " << path << " with " << pageCount << " pages" << std::endl;
    }
    else if (type == "Task")
    {
        taskDownloads.push_back(TaskDownloadPtr(new TaskDownload(folder)));
    }
    else
    {
        std::cout << "Unknown download type \"" << type << "\" in " << path << std::endl;
    }
}

bool ScrivletPlayer::isFrameUnlocked(int frame) const
{
    return frame >= 0 && frame < static_cast<int>(unlockedFrames.size()) && unlockedFrames[frame];
}

bool ScrivletPlayer::isStampUnlocked(int stamp) const
{
    return stamp >= 0 && stamp < static_cast<int>(unlockedStamps.size()) && unlockedStamps[stamp];
}

ColoringBookDownloadPtr ScrivletPlayer::getColoringBookPage(int index) const
{
    TOVRANE_ASSERT((index >= 0) && (index < getColoringBookCount()) && "Invalid colouring book index");
    return coloringBooks[index];
}

TaskDownloadPtr ScrivletPlayer::getTaskDownload(int index) const
{
    TOVRANE_ASSERT((index >= 0) && (index < getLocationCount()) && "Invalid task download index");
    return taskDownloads[index];
}
}

namespace Tovrane
{
namespace
{
// A slot or frame number with at least two digits.
std::string twoDigits(int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", number);
    return text;
}

bool canOpen(const std::string& path, const char* mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

const int thumbnailSize = 128;
const int thumbnailScale = 5;
}

std::string ScrivletPlayer::toImagePath(int slot) const
{
    return photosPath + "qev_art_" + twoDigits(slot) + ".png";
}

std::string ScrivletPlayer::toThumbnailPath(int slot) const
{
    return photosPath + "qev_thumbnail_" + twoDigits(slot) + ".png";
}

std::string ScrivletPlayer::toAnimationPath(int slot, int frame) const
{
    return photosPath + "qev_anim_" + twoDigits(slot) + "_" + twoDigits(frame) + ".png";
}

std::string ScrivletPlayer::getUploadMetaPath() const { return getUploadPath("Art") + "meta.inf"; }

void ScrivletPlayer::saveImage(TexturePtr picture, int slot)
{
    if (!picture)
    {
        std::cout << "No picture to save in slot " << slot << std::endl;
        return;
    }
    picture->convertTo(PixelFormat::RGBA8888);
    if (!hasPlayer())
        return;
    createThumbnail(picture, slot);
    picture->save(toImagePath(slot));
    // An upload of this slot that the platform has collected is forgotten, so
    // that the new drawing can be handed over too. While the metadata still
    // waits it already names this file, which now holds the new drawing.
    if (slot == lastUploadedSlot && !hasUploadImageFile())
        lastUploadedSlot = -1;
}

// Each thumbnail pixel is the average of a 5 x 5 block of the picture; the
// part of the 128 x 128 thumbnail the picture does not reach stays clear.
void ScrivletPlayer::createThumbnail(TexturePtr picture, int slot) const
{
    if (!picture || !hasPlayer())
        return;
    TexturePtr thumbnail(new Texture(thumbnailSize, thumbnailSize, PixelFormat::RGBA8888, true, 0));
    int width = picture->getWidth() / thumbnailScale;
    int height = picture->getHeight() / thumbnailScale;
    // Larger pictures are clipped to the thumbnail.
    if (width > thumbnailSize)
        width = thumbnailSize;
    if (height > thumbnailSize)
        height = thumbnailSize;
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            unsigned int r = 0, g = 0, b = 0, a = 0;
            for (int dy = 0; dy < thumbnailScale; ++dy)
            {
                for (int dx = 0; dx < thumbnailScale; ++dx)
                {
                    ColorRGBA<unsigned char> c =
                        picture->getPixel(x * thumbnailScale + dx, y * thumbnailScale + dy);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    a += c.a;
                }
            }
            const unsigned int n = thumbnailScale * thumbnailScale;
            thumbnail->setPixel(ColorRGBA<unsigned char>(static_cast<unsigned char>(r / n), static_cast<unsigned char>(g / n),
                                                           static_cast<unsigned char>(b / n), static_cast<unsigned char>(a / n)),
                               x, y);
        }
    }
    thumbnail->save(toThumbnailPath(slot));
}

TexturePtr ScrivletPlayer::loadImage(int slot) const { return Texture::fromFile(toImagePath(slot)); }

TexturePtr ScrivletPlayer::loadImageThumbnail(int slot) const { return Texture::fromFile(toThumbnailPath(slot)); }

TexturePtr ScrivletPlayer::loadAnimationFrame(int slot, int frame) const
{
    return Texture::fromFile(toAnimationPath(slot, frame));
}

bool ScrivletPlayer::hasImage(int slot) const { return canOpen(toImagePath(slot), "rb"); }

bool ScrivletPlayer::hasAnimation(int slot) const { return canOpen(toAnimationPath(slot, 0), "rb"); }

int ScrivletPlayer::getNumberOfImageSlotsInUse() const
{
    int inUse = 0;
    for (int slot = 0; slot < imageSlotCount; ++slot)
        if (hasImage(slot))
            ++inUse;
    return inUse;
}

void ScrivletPlayer::saveAnimationFrame(TexturePtr frame, int slot, int frameIndex)
{
    if (!frame)
    {
        std::cout << "No frame to save in animation slot " << slot << std::endl;
        return;
    }
    frame->convertTo(PixelFormat::RGBA8888);
    if (!hasPlayer())
        return;
    frame->save(toAnimationPath(slot, frameIndex));
}

bool ScrivletPlayer::hasUploadImageFile() const { return canOpen(getUploadMetaPath(), "r"); }

// The platform collects the picture named by "meta.inf"; the slot is
// remembered only once the file is safely in place.
void ScrivletPlayer::uploadImage(int slot)
{
    if (slot == lastUploadedSlot)
        return;
    if (slot < 0 || slot >= imageSlotCount)
    {
        std::cout << "Invalid picture slot " << slot << " to upload" << std::endl;
        return;
    }
    if (!hasPlayer())
        return;
    std::string path = getUploadMetaPath();
    std::FILE* file = fopenAtomic(path.c_str(), "w");
    if (!file)
    {
        std::cout << "Could not create the meta.inf file\n";
        std::cout.flush();
        return;
    }
    int written = std::fprintf(file,
                               "MetaVersion=1.0\n"
                               "Device=\"QuintaroNomad\"\n"
                               "Type=\"ScrivletArtUpload\"\n"
                               "ProductID=\"0x00470023\"\n"
                               "Name=\"Scrivlet Art Upload\"\n"
                               "PathToUploadContent=\"%s\"\n",
                               toImagePath(slot).c_str());
    if (written < 0)
    {
        fabortAtomic(file);
        std::cout << "Could not create the meta.inf file\n";
        std::cout.flush();
        return;
    }
    if (fcloseAtomic(file) != 0)
    {
        std::cout << "Could not create the meta.inf file\n";
        std::cout.flush();
        return;
    }
    lastUploadedSlot = slot;
}
}
