#include "ProfileTestSupport.h"

#include "CLogFile.h"
#include "CPlayerProfile.h"

#include <set>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
class Progress : public Fixture
{
protected:
    // The ids of the achievement records in the usage log, in order.
    static std::vector<std::string> loggedAchievements()
    {
        std::vector<std::string> ids;
        std::ifstream log(CLogFile::Instance()->GetPath().raw());
        std::string line;
        const std::string tag = "\tAchievementEarned\t";
        while (std::getline(log, line))
        {
            size_t at = line.find(tag);
            if (at != std::string::npos)
                ids.push_back(line.substr(at + tag.size()));
        }
        return ids;
    }
};

// One row of the town's opening table: with `before` complete (on top of a
// new profile), completing `location` opens exactly `opens`.
struct TierCase
{
    std::vector<int> before;
    int location;
    std::set<int> opens;
};

std::ostream& operator<<(std::ostream& out, const TierCase& c)
{
    out << "complete " << c.location << " after";
    for (int b : c.before)
        out << " " << b;
    return out;
}

class TierTable : public Progress, public ::testing::WithParamInterface<TierCase>
{
};
}

TEST_P(TierTable, CompletingALocationOpensItsTier)
{
    const TierCase& row = GetParam();
    ScrivletPlayerPtr profile = loadProfile();
    for (int b : row.before)
        profile->locationStates[b] = TaskState::Complete;
    TaskState::Type before[64];
    std::copy(profile->locationStates, profile->locationStates + 64, before);

    profile->setLocationState(static_cast<LocationName::Type>(row.location), TaskState::Complete);

    for (int i = 0; i < 64; ++i)
    {
        if (i == row.location)
            EXPECT_EQ(TaskState::Complete, profile->locationStates[i]);
        else if (row.opens.count(i))
            EXPECT_EQ(TaskState::Available, profile->locationStates[i]) << "location " << i;
        else
            EXPECT_EQ(before[i], profile->locationStates[i]) << "location " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Town, TierTable,
    ::testing::Values(TierCase{{}, 4, {5, 6}}, TierCase{{}, 5, {}}, TierCase{{5}, 6, {7}},
                      TierCase{{6}, 5, {7}}, TierCase{{}, 7, {8, 9}}, TierCase{{}, 8, {}},
                      TierCase{{9}, 8, {10, 11}}, TierCase{{8}, 9, {10, 11}}, TierCase{{11}, 10, {12, 13}},
                      TierCase{{10}, 11, {12, 13}}, TierCase{{13}, 12, {14, 15}}, TierCase{{12}, 13, {14, 15}},
                      TierCase{{15}, 14, {16, 17}}, TierCase{{14}, 15, {16, 17}}, TierCase{{17}, 16, {18, 19}},
                      TierCase{{16}, 17, {18, 19}}, TierCase{{19}, 18, {20, 21}}, TierCase{{18}, 19, {20, 21}},
                      TierCase{{21}, 20, {22, 23}}, TierCase{{20}, 21, {22, 23}}, TierCase{{23}, 22, {24}},
                      TierCase{{22}, 23, {24}}, TierCase{{}, 23, {}}, TierCase{{}, 24, {}}, TierCase{{}, 25, {}},
                      TierCase{{}, 3, {}}, TierCase{{}, 0, {}}, TierCase{{}, 30, {}}, TierCase{{}, 63, {}},
                      // Completing a place again keeps what the opened places reached.
                      TierCase{{5, 6}, 4, {}}));

TEST_F(Progress, ReplayingAPlaceNeverResetsTheNextOnes)
{
    ScrivletPlayerPtr profile = loadProfile();
    profile->setLocationState(LocationName::Firehouse, TaskState::Complete);
    profile->setLocationState(LocationName::Library, TaskState::Complete);
    profile->setLocationState(LocationName::Fountain, TaskState::Started);
    profile->setLocationState(LocationName::Firehouse, TaskState::Started);
    profile->setLocationState(LocationName::Firehouse, TaskState::Complete);
    EXPECT_EQ(TaskState::Complete, profile->locationStates[5]);
    EXPECT_EQ(TaskState::Started, profile->locationStates[6]);
    EXPECT_EQ(TaskState::Locked, profile->locationStates[7]);
}

TEST_F(Progress, TheWholeTownOpensTierByTier)
{
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ(0, profile->getNumberOfCompletedLocations());
    const std::vector<std::vector<int>> tiers = {{4},       {5, 6},   {7},      {8, 9},   {10, 11}, {12, 13},
                                                 {14, 15}, {16, 17}, {18, 19}, {20, 21}, {22, 23}, {24}};
    int completed = 0;
    for (const std::vector<int>& tier : tiers)
    {
        for (int location : tier)
        {
            ASSERT_EQ(TaskState::Available, profile->locationStates[location]) << location;
            profile->setLocationState(static_cast<LocationName::Type>(location), TaskState::Started);
        }
        for (int location : tier)
            profile->setLocationState(static_cast<LocationName::Type>(location), TaskState::Complete);
        completed += static_cast<int>(tier.size());
        EXPECT_EQ(completed, profile->getNumberOfCompletedLocations());
    }
    EXPECT_EQ(21, profile->getNumberOfCompletedLocations());
    EXPECT_EQ(TaskState::Locked, profile->locationStates[25]);
    // States beyond the town do not count.
    for (int i = 26; i < 64; ++i)
        profile->locationStates[i] = TaskState::Complete;
    profile->locationStates[25] = TaskState::Complete;
    EXPECT_EQ(22, profile->getNumberOfCompletedLocations());
}

TEST_F(Progress, StartingAPlaceOpensNothing)
{
    ScrivletPlayerPtr profile = loadProfile();
    profile->setLocationState(LocationName::Firehouse, TaskState::Started);
    EXPECT_EQ(TaskState::Started, profile->locationStates[4]);
    EXPECT_EQ(TaskState::Locked, profile->locationStates[5]);
    EXPECT_EQ(TaskState::Locked, profile->locationStates[6]);
}

TEST_F(Progress, TheCheatOpensOnlyLockedPlaces)
{
    ScrivletPlayerPtr profile = loadProfile();
    profile->locationStates[10] = TaskState::Started;
    profile->unlockLocations();
    for (int i = 0; i < 64; ++i)
    {
        TaskState::Type expected = TaskState::Available;
        if (i < 4)
            expected = TaskState::Complete;
        if (i == 10)
            expected = TaskState::Started;
        EXPECT_EQ(expected, profile->locationStates[i]) << i;
    }
}

TEST_F(Progress, IndicesOutOfRangeAreRefused)
{
    ScrivletPlayerPtr profile = loadProfile();
    ScrivletPlayerPtr untouched = loadProfile();
    testing::internal::CaptureStdout();
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
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, output.find("Invalid location 64")) << output;
    EXPECT_NE(std::string::npos, output.find("Invalid index 19")) << output;

    EXPECT_EQ(TaskState::Available, profile->locationStates[4]);
    EXPECT_EQ(0, profile->lastCompleteLocation);
    for (int i = 0; i < 64; ++i)
    {
        EXPECT_EQ(untouched->locationStates[i], profile->locationStates[i]);
        EXPECT_EQ(untouched->lessonStates[i], profile->lessonStates[i]);
    }
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(untouched->advancedLessonStates[i], profile->advancedLessonStates[i]);
    EXPECT_EQ(untouched->frameCounts[0], profile->frameCounts[0]);
    EXPECT_EQ(untouched->lastUploadedSlot, profile->lastUploadedSlot);
}

