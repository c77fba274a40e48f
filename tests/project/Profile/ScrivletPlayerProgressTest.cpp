#include "ProfileTestSupport.h"

#include "CLogFile.h"
#include "CPlayerProfile.h"

#include <algorithm>
#include <random>
#include <set>

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
        if (line.find(tag) != std::string::npos)
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
}

// Random places set to random states, mostly completed and mostly in the town,
// open the same places as the plain row rule.
TEST_F(Progress, LocationStatesFollowTheRowRule)
{
    std::mt19937 random(7);
    for (int game = 0; game < 40; ++game)
    {
        ScrivletPlayerPtr profile = loadProfile();
        std::vector<int> expected(profile->locationStates, profile->locationStates + 64);
        for (int step = 0; step < 60; ++step)
        {
            const int location = random() % 8 ? 4 + random() % 22 : random() % 64;
            const int state = random() % 3 ? int(TaskState::Complete) : int(random() % 4);
            referenceSetLocationState(expected, location, state);
            profile->setLocationState(static_cast<LocationName::Type>(location), static_cast<TaskState::Type>(state));
            ASSERT_EQ(expected, std::vector<int>(profile->locationStates, profile->locationStates + 64))
                << "game " << game << " step " << step;
        }
    }
}

TEST_F(Progress, TheWholeTownOpensTierByTier)
{
    // Completed in order, every place is open when its turn comes.
    ScrivletPlayerPtr profile = loadProfile();
    for (int location = 4; location <= 24; ++location)
    {
        ASSERT_EQ(TaskState::Available, profile->locationStates[location]) << location;
        profile->setLocationState(static_cast<LocationName::Type>(location), TaskState::Complete);
        EXPECT_EQ(location - 3, profile->getNumberOfCompletedLocations());
    }
    EXPECT_EQ(TaskState::Locked, profile->locationStates[25]);
    // States beyond the town do not count.
    std::fill(profile->locationStates + 25, profile->locationStates + 64, TaskState::Complete);
    EXPECT_EQ(22, profile->getNumberOfCompletedLocations());
}

TEST_F(Progress, TheCheatOpensOnlyLockedPlaces)
{
    ScrivletPlayerPtr profile = loadProfile();
    profile->locationStates[10] = TaskState::Started;
    profile->unlockLocations();
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(i < 4 ? TaskState::Complete : (i == 10 ? TaskState::Started : TaskState::Available),
                  profile->locationStates[i])
            << i;
}

TEST_F(Progress, IndicesOutOfRangeAreRefused)
{
    ScrivletPlayerPtr profile = loadProfile();
    const std::string printed = output([&] {
        profile->setLocationState(static_cast<LocationName::Type>(64), TaskState::Complete);
        profile->setLocationState(static_cast<LocationName::Type>(-1), TaskState::Complete);
        profile->setLocationState(LocationName::Firehouse, static_cast<TaskState::Type>(7));
        profile->setLastCompleteLocation(static_cast<LocationName::Type>(200));
        profile->setLessonState(64, TaskState::Complete);
        profile->setLessonState(-1, TaskState::Complete);
        profile->setAdvancedLessonState(19, TaskState::Complete);
        profile->setAdvancedLessonState(-1, TaskState::Complete);
        EXPECT_EQ(TaskState::Locked, profile->getLessonState(64));
        EXPECT_EQ(TaskState::Locked, profile->getAdvancedLessonState(19));
    });
    EXPECT_NE(std::string::npos, printed.find("Invalid location 64")) << printed;
    EXPECT_NE(std::string::npos, printed.find("Invalid index 19")) << printed;
    // Nothing changed: the profile saves as a new one does.
    loadProfile()->save();
    const std::vector<Bytes> fresh = readSaveFiles();
    profile->save();
    EXPECT_EQ(fresh, readSaveFiles());
}

