// The save files, progress and awards against a plain model of the values.
#include "ProfileTestSupport.h"

#include "CLogFile.h"
#include "CPlayerProfile.h"

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <set>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
const char* const saveFileNames[4] = {"data.bin", "lesson.bin", "animation.bin", "achievements.bin"};
const int sizes[4] = {272, 332, 12, 36};
std::string saveFile(int file) { return playerFolder(0) + "Scrivlet/" + saveFileNames[file]; }
void writeSaveFile(int f, const Bytes& bytes) { writeText(saveFile(f), std::string(bytes.begin(), bytes.end())); }

std::vector<Bytes> readSaveFiles()
{
    std::vector<Bytes> files;
    for (int f = 0; f < 4; ++f)
    {
        const std::string bytes = TestSupport::readFile(saveFile(f));
        files.emplace_back(bytes.begin(), bytes.end());
    }
    return files;
}

// Every value a loaded profile keeps from its files, in file order.
std::vector<int> valuesOf(const ScrivletPlayer& p)
{
    std::vector<int> v{p.firstLaunch,        p.mapTutorialPending, p.studioIntroPending, p.warehouseHintPending,
                       p.letterVisitPending, p.musicVolume,        p.lastUploadedSlot,   p.lastCompleteLocation};
    v.insert(v.end(), p.locationStates, p.locationStates + 64);
    v.insert(v.end(), p.lessonStates, p.lessonStates + 64);
    v.insert(v.end(), p.advancedLessonStates, p.advancedLessonStates + 19);
    v.insert(v.end(), p.frameCounts, p.frameCounts + 3);
    v.insert(v.end(), p.badges, p.badges + 27);
    v.insert(v.end(), p.achievements, p.achievements + 9);
    return v;
}

// Where value i of valuesOf lies and the range loading keeps it in: five
// flags, the volume, two bytes of padding, then 4-byte little-endian values.
struct Field
{
    int file, at, size, low, high;
    char rule; // 'c' clamped, 'l' the low end, 'a' as read
};
Field fieldOf(int i)
{
    if (i < 6)
        return i == 5 ? Field{0, 5, 1, 25, 60, 'c'} : Field{0, i, 1, 0, 1, 'a'};
    if (i < 72)
        return Field{0, 4 * i - 16, 4, i == 6 ? -1 : 0, i == 6 ? 5 : (i == 7 ? 63 : 3), i < 8 ? 'l' : 'c'};
    if (i < 158)
        return i < 155 ? Field{1, 4 * (i - 72), 4, 0, 3, 'c'} : Field{2, 4 * (i - 155), 4, 1, 12, 'c'};
    return Field{3, i - 158, 1, 0, 1, 'a'};
}

std::vector<Bytes> filesOf(const std::vector<int>& values)
{
    std::vector<Bytes> files = {Bytes(sizes[0]), Bytes(sizes[1]), Bytes(sizes[2]), Bytes(sizes[3])};
    for (int i = 0; i < 194; ++i)
        for (int byte = 0; byte < fieldOf(i).size; ++byte)
            files[fieldOf(i).file][fieldOf(i).at + byte] = static_cast<unsigned char>(unsigned(values[i]) >> 8 * byte);
    return files;
}

// Flags 1, 1, 1, 1, 0, volume 25, no upload, location 0 last; the four fixed
// places complete, the firehouse open; lessons open, one frame each, no awards.
std::vector<int> newProfile()
{
    std::vector<int> values = {1, 1, 1, 1, 0, 25, -1, 0, 3, 3, 3, 3, 1};
    values.resize(72, 0);
    values.resize(158, 1);
    values.resize(194, 0);
    return values;
}

