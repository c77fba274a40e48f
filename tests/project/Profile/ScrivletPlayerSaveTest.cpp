#include "ProfileTestSupport.h"

#include <algorithm>
#include <csignal>
#include <random>
#include <sys/resource.h>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
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

// Where value i of valuesOf lies: "data.bin" holds six single bytes, two of
// padding and 66 little-endian 4-byte values, "lesson.bin" 83 of them,
// "animation.bin" 3 and "achievements.bin" 36 single bytes.
struct Place
{
    int file, at, size;
};
Place placeOf(int i)
{
    if (i < 72)
        return i < 6 ? Place{0, i, 1} : Place{0, 8 + 4 * (i - 6), 4};
    return i < 155 ? Place{1, 4 * (i - 72), 4} : (i < 158 ? Place{2, 4 * (i - 155), 4} : Place{3, i - 158, 1});
}

std::vector<Bytes> filesOf(const std::vector<int>& values)
{
    std::vector<Bytes> files = {Bytes(272), Bytes(332), Bytes(12), Bytes(36)};
    for (int i = 0; i < 194; ++i)
        for (int byte = 0; byte < placeOf(i).size; ++byte)
            files[placeOf(i).file][placeOf(i).at + byte] =
                static_cast<unsigned char>(static_cast<unsigned int>(values[i]) >> (8 * byte));
    return files;
}

// A new profile: flags 1, 1, 1, 1, 0, volume 25, no upload, location 0 last;
// the four fixed places complete, the firehouse open; every lesson open, one
// frame per flipbook, no awards.
std::vector<int> newProfile()
{
    std::vector<int> values = {1, 1, 1, 1, 0, 25, -1, 0, 3, 3, 3, 3, 1};
    values.resize(72, 0);
    values.resize(158, 1);
    values.resize(194, 0);
    return values;
}

// The range a loaded value is kept in: the volume 25 to 60, the upload slot
// -1 to 5 (else -1), the last location 0 to 63 (else 0), states 0 to 3 and
// frame counts 1 to 12; flags and awards are kept as read (0 or 1 in range).
struct Range
{
    int low, high;
    enum Rule { Clamp, Low, AsRead } rule;
};
Range rangeOf(int i)
{
    if (i == 5 || i == 6 || i == 7)
        return i == 5 ? Range{25, 60, Range::Clamp} : (i == 6 ? Range{-1, 5, Range::Low} : Range{0, 63, Range::Low});
    if (i >= 8 && i < 158)
        return i < 155 ? Range{0, 3, Range::Clamp} : Range{1, 12, Range::Clamp};
    return Range{0, 1, Range::AsRead};
}

// What loading gives: each value whole from its place, or the new profile's
// where its file is missing or ends before it, kept in its range.
std::vector<int> referenceLoad(const std::vector<Bytes>& files)
{
    std::vector<int> v = newProfile();
    for (int i = 0; i < 194; ++i)
    {
        const Place p = placeOf(i);
        const Range r = rangeOf(i);
        if (static_cast<int>(files[p.file].size()) < p.at + p.size)
            continue;
        unsigned int raw = 0;
        for (int byte = 0; byte < p.size; ++byte)
            raw |= static_cast<unsigned int>(files[p.file][p.at + byte]) << (8 * byte);
        const int x = static_cast<int>(raw);
        const bool inside = r.rule == Range::AsRead || (x >= r.low && x <= r.high);
        v[i] = inside ? x : (r.rule == Range::Clamp ? std::clamp(x, r.low, r.high) : r.low);
    }
    return v;
}

// Random values in range; `wild`: one in eight just below or above its range
// or anything at all; `edge` 0 or 1: every value just outside its range,
// below and above by turns.
std::vector<int> randomValues(std::mt19937& random, bool wild, int edge = -1)
{
    std::vector<int> v;
    for (int i = 0; i < 194; ++i)
    {
        const Range r = rangeOf(i);
        const int pick = edge >= 0 ? (i + edge) % 2 : wild ? static_cast<int>(random() % 24) : 3;
        const int any = static_cast<int>(placeOf(i).size == 1 ? random() % 256 : random());
        const int inside = r.low + static_cast<int>(random() % (r.high - r.low + 1));
        v.push_back(pick == 0 ? r.low - 1 : (pick == 1 ? r.high + 1 : (pick == 2 ? any : inside)));
    }
    return v;
}

void writeSaveFiles(const std::vector<Bytes>& files)
{
    for (int f = 0; f < 4; ++f)
        writeBytes(saveFile(f), files[f]);
}

class SaveFiles : public Fixture
{
};
}