TEST_F(Progress, LessonGroupsAreDoneWhenAllTheirLessonsAre)
{
    ScrivletPlayerPtr profile = loadProfile();
    for (int i = 0; i < 64; ++i)
        profile->setLessonState(i, i == 9 ? TaskState::Started : TaskState::Complete);
    EXPECT_FALSE(profile->areNumberLessonsDone());
    EXPECT_TRUE(profile->areUppercaseLetterLessonsDone());
    EXPECT_TRUE(profile->areLowercaseLetterLessonsDone());
    profile->setLessonState(9, TaskState::Complete);
    EXPECT_TRUE(profile->areNumberLessonsDone());
    profile->setLessonState(35, TaskState::Started);
    EXPECT_FALSE(profile->areUppercaseLetterLessonsDone());
    EXPECT_TRUE(profile->areLowercaseLetterLessonsDone());
    profile->setLessonState(61, TaskState::Available);
    EXPECT_FALSE(profile->areLowercaseLetterLessonsDone());
    // Lessons 62 and 63 belong to no group.
    profile->setLessonState(62, TaskState::Locked);
    profile->setLessonState(36, TaskState::Complete);
    profile->setLessonState(61, TaskState::Complete);
    EXPECT_TRUE(profile->areLowercaseLetterLessonsDone());
}

TEST_F(Progress, ABadgeIsSavedAtOnceAndReportedToThePlatformOnce)
{
    ScrivletPlayerPtr profile = loadProfile();
    const std::string awards = profile->getAchievementDataPath();
    const std::string platformFile = XQM::CPlayerProfile::GetBadgeFilePath(0).raw();
    EXPECT_TRUE(profile->unlockBadge(BadgeName::Firehouse));
    Bytes expected(36, 0);
    expected[3] = 1;
    EXPECT_EQ(expected, readBytes(awards));
    EXPECT_EQ((std::vector<unsigned long>{4}), platformBadges(0));
    EXPECT_FALSE(exists(profile->getPlayerDataPath()));

    // A second time: nothing is written and nothing reported.
    std::remove(awards.c_str());
    std::remove(platformFile.c_str());
    EXPECT_FALSE(profile->unlockBadge(BadgeName::Firehouse));
    EXPECT_FALSE(exists(awards) || exists(platformFile));

    EXPECT_TRUE(profile->unlockBadge(BadgeName::FullGallery));
    EXPECT_EQ((std::vector<unsigned long>{27}), platformBadges(0));
    expected[26] = 1;
    EXPECT_EQ(expected, readBytes(awards));
    EXPECT_TRUE(loadProfile()->hasBadge(BadgeName::FullGallery));

    // Another player's badges go to that player's platform profile.
    usePlayer(2);
    EXPECT_TRUE(loadProfile()->unlockBadge(BadgeName::UppercaseLetters));
    EXPECT_EQ((std::vector<unsigned long>{1}), platformBadges(2));
    EXPECT_EQ((std::vector<unsigned long>{27}), platformBadges(0));
    EXPECT_TRUE(exists(playerFolder(2) + "Scrivlet/achievements.bin"));
}

TEST_F(Progress, AnAchievementIsSavedAtOnceAndLogged)
{
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Town));
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Animation));
    EXPECT_FALSE(profile->unlockAchievement(AchievementName::Town));
    EXPECT_EQ((std::vector<std::string>{"28", "36"}), loggedAchievements());
    Bytes expected(36, 0);
    expected[27] = expected[35] = 1;
    EXPECT_EQ(expected, readBytes(profile->getAchievementDataPath()));
    EXPECT_TRUE(loadProfile()->hasAchievement(AchievementName::Animation));
    EXPECT_TRUE(platformBadges(0).empty());
}

TEST_F(Progress, WithoutAPlayerAwardsAreKeptOnlyInMemory)
{
    usePlayer(3);
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Shapes));
    EXPECT_TRUE(profile->unlockBadge(BadgeName::Mill));
    EXPECT_TRUE(profile->hasAchievement(AchievementName::Shapes));
    EXPECT_FALSE(profile->unlockBadge(BadgeName::Mill));
    EXPECT_TRUE(loggedAchievements().empty());
    EXPECT_TRUE(platformBadges(3).empty());
    EXPECT_FALSE(exists(profile->getAchievementDataPath()));
}

TEST(ProgressDeathTest, BadgesAndAchievementsOutOfRangeStop)
{
    if (root().path.empty())
        GTEST_SKIP() << "the system data was configured by another test";
    usePlayer(0);
    ScrivletPlayer profile;
    EXPECT_DEATH(profile.hasBadge(static_cast<BadgeName::Type>(27)), "Invalid badge");
    EXPECT_DEATH(profile.unlockBadge(static_cast<BadgeName::Type>(-1)), "Invalid badge");
    EXPECT_DEATH(profile.hasAchievement(static_cast<AchievementName::Type>(9)), "Invalid achievement");
    EXPECT_DEATH(profile.unlockAchievement(static_cast<AchievementName::Type>(-1)), "Invalid achievement");
}
