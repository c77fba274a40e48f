#ifndef RESOURCES_SCRIVLETPLAYER_H
#define RESOURCES_SCRIVLETPLAYER_H

#include "Resources/Profile/AchievementName.h"
#include "Resources/Profile/BadgeName.h"
#include "Resources/Profile/ColoringBookDownload.h"
#include "Resources/Profile/LocationName.h"
#include "Resources/Profile/TaskDownload.h"
#include "Resources/Profile/TaskState.h"
#include "Tovrane/Player.h"

#include <boost/shared_ptr.hpp>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Tovrane
{
class Texture;
typedef boost::shared_ptr<Texture> TexturePtr;

// The game's player profile. What it remembers between runs lives in four
// small files of raw little-endian records in the player's data folder:
//   "data.bin"         (272 bytes) first-time flags, music volume, upload
//                      slot, last completed location, 64 location states;
//   "lesson.bin"       (332 bytes) 64 writing-lesson and 19 advanced-lesson
//                      states;
//   "animation.bin"    (12 bytes) frame counts of the three flipbooks;
//   "achievements.bin" (36 bytes) 27 badge and 9 achievement flags.
// Changes stay in memory until save(); earning a badge or an achievement and
// setting a flipbook's frame count write their file at once. A file that is
// there but cannot be read is said and left as it is: its values start from
// the defaults, "data.bin" (until a new game) and "lesson.bin" are not saved
// until the next load, and "animation.bin" and "achievements.bin" are read
// again before they are written, keeping what they hold besides this run's
// changes. It also keeps the player's pictures and flipbook frames and what
// downloads unlock.
// States read and write the public fields directly.
class ScrivletPlayer : public Player
{
public:
    static constexpr int writingLessonCount = 64;
    static constexpr int advancedLessonCount = 19;
    static constexpr int badgeCount = 27;
    static constexpr int achievementCount = 9;
    static constexpr int locationCount = 64;
    static constexpr int animationSlotCount = 3;
    static constexpr int imageSlotCount = 6;
    static constexpr int frameCount = 6;
    static constexpr int stampCount = 24;
    // A flipbook has 1 to 12 frames.
    static constexpr int maxAnimationFrames = 12;
    // The music volume of a new profile, and the loudest the options slider
    // sets (it sets 30 to 60); a volume read from "data.bin" is kept within.
    static constexpr unsigned char minMusicVolume = 25;
    static constexpr unsigned char maxMusicVolume = 60;

    static constexpr int playerDataSize = 272;
    static constexpr int lessonDataSize = 332;
    static constexpr int animationDataSize = 12;
    static constexpr int achievementDataSize = 36;

    // Bundles inside bundles are followed this deep, no deeper.
    static constexpr int maxDownloadDepth = 8;
    // Packages the platform lists that are read in one loading of the
    // downloads, at most (bundle members and the title's own book not counted).
    static constexpr int maxDownloadPackages = 1024;
    // A colouring book has 1 to 100 pages.
    static constexpr int maxColoringBookPages = 100;

    // The one profile of the process, made and loaded on the first call.
    static ScrivletPlayer* getCurrentPlayerData();

    ScrivletPlayer();
    ~ScrivletPlayer() override;

    // Hooks of the engine's profile.
    void onReset() override;
    void onNew() override;
    void onLoad() override;
    void onSavePlayer() override;
    void onSavePersistent() override;
    void onSaveAchievements() override;
    void onLoadMicroDownloads() override;
    void loadMicroDownload(const std::string& folder) override;

    std::string getPlayerDataPath() const { return localDataPath + "data.bin"; }
    std::string getLessonDataPath() const { return localDataPath + "lesson.bin"; }
    std::string getAnimationDataPath() const { return localDataPath + "animation.bin"; }
    std::string getAchievementDataPath() const { return localDataPath + "achievements.bin"; }

    // Stores the frame count of a flipbook (brought into 1 to 12) and writes
    // "animation.bin" at once; true when the file was written.
    bool setNumberOfFrames(int slot, int count);

    // Town progress. Completing a location opens the next tier of the town.
    void setLocationState(LocationName::Type location, TaskState::Type state);
    void unlockLocations();
    void setLastCompleteLocation(LocationName::Type location);
    // Complete locations among 0-25 besides the four fixed places.
    int getNumberOfCompletedLocations() const;

    TaskState::Type getLessonState(int index) const;
    void setLessonState(int index, TaskState::Type state);
    TaskState::Type getAdvancedLessonState(int index) const;
    void setAdvancedLessonState(int index, TaskState::Type state);
    bool areNumberLessonsDone() const;
    bool areUppercaseLetterLessonsDone() const;
    bool areLowercaseLetterLessonsDone() const;

    bool hasBadge(BadgeName::Type badge) const;
    bool hasAchievement(AchievementName::Type achievement) const;
    // Earns it once: true when it is new. Writes "achievements.bin" at once.
    bool unlockBadge(BadgeName::Type badge);
    bool unlockAchievement(AchievementName::Type achievement);

    // Pictures (slots 0-5), their thumbnails and flipbook frames (slots 0-2).
    // The savers answer whether every file they write was written.
    std::string toImagePath(int slot) const;
    std::string toThumbnailPath(int slot) const;
    std::string toAnimationPath(int slot, int frame) const;
    bool saveImage(TexturePtr picture, int slot);
    bool createThumbnail(TexturePtr picture, int slot) const;
    TexturePtr loadImage(int slot) const;
    TexturePtr loadImageThumbnail(int slot) const;
    TexturePtr loadAnimationFrame(int slot, int frame) const;
    bool hasImage(int slot) const;
    bool hasAnimation(int slot) const;
    int getNumberOfImageSlotsInUse() const;
    bool saveAnimationFrame(TexturePtr frame, int slot, int frameIndex);
    // Saves a whole flipbook: every frame (converted to RGBA8888) and the
    // slot's frame count (brought into 1 to 12), all in place together or,
    // when any of them cannot be written, none of them. True when saved.
    bool saveAnimation(std::vector<TexturePtr> frames, int slot, int count);
    // Hands the picture of a slot to the platform's upload by writing
    // "meta.inf"; a slot already handed over and not yet collected is skipped.
    void uploadImage(int slot);
    bool hasUploadImageFile() const;
    std::string getUploadMetaPath() const;

    // What downloads unlock and add.
    bool isFrameUnlocked(int frame) const;
    bool isStampUnlocked(int stamp) const;
    int getColoringBookCount() const { return static_cast<int>(coloringBooks.size()); }
    ColoringBookDownloadPtr getColoringBookPage(int index) const;
    int getLocationCount() const { return static_cast<int>(taskDownloads.size()); }
    TaskDownloadPtr getTaskDownload(int index) const;

    // The player's picture folder; file names are appended directly.
    std::string photosPath;

    // "animation.bin"
    int frameCounts[animationSlotCount];

    // "data.bin"
    unsigned char firstLaunch;
    unsigned char mapTutorialPending;
    unsigned char studioIntroPending;
    unsigned char warehouseHintPending;
    unsigned char letterVisitPending;
    unsigned char musicVolume;
    int lastUploadedSlot;
    int lastCompleteLocation;
    TaskState::Type locationStates[locationCount];

    // "lesson.bin"
    TaskState::Type lessonStates[writingLessonCount];
    TaskState::Type advancedLessonStates[advancedLessonCount];

    // "achievements.bin": non-zero when earned.
    unsigned char badges[badgeCount];
    unsigned char achievements[achievementCount];

    // Only in memory: what the title and the downloads unlock and add.
    std::vector<bool> unlockedFrames;
    std::vector<bool> unlockedStamps;
    std::vector<ColoringBookDownloadPtr> coloringBooks;
    std::vector<TaskDownloadPtr> taskDownloads;

private:
    void resetAnimationData();
    void resetLessonData();
    void resetAchievementData();

    void encodePlayerData(unsigned char* bytes) const;
    void decodePlayerData(const unsigned char* bytes);
    void encodeLessonData(unsigned char* bytes) const;
    void decodeLessonData(const unsigned char* bytes);
    void encodeAnimationData(unsigned char* bytes) const;
    void decodeAnimationData(const unsigned char* bytes);
    void encodeAchievementData(unsigned char* bytes) const;
    void decodeAchievementData(const unsigned char* bytes);

    // Reads the file over `bytes` (which hold the block's defaults): a value
    // only when the file holds all of it. Bytes from `wordsFrom` on are 4-byte
    // values, the ones before it single bytes. A missing file is silent, a
    // short one is reported. False when a file is there but could not be
    // opened or read: `bytes` are left alone and `failure` says why.
    bool readBlock(const std::string& path, unsigned char* bytes, int size, int wordsFrom,
                   std::string& failure) const;
    // readBlock at the load: a failure is said, and false.
    bool loadBlock(const std::string& path, unsigned char* bytes, int size, int wordsFrom) const;
    // Before "animation.bin" or "achievements.bin" is written when it could
    // not be read at the load: reads it again and takes what it holds besides
    // this run's changes (frame counts of the flipbooks not set in this run,
    // awards earned before). False (and said) when it still cannot be read.
    bool rereadAnimationData();
    bool rereadAchievementData();
    // Replaces the file as a whole; false (and reported) when it could not.
    bool writeBlock(const std::string& path, const unsigned char* bytes, int size) const;

    void savePlayerData();
    void saveLessonData();
    bool saveAnimationData();

    static boost::shared_ptr<ScrivletPlayer> currentPlayer;

    // Save files that were there but could not be read at the last load.
    bool playerDataUnread = false;
    bool lessonDataUnread = false;
    bool animationDataUnread = false;
    bool achievementDataUnread = false;
    // "data.bin" and "lesson.bin" left unsaved have been said since that load:
    // every later save would only repeat it.
    bool playerDataLeftSaid = false;
    bool lessonDataLeftSaid = false;
    // Flipbooks whose frame count this run set while "animation.bin" was unread.
    bool animationSlotSet[animationSlotCount] = {};

    // Nesting of bundles while loading one package, and packages read so far.
    int downloadDepth;
    int downloadPackages;
    // Every package folder read in this loading, by the name it resolves to:
    // none is read twice.
    std::set<std::string> loadedFolders;
};

typedef boost::shared_ptr<ScrivletPlayer> ScrivletPlayerPtr;
}

#endif