TEST_F(Progress, LessonGroupsAreDoneWhenAllTheirLessonsAre)
{
    ScrivletPlayerPtr profile = loadProfile();
    for (int i = 10; i < 64; ++i)
        profile->setLessonState(i, TaskState::Complete);
    for (int i = 0; i < 9; ++i)
        profile->setLessonState(i, TaskState::Complete);
    profile->setLessonState(9, TaskState::Started);
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
    std::string awards = profile->getAchievementDataPath();
    std::string platformFile = XQM::CPlayerProfile::GetBadgeFilePath(0).raw();

    EXPECT_TRUE(profile->unlockBadge(BadgeName::Firehouse));
    Bytes expected(36, 0);
    expected[3] = 1;
    EXPECT_EQ(expected, readBytes(awards));
    EXPECT_EQ((std::vector<unsigned long>{4}), XQM::CPlayerProfile(0).GetBadges());
    EXPECT_FALSE(exists(profile->getPlayerDataPath()));

    // A second time: nothing is written and nothing reported.
    std::remove(awards.c_str());
    std::remove(platformFile.c_str());
    EXPECT_FALSE(profile->unlockBadge(BadgeName::Firehouse));
    EXPECT_FALSE(exists(awards));
    EXPECT_FALSE(exists(platformFile));

    EXPECT_TRUE(profile->unlockBadge(BadgeName::FullGallery));
    EXPECT_EQ((std::vector<unsigned long>{27}), XQM::CPlayerProfile(0).GetBadges());
    expected[26] = 1;
    EXPECT_EQ(expected, readBytes(awards));
    EXPECT_TRUE(loadProfile()->hasBadge(BadgeName::FullGallery));
}

TEST_F(Progress, BadgesGoToTheCurrentPlayersPlatformProfile)
{
    usePlayer(2);
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_TRUE(profile->unlockBadge(BadgeName::UppercaseLetters));
    EXPECT_EQ((std::vector<unsigned long>{1}), XQM::CPlayerProfile(2).GetBadges());
    EXPECT_TRUE(XQM::CPlayerProfile(0).GetBadges().empty());
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
    expected[27] = 1;
    expected[35] = 1;
    EXPECT_EQ(expected, readBytes(profile->getAchievementDataPath()));
    EXPECT_TRUE(loadProfile()->hasAchievement(AchievementName::Animation));
    EXPECT_TRUE(XQM::CPlayerProfile(0).GetBadges().empty());
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
    EXPECT_TRUE(XQM::CPlayerProfile(3).GetBadges().empty());
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
