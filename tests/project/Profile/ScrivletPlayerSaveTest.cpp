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

// The four files holding `v` (in the order of valuesOf): "data.bin" has six
// single bytes, two of padding and 66 little-endian 4-byte values (values 6 to
// 71), "lesson.bin" 83 of them (72 to 154), "animation.bin" 3 (155 to 157) and
// "achievements.bin" 36 single bytes.
std::vector<Bytes> filesOf(const std::vector<int>& v)
{
    std::vector<Bytes> files(4);
    auto words = [&](Bytes& file, int first, int end) {
        for (int i = first; i < end; ++i)
            for (int byte = 0; byte < 4; ++byte)
                file.push_back(static_cast<unsigned char>(static_cast<unsigned int>(v[i]) >> (8 * byte)));
    };
    files[0].assign(v.begin(), v.begin() + 6);
    files[0].resize(8, 0);
    words(files[0], 6, 72);
    words(files[1], 72, 155);
    words(files[2], 155, 158);
    files[3].assign(v.begin() + 158, v.end());
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

class SaveFiles : public Fixture
{
protected:
    // A loaded profile given random values, every one in its range.
    static ScrivletPlayerPtr randomProfile(unsigned seed)
    {
        ScrivletPlayerPtr p = loadProfile();
        std::mt19937 random(seed);
        auto in = [&](int low, int high) { return low + static_cast<int>(random() % (high - low + 1)); };
        for (unsigned char* flag : {&p->firstLaunch, &p->mapTutorialPending, &p->studioIntroPending,
                                    &p->warehouseHintPending, &p->letterVisitPending})
            *flag = static_cast<unsigned char>(in(0, 1));
        p->musicVolume = static_cast<unsigned char>(in(25, 60));
        p->lastUploadedSlot = in(-1, 5);
        p->lastCompleteLocation = in(0, 63);
        auto state = [&] { return static_cast<TaskState::Type>(in(0, 3)); };
        std::generate(p->locationStates, p->locationStates + 64, state);
        std::generate(p->lessonStates, p->lessonStates + 64, state);
        std::generate(p->advancedLessonStates, p->advancedLessonStates + 19, state);
        std::generate(p->frameCounts, p->frameCounts + 3, [&] { return in(1, 12); });
        std::generate(p->badges, p->badges + 27, [&] { return in(0, 1); });
        std::generate(p->achievements, p->achievements + 9, [&] { return in(0, 1); });
        return p;
    }
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

// Random values are saved in the files' layout and loaded back as they were.
TEST_F(SaveFiles, SavingAndLoadingKeepsEveryValue)
{
    for (unsigned seed = 1; seed <= 20; ++seed)
    {
        ScrivletPlayerPtr saved = randomProfile(seed);
        saved->save();
        ASSERT_EQ(filesOf(valuesOf(*saved)), readSaveFiles()) << seed;
        ASSERT_EQ(valuesOf(*saved), valuesOf(*loadProfile())) << seed;
    }
}

// A file cut at any byte keeps every whole value before the cut and is
// reported; the values it lacks, or that the cut runs through, take their
// defaults. A missing file (cut -1) gives its block's defaults silently, a
// longer one is read up to its block. The other files keep what they hold.
// Compared with the saved files laid over the new profile's whole files.
TEST_F(SaveFiles, EveryFileCutAtEveryByteMissingOrLonger)
{
    const std::vector<Bytes> defaults = filesOf(newProfile());
    ScrivletPlayerPtr saved = randomProfile(5);
    saved->save();
    const std::vector<Bytes> good = readSaveFiles();
    const int wordsFrom[4] = {8, 0, 0, 36}; // single bytes before, 4-byte values from there
    for (int f = 0; f < 4; ++f)
    {
        for (int g = 0; g < 4; ++g)
            writeBytes(saveFile(g), good[g]);
        const int size = static_cast<int>(defaults[f].size());
        for (int cut = -1; cut <= size + 4; ++cut)
        {
            const int read = std::clamp(cut, 0, size);
            const int whole = read <= wordsFrom[f] ? read : wordsFrom[f] + (read - wordsFrom[f]) / 4 * 4;
            Bytes reference = defaults[f];
            std::copy(good[f].begin(), good[f].begin() + whole, reference.begin());
            writeBytes(saveFile(f), reference);
            const std::vector<int> expected = valuesOf(*loadProfile());
            Bytes file(good[f].begin(), good[f].begin() + read);
            file.resize(std::max(cut, read), 9);
            if (cut < 0)
                std::filesystem::remove(saveFile(f));
            else
                writeBytes(saveFile(f), file);
            std::string printed;
            ASSERT_EQ(expected, valuesOf(*loadProfile(&printed))) << saveFileNames[f] << " cut at " << cut;
            ASSERT_EQ(cut >= 0 && cut < size, says(printed, "Save file " + saveFile(f) + " is cut short")) << printed;
        }
    }
}

// Values out of range are brought into range (the volume to the options
// slider's 25 to 60), and the padding is written as zeros.
TEST_F(SaveFiles, ValuesOutOfRangeAreBroughtIntoRange)
{
    struct Change
    {
        int index, stored, loaded;
    };
    const std::vector<std::vector<Change>> rounds = {
        {{5, 200, 60}, {6, 6, -1}, {7, 1000, 0}, {15, 4, 3}, {16, -2, 0}, {71, 0x7fffffff, 3}, {77, 17, 3},
         {138, -1, 0}, {155, 0, 1}, {156, 13, 12}, {157, -1, 1}},
        {{5, 3, 25}, {6, -7, -1}, {7, -1, 0}}};
    for (const std::vector<Change>& changes : rounds)
    {
        std::vector<int> stored = newProfile(), loaded = newProfile();
        for (const Change& c : changes)
            stored[c.index] = c.stored, loaded[c.index] = c.loaded;
        std::vector<Bytes> files = filesOf(stored);
        files[0][6] = 0xab;
        files[0][7] = 0xcd;
        for (int f = 0; f < 4; ++f)
            writeBytes(saveFile(f), files[f]);
        ScrivletPlayerPtr profile = loadProfile();
        EXPECT_EQ(loaded, valuesOf(*profile));
        profile->save();
        EXPECT_EQ(filesOf(loaded), readSaveFiles());
    }
}

TEST_F(SaveFiles, NewGameResetsTheTownButKeepsLessonsAndAwards)
{
    ScrivletPlayerPtr profile = randomProfile(3);
    profile->save();
    std::vector<Bytes> files = readSaveFiles();
    profile = loadProfile();
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
    randomProfile(4)->save();
    const std::vector<Bytes> old = readSaveFiles();
    ScrivletPlayerPtr profile = randomProfile(6);
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
    const std::vector<Bytes> wanted = filesOf(valuesOf(*profile));
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
