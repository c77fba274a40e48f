#include "ProfileTestSupport.h"

#include "CLogFile.h"
#include "CPlayerProfile.h"

#include <algorithm>
#include <random>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
// The ids of the achievement records in the usage log, in order.
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

class Progress : public Fixture
{
};

// The town's rows: completing every place of a row opens the locked places of
// the next one.
const std::vector<std::vector<int>> rows = {{4},      {5, 6},   {7},      {8, 9},   {10, 11}, {12, 13},
                                            {14, 15}, {16, 17}, {18, 19}, {20, 21}, {22, 23}, {24}};

void referenceSetLocationState(std::vector<int>& states, int location, int state)
{
    states[location] = state;
    for (size_t r = 0; r + 1 < rows.size() && state == TaskState::Complete; ++r)
        if (std::count(rows[r].begin(), rows[r].end(), location) &&
            std::all_of(rows[r].begin(), rows[r].end(), [&](int l) { return states[l] == TaskState::Complete; }))
            for (int next : rows[r + 1])
                if (states[next] == TaskState::Locked)
                    states[next] = TaskState::Available;
}

bool allComplete(const TaskState::Type* states, int first, int last)
{
    return std::all_of(states + first, states + last + 1, [](int s) { return s == TaskState::Complete; });
}
}

// Random places set to random states, mostly completed and mostly in the
// town, now and then out of range (refused and reported) or the cheat (which
// opens only locked places), open the same places as the plain row rule; the
// places counted complete are those of the town up to the lesson place,
// besides the four fixed ones.
TEST_F(Progress, LocationStatesFollowTheRowRule)
{
    std::mt19937 random(7);
    for (int game = 0; game < 40; ++game)
    {
        ScrivletPlayerPtr profile = loadProfile();
        std::vector<int> expected(profile->locationStates, profile->locationStates + 64);
        for (int step = 0; step < 60; ++step)
        {
            const int location = random() % 8 ? 4 + random() % 22 : static_cast<int>(random() % 70) - 3;
            const int state = random() % 4 ? 3 : static_cast<int>(random() % 6) - 1;
            const bool valid = location >= 0 && location < 64 && state >= 0 && state < 4;
            if (valid)
                referenceSetLocationState(expected, location, state);
            const int last = location >= 0 && location < 64 ? location : profile->lastCompleteLocation;
            const std::string printed = output([&] {
                const LocationName::Type place = static_cast<LocationName::Type>(location);
                profile->setLocationState(place, static_cast<TaskState::Type>(state));
                profile->setLastCompleteLocation(place);
            });
            const std::string refused = "Invalid location " + std::to_string(location);
            ASSERT_EQ(!valid, says(printed, refused + " or state " + std::to_string(state))) << printed;
            ASSERT_EQ(location != last, says(printed, refused + "\n")) << printed;
            ASSERT_EQ(last, profile->lastCompleteLocation);
            if (step == 30 && game % 4 == 0)
            {
                profile->unlockLocations();
                std::replace(expected.begin(), expected.end(), 0, 1);
            }
            ASSERT_EQ(expected, std::vector<int>(profile->locationStates, profile->locationStates + 64))
                << "game " << game << " step " << step;
            const int complete = static_cast<int>(std::count(expected.begin(), expected.begin() + 26, 3));
            ASSERT_EQ(std::max(complete - 4, 0), profile->getNumberOfCompletedLocations());
        }
    }
}

// Lessons keep the states set, and refuse indices and states out of range;
// numbers are lessons 0-9, capitals 10-35, small letters 36-61, and 62 and 63
// belong to no group. Random states, mostly complete, against that rule.
TEST_F(Progress, LessonGroupsAreDoneWhenAllTheirLessonsAre)
{
    ScrivletPlayerPtr profile = loadProfile(), untouched = loadProfile();
    std::mt19937 random(3);
    TaskState::Type states[83];
    std::fill(states, states + 83, TaskState::Available);
    for (int n = 0; n < 300; ++n)
    {
        for (int i = 0; i < 83; ++i)
        {
            const int state = random() % 25 ? 3 : static_cast<int>(random() % 3);
            states[i] = static_cast<TaskState::Type>(state);
            i < 64 ? profile->setLessonState(i, states[i]) : profile->setAdvancedLessonState(i - 64, states[i]);
        }
        const int bad = n % 2 ? static_cast<int>(random() % 4) + 64 : -1 - static_cast<int>(random() % 4);
        const std::string printed = output([&] {
            profile->setLessonState(n % 3 ? bad : 5, n % 3 ? TaskState::Started : static_cast<TaskState::Type>(bad));
            profile->setAdvancedLessonState(n % 3 ? bad - 45 : 5, static_cast<TaskState::Type>(n % 3 ? 1 : bad));
            EXPECT_EQ(TaskState::Locked, profile->getLessonState(bad));
            EXPECT_EQ(TaskState::Locked, profile->getAdvancedLessonState(bad - 45));
        });
        ASSERT_TRUE(says(printed, "Invalid index")) << printed;
        // Nothing else changed: the places around the lessons, the badges after them.
        ASSERT_TRUE(std::equal(profile->locationStates, profile->locationStates + 64, untouched->locationStates));
        ASSERT_TRUE(std::equal(profile->badges, profile->badges + 27, untouched->badges));
        for (int i = 0; i < 83; ++i)
            ASSERT_EQ(states[i], i < 64 ? profile->getLessonState(i) : profile->getAdvancedLessonState(i - 64)) << i;
        ASSERT_EQ(allComplete(states, 0, 9), profile->areNumberLessonsDone()) << n;
        ASSERT_EQ(allComplete(states, 10, 35), profile->areUppercaseLetterLessonsDone()) << n;
        ASSERT_EQ(allComplete(states, 36, 61), profile->areLowercaseLetterLessonsDone()) << n;
    }
}