// What loading gives: each value whole from its place, or the new profile's
// where its file is missing or ends before it, kept in its range.
std::vector<int> referenceLoad(const std::vector<Bytes>& files)
{
    std::vector<int> v = newProfile();
    for (int i = 0; i < 194; ++i)
    {
        const Field f = fieldOf(i);
        if (static_cast<int>(files[f.file].size()) < f.at + f.size)
            continue;
        unsigned int raw = 0;
        for (int byte = 0; byte < f.size; ++byte)
            raw |= static_cast<unsigned int>(files[f.file][f.at + byte]) << (8 * byte);
        const int x = static_cast<int>(raw), kept = f.rule == 'c' ? std::clamp(x, f.low, f.high) : f.low;
        v[i] = f.rule == 'a' || (x >= f.low && x <= f.high) ? x : kept;
    }
    return v;
}

// Random values, one in eight just below or above its range or anything at all.
std::vector<Bytes> randomFiles(std::mt19937& random)
{
    std::vector<int> v;
    for (int i = 0; i < 194; ++i)
    {
        const Field f = fieldOf(i);
        const int pick = static_cast<int>(random() % 24),
                  any = static_cast<int>(f.size == 1 ? random() % 256 : random());
        v.push_back(pick < 2    ? (pick ? f.high + 1 : f.low - 1)
                    : pick == 2 ? any
                                : f.low + int(random() % (f.high - f.low + 1)));
    }
    return filesOf(v);
}

// The town's rows: completing every place of a row opens the locked places of the next one.
const std::vector<std::vector<int>> rows = {{4},      {5, 6},   {7},      {8, 9},   {10, 11}, {12, 13},
                                            {14, 15}, {16, 17}, {18, 19}, {20, 21}, {22, 23}, {24}};

std::vector<std::string> loggedAchievements()
{
    std::vector<std::string> ids;
    std::ifstream log(CLogFile::Instance()->GetPath().raw());
    const std::string tag = "\tAchievementEarned\t";
    for (std::string line; std::getline(log, line);)
        if (says(line, tag))
            ids.push_back(line.substr(line.find(tag) + tag.size()));
    return ids;
}

std::vector<unsigned long> platformBadges(tPlayerID id) { return XQM::CPlayerProfile(id).GetBadges(); }

using Progress = Fixture;
}