TEST_F(SaveFiles, ANewProfileAndItsFrameCounts)
{
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(0u, profile->playerId);
    EXPECT_EQ(playerFolder(0) + "Scrivlet/", profile->localDataPath);
    // Loading writes nothing; a frame count is written at once, alone, brought into 1 to 12.
    profile->setNumberOfFrames(1, 7);
    profile->setNumberOfFrames(0, 13);
    profile->setNumberOfFrames(2, -4);
    EXPECT_TRUE(says(output([&] { profile->setNumberOfFrames(3, 2); }), "Invalid animation slot 3"));
    EXPECT_EQ(readSaveFiles(), (std::vector<Bytes>{{}, {}, {12, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0}, {}}));
    std::filesystem::remove(saveFile(2));
    EXPECT_EQ(newProfile(), valuesOf(*loadProfile()));
    loadProfile()->save();
    EXPECT_EQ(filesOf(newProfile()), readSaveFiles());
}

// Files of random values, some out of range, with each file in turn missing
// (cut -1), cut at every byte, whole or longer, load as the plain rule says; a
// file cut short is reported, a missing one is not. Saving (twice: it syncs)
// writes the values as loaded, the padding as zeros.
TEST_F(SaveFiles, FilesAreReadAndWrittenAsThePlainRuleSays)
{
    std::mt19937 random(11);
    std::vector<Bytes> files;
    for (int f = 0; f < 4; ++f)
        for (int cut = -1; cut <= static_cast<int>(filesOf(newProfile())[f].size()) + 4; ++cut)
        {
            // The other files stay as written at the start of the file's turn,
            // every value in them out of range.
            if (cut == -1)
                writeSaveFiles(files = filesOf(randomValues(random, true, f % 2)));
            files[f] = filesOf(randomValues(random, cut % 3 != 1))[f];
            files[0][6] = 0xab;
            const int size = static_cast<int>(files[f].size());
            files[f].resize(std::max(cut, 0), 9);
            writeBytes(saveFile(f), files[f]);
            if (cut < 0)
                std::filesystem::remove(saveFile(f));
            std::string printed;
            ScrivletPlayerPtr profile = loadProfile(&printed);
            const std::vector<int> expected = referenceLoad(files);
            ASSERT_EQ(expected, valuesOf(*profile)) << saveFileNames[f] << " cut at " << cut;
            ASSERT_EQ(cut >= 0 && cut < size, says(printed, "Save file " + saveFile(f) + " is cut short")) << printed;
            if (cut != size || f > 1)
                continue;
            profile->save();
            ASSERT_EQ(filesOf(expected), files = readSaveFiles()) << saveFileNames[f] << " cut at " << cut;
        }
}

TEST_F(SaveFiles, NewGameResetsTheTownButKeepsLessonsAndAwards)
{
    std::mt19937 random(3);
    std::vector<Bytes> files = filesOf(randomValues(random, false));
    writeSaveFiles(files);
    ScrivletPlayerPtr profile = loadProfile();
    profile->reset();
    profile->save();
    files[0] = filesOf(newProfile())[0];
    EXPECT_EQ(files, readSaveFiles());
    // create() starts everything again.
    profile = loadProfile();
    profile->create();
    profile->save();
    EXPECT_EQ(filesOf(newProfile()), readSaveFiles());
}

TEST_F(SaveFiles, AFailedWriteKeepsTheOldFileAndIsReported)
{
    std::mt19937 random(4);
    const std::vector<Bytes> old = filesOf(randomValues(random, false)), wanted = filesOf(randomValues(random, false));
    writeSaveFiles(wanted);
    ScrivletPlayerPtr profile = loadProfile();
    writeSaveFiles(old);
    // Files may grow to 200 bytes: data.bin (272) and lesson.bin (332)
    // cannot be written, animation.bin and achievements.bin can.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit unlimited;
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    struct rlimit limit = unlimited;
    limit.rlim_cur = 200;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string printed = output([&] { profile->save(); });
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    EXPECT_TRUE(says(printed, "Could not save file " + saveFile(0))) << printed;
    EXPECT_TRUE(says(printed, "Could not save file " + saveFile(1))) << printed;
    EXPECT_FALSE(says(printed, saveFile(2)) || says(printed, saveFile(3))) << printed;
    EXPECT_EQ((std::vector<Bytes>{old[0], old[1], wanted[2], wanted[3]}), readSaveFiles());
    // The next save tries again.
    profile->save();
    EXPECT_EQ(wanted, readSaveFiles());
}

TEST_F(SaveFiles, TheProcessHasOneProfileMadeAndLoadedOnFirstUse)
{
    ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
    ASSERT_NE(nullptr, profile);
    EXPECT_EQ(profile, ScrivletPlayer::getCurrentPlayerData());
    EXPECT_TRUE(profile->isStampUnlocked(15)); // the downloads' defaults are in place
}