// Random badges and achievements earned in turn, some again: each is new
// once and written at once to "achievements.bin" (nothing else is written); a
// badge goes to the platform's profile of the player (numbered from 1), an
// achievement to the usage log (numbered from 28).
TEST_F(Progress, AwardsAreSavedAtOnceAndReportedOnce)
{
    ScrivletPlayerPtr profile = loadProfile();
    Bytes awards(36, 0);
    std::vector<unsigned long> badges;
    std::vector<std::string> logged;
    std::mt19937 random(8);
    for (int n = 0; n < 40; ++n)
    {
        const int award = static_cast<int>(random() % 36);
        const bool fresh = !awards[award];
        if (fresh)
            award < 27 ? badges.push_back(award + 1) : logged.push_back(std::to_string(award + 1));
        awards[award] = 1;
        ASSERT_EQ(fresh, award < 27 ? profile->unlockBadge(static_cast<BadgeName::Type>(award))
                                    : profile->unlockAchievement(static_cast<AchievementName::Type>(award - 27)));
        ASSERT_EQ(awards, readBytes(profile->getAchievementDataPath())) << n;
    }
    std::sort(badges.begin(), badges.end());
    EXPECT_EQ(badges, platformBadges(0));
    EXPECT_EQ(logged, loggedAchievements());
    EXPECT_FALSE(exists(profile->getPlayerDataPath()));
    ScrivletPlayerPtr loaded = loadProfile();
    for (int a = 0; a < 36; ++a)
        EXPECT_EQ(awards[a] != 0, a < 27 ? loaded->hasBadge(static_cast<BadgeName::Type>(a))
                                         : loaded->hasAchievement(static_cast<AchievementName::Type>(a - 27)));
    // Earned again: nothing is written and nothing reported.
    const std::string platformFile = XQM::CPlayerProfile::GetBadgeFilePath(0).raw();
    std::remove(profile->getAchievementDataPath().c_str());
    std::remove(platformFile.c_str());
    EXPECT_FALSE(profile->unlockBadge(static_cast<BadgeName::Type>(badges[0] - 1)));
    EXPECT_FALSE(exists(profile->getAchievementDataPath()) || exists(platformFile));
    // Another player's badges go to that player's platform profile.
    usePlayer(2);
    EXPECT_TRUE(loadProfile()->unlockBadge(BadgeName::UppercaseLetters));
    EXPECT_EQ((std::vector<unsigned long>{1}), platformBadges(2));
    EXPECT_TRUE(platformBadges(0).empty());
    EXPECT_TRUE(exists(playerFolder(2) + "Scrivlet/achievements.bin"));
}

TEST_F(Progress, WithoutAPlayerNothingIsReadWrittenOrReported)
{
    // The platform's player 5 is no player: the folder the platform names for
    // it is neither read nor written, and awards stay in memory.
    usePlayer(5);
    const std::string awards = playerFolder(5) + "Scrivlet/achievements.bin";
    writeBytes(awards, Bytes(36, 1));
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(3u, profile->playerId);
    EXPECT_EQ(playerFolder(5) + "Scrivlet/", profile->localDataPath);
    EXPECT_FALSE(profile->hasBadge(BadgeName::Firehouse));
    profile->save();
    EXPECT_TRUE(profile->unlockBadge(BadgeName::Library));
    EXPECT_FALSE(profile->unlockBadge(BadgeName::Library));
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Town));
    EXPECT_TRUE(profile->hasBadge(BadgeName::Library) && profile->hasAchievement(AchievementName::Town));
    profile->setNumberOfFrames(0, 4);
    profile->uploadImage(1);
    EXPECT_EQ(-1, profile->lastUploadedSlot);
    EXPECT_EQ(Bytes(36, 1), readBytes(awards));
    EXPECT_TRUE(loggedAchievements().empty());
    EXPECT_TRUE(platformBadges(5).empty() && platformBadges(3).empty());
    int files = 0;
    for (auto& entry : std::filesystem::recursive_directory_iterator(root() + "/data"))
        files += entry.is_regular_file();
    EXPECT_EQ(1, files);
}

TEST(ProgressDeathTest, BadgesAndAchievementsOutOfRangeStop)
{
    if (root().empty())
        GTEST_SKIP() << "the system data was configured by another test";
    usePlayer(0);
    ScrivletPlayer profile;
    EXPECT_DEATH(profile.hasBadge(static_cast<BadgeName::Type>(27)), "Invalid badge");
    EXPECT_DEATH(profile.unlockBadge(static_cast<BadgeName::Type>(-1)), "Invalid badge");
    EXPECT_DEATH(profile.hasAchievement(static_cast<AchievementName::Type>(9)), "Invalid achievement");
    EXPECT_DEATH(profile.unlockAchievement(static_cast<AchievementName::Type>(-1)), "Invalid achievement");
}