// A frame count or a new award is written at once, alone; nothing else
// until saved. Each file in turn missing (cut -1), cut at every byte, whole
// or longer. A save limited to 200 bytes keeps the old files and says so.
TEST_F(Progress, RandomStepsFollowThePlainRules)
{
    ASSERT_TRUE(ScrivletPlayer::getCurrentPlayerData() == ScrivletPlayer::getCurrentPlayerData());
    EXPECT_TRUE(ScrivletPlayer::getCurrentPlayerData()->isStampUnlocked(15)); // one, loaded on first use
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(std::vector<Bytes>(4), readSaveFiles());
    EXPECT_EQ(0u, profile->playerId);
    std::vector<int> v = newProfile();
    std::set<unsigned long> badges;
    std::vector<std::string> logged;
    std::mt19937 random(7);
    std::signal(SIGXFSZ, SIG_IGN);
    auto done = [&](int first, int last) { return std::count(&v[72 + first], &v[73 + last], 3) == last - first + 1; };
    for (int step = 0, cuts = 0, f = 0, cut = 0; f < 4; ++step)
    {
        for (int g = 0; g < 4; ++g)
            std::filesystem::remove(saveFile(g));
        const char op = random() % 40 ? "LLLLLLLLLLTNAFBBCCXXXX"[random() % 22] : "UROSW"[random() % 5];
        const int at = op == 'L' && random() % 8 ? 4 + random() % 22 : static_cast<int>(random() % 70) - 3;
        const int state = random() % 4 ? 3 : static_cast<int>(random() % 6) - 1, award = random() % 36;
        const bool valid = at >= 0 && at < 64 && state >= 0 && state < 4;
        std::vector<Bytes> written(4);
        std::string printed = output([&] {
            switch (op)
            {
            case 'L':
                profile->setLocationState(LocationName::Type(at), TaskState::Type(state));
                if (valid)
                    v[8 + at] = state;
                for (size_t r = 0; valid && state == 3 && r + 1 < rows.size(); ++r)
                    if (std::count(rows[r].begin(), rows[r].end(), at) &&
                        std::all_of(rows[r].begin(), rows[r].end(), [&](int l) { return v[8 + l] == 3; }))
                        for (int next : rows[r + 1])
                            v[8 + next] = std::max(v[8 + next], 1);
                break;
            case 'T':
                profile->setLastCompleteLocation(LocationName::Type(at));
                v[7] = at >= 0 && at < 64 ? at : v[7];
                break;
            case 'N':
                for (int i = 0; i < 83; ++i)
                {
                    const TaskState::Type set = TaskState::Type(v[72 + i] = random() % 25 ? 3 : random() % 3);
                    i < 64 ? profile->setLessonState(i, set) : profile->setAdvancedLessonState(i - 64, set);
                }
                [[fallthrough]];
            case 'A': // an index or a state out of range; no neighbour is read or written
            {
                const int bad = step % 2 ? 64 + random() % 4 : -1 - static_cast<int>(random() % 4);
                profile->setLessonState(step % 3 ? bad : 5, TaskState::Type(step % 3 ? 2 : bad));
                profile->setAdvancedLessonState(step % 3 ? bad - 45 : 5, TaskState::Type(step % 3 ? 1 : bad));
                EXPECT_TRUE(!profile->getLessonState(bad) && !profile->getAdvancedLessonState(bad - 45));
                break;
            }
            case 'F':
                profile->setNumberOfFrames(award % 3, state * 5 - 2);
                v[155 + award % 3] = std::clamp(state * 5 - 2, 1, 12);
                written[2] = filesOf(v)[2];
                break;
            case 'B':
            case 'C': {
                const int a = op == 'B' ? award % 27 : 27 + award % 9;
                EXPECT_EQ(!v[158 + a], a < 27 ? profile->unlockBadge(BadgeName::Type(a))
                                              : profile->unlockAchievement(AchievementName::Type(a - 27)));
                if (v[158 + a])
                    break;
                a < 27 ? (void)badges.insert(a + 1) : logged.push_back(std::to_string(a + 1));
                v[158 + a] = 1;
                written[3] = filesOf(v)[3];
                break;
            }
            case 'U':
                profile->unlockLocations();
                std::replace(v.begin() + 8, v.begin() + 72, 0, 1);
                break;
            case 'R': // a new game starts the town again
            case 'O':
                op == 'R' ? profile->reset() : profile->create();
                std::copy_n(newProfile().begin(), op == 'R' ? 72 : 194, v.begin());
                break;
            case 'W': {
                written = randomFiles(random);
                writeSaveFile(0, written[0]);
                writeSaveFile(1, written[1]);
                struct rlimit unlimited;
                ::getrlimit(RLIMIT_FSIZE, &unlimited);
                const struct rlimit limit = {200, unlimited.rlim_max};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                profile->save();
                ::setrlimit(RLIMIT_FSIZE, &unlimited);
                written = {written[0], written[1], filesOf(v)[2], filesOf(v)[3]};
                break;
            }
            case 'S':
                profile->save();
                written = filesOf(v);
                break;
            case 'X':
                written = randomFiles(random);
                written[0][6] = 0xab; // padding
                written[f].resize(std::max(cut = cuts - 1, 0), 9);
                for (int g = 0; g < 4; ++g)
                    writeSaveFile(g, written[g]);
                if (cut < 0)
                    std::filesystem::remove(saveFile(f));
                v = referenceLoad(written);
            }
        });
        if (op == 'S' || op == 'X')
            profile = loadProfile(&printed);
        const bool refused = op == 'L' ? !valid : op == 'T' && (at < 0 || at >= 64), lessons = op == 'N' || op == 'A';
        const std::string tail = op == 'L' ? " or state " + std::to_string(state) : "\n";
        ASSERT_EQ(refused, says(printed, "Invalid location " + std::to_string(at) + tail)) << printed;
        ASSERT_EQ(refused || lessons, says(printed, lessons ? "Invalid index" : "Invalid ")) << printed;
        ASSERT_EQ(op == 'W', says(printed, "Could not save file " + saveFile(0)) && says(printed, saveFile(1)));
        ASSERT_FALSE(op == 'W' && (says(printed, saveFile(2)) || says(printed, saveFile(3)))) << printed;
        const bool cutShort = op == 'X' && cut >= 0 && cut < sizes[f];
        ASSERT_EQ(cutShort, says(printed, "Save file " + saveFile(f) + " is cut short")) << printed;
        ASSERT_EQ(v, valuesOf(*profile)) << "step " << step << " " << op << " " << saveFileNames[f] << " cut at "
                                         << cut;
        ASSERT_EQ(written, readSaveFiles()) << "step " << step << " " << op;
        for (int i = 0; i < 83; ++i)
            ASSERT_EQ(v[72 + i], i < 64 ? profile->getLessonState(i) : profile->getAdvancedLessonState(i - 64));
        for (int a = 0; a < 36; ++a)
            ASSERT_EQ(v[158 + a] != 0, a < 27 ? profile->hasBadge(BadgeName::Type(a))
                                              : profile->hasAchievement(AchievementName::Type(a - 27)));
        const int complete = static_cast<int>(std::count(v.begin() + 8, v.begin() + 34, 3));
        ASSERT_EQ(std::max(complete - 4, 0), profile->getNumberOfCompletedLocations());
        ASSERT_EQ(done(0, 9), profile->areNumberLessonsDone()) << step;
        ASSERT_EQ(done(10, 35), profile->areUppercaseLetterLessonsDone()) << step;
        ASSERT_EQ(done(36, 61), profile->areLowercaseLetterLessonsDone()) << step;
        cuts = op != 'X' ? cuts : cut < sizes[f] + 4 ? cuts + 1 : (++f, 0);
    }
    EXPECT_EQ(std::vector<unsigned long>(badges.begin(), badges.end()), platformBadges(0));
    EXPECT_EQ(logged, loggedAchievements());
    EXPECT_TRUE(says(output([&] { profile->setNumberOfFrames(3, 2); }), "Invalid animation slot 3"));
}

// The platform's player 5 is no player: its folder is neither read nor
// written, and awards stay in memory.
TEST_F(Progress, AwardsOfOtherPlayersAndOfNone)
{
    usePlayer(2);
    EXPECT_TRUE(loadProfile()->unlockBadge(BadgeName::UppercaseLetters));
    EXPECT_EQ((std::vector<unsigned long>{1}), platformBadges(2));
    EXPECT_TRUE(platformBadges(0).empty() && std::filesystem::exists(playerFolder(2) + "Scrivlet/achievements.bin"));
    std::filesystem::remove_all(root() + "/data");
    usePlayer(5);
    const std::string awards = playerFolder(5) + "Scrivlet/achievements.bin";
    writeText(awards, std::string(36, 1));
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(3u, profile->playerId);
    EXPECT_FALSE(profile->hasBadge(BadgeName::Firehouse));
    profile->save();
    EXPECT_TRUE(profile->unlockBadge(BadgeName::Library) && !profile->unlockBadge(BadgeName::Library));
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Town) && profile->hasBadge(BadgeName::Library));
    profile->setNumberOfFrames(0, 4);
    profile->uploadImage(1);
    EXPECT_EQ(-1, profile->lastUploadedSlot);
    EXPECT_EQ(std::string(36, 1), TestSupport::readFile(awards));
    EXPECT_TRUE(loggedAchievements().empty() && platformBadges(5).empty() && platformBadges(3).empty());
    int files = 0;
    for (auto& entry : std::filesystem::recursive_directory_iterator(root() + "/data"))
        files += entry.is_regular_file();
    EXPECT_EQ(1, files);
}
