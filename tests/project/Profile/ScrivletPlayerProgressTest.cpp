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

// Random places set to random states, mostly completed and mostly in the town,
// open the same places as the plain row rule; the places counted complete are
// those of the town (up to the lesson place) besides the four fixed ones.
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
            profile->setLastCompleteLocation(static_cast<LocationName::Type>(location));
            ASSERT_EQ(location, profile->lastCompleteLocation);
            ASSERT_EQ(expected, std::vector<int>(profile->locationStates, profile->locationStates + 64))
                << "game " << game << " step " << step;
            const int complete = static_cast<int>(std::count(expected.begin(), expected.begin() + 26, 3));
            ASSERT_EQ(std::max(complete - 4, 0), profile->getNumberOfCompletedLocations());
        }
    }
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
    EXPECT_TRUE(says(printed, "Invalid location 64")) << printed;
    EXPECT_TRUE(says(printed, "Invalid index 19")) << printed;
    // Nothing changed: the profile saves as a new one does.
    loadProfile()->save();
    const std::vector<Bytes> fresh = readSaveFiles();
    profile->save();
    EXPECT_EQ(fresh, readSaveFiles());
}

// Lessons keep the states set; numbers are lessons 0-9, capitals 10-35,
// small letters 36-61, and 62 and 63 belong to no group. Random states,
// mostly complete, against that rule.
TEST_F(Progress, LessonGroupsAreDoneWhenAllTheirLessonsAre)
{
    ScrivletPlayerPtr profile = loadProfile();
    std::mt19937 random(3);
    TaskState::Type states[83];
    for (int n = 0; n < 300; ++n)
    {
        for (int i = 0; i < 83; ++i)
        {
            states[i] = static_cast<TaskState::Type>(random() % 25 ? 3 : random() % 3);
            if (i < 64)
                profile->setLessonState(i, states[i]);
            else
                profile->setAdvancedLessonState(i - 64, states[i]);
        }
        for (int i = 0; i < 83; ++i)
            ASSERT_EQ(states[i], i < 64 ? profile->getLessonState(i) : profile->getAdvancedLessonState(i - 64)) << i;
        ASSERT_EQ(allComplete(states, 0, 9), profile->areNumberLessonsDone()) << n;
        ASSERT_EQ(allComplete(states, 10, 35), profile->areUppercaseLetterLessonsDone()) << n;
        ASSERT_EQ(allComplete(states, 36, 61), profile->areLowercaseLetterLessonsDone()) << n;
    }
}

// Badges and achievements are written at once; a badge goes to the
// platform's profile of the player (numbered from 1), an achievement to the
// usage log (numbered from 28); earning one again does nothing.
TEST_F(Progress, AwardsAreSavedAtOnceAndReportedOnce)
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
    std::remove(awards.c_str());
    std::remove(platformFile.c_str());
    EXPECT_FALSE(profile->unlockBadge(BadgeName::Firehouse));
    EXPECT_FALSE(exists(awards) || exists(platformFile));

    EXPECT_TRUE(profile->unlockBadge(BadgeName::FullGallery));
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Town));
    EXPECT_TRUE(profile->unlockAchievement(AchievementName::Animation));
    EXPECT_FALSE(profile->unlockAchievement(AchievementName::Town));
    EXPECT_EQ((std::vector<unsigned long>{27}), platformBadges(0));
    EXPECT_EQ((std::vector<std::string>{"28", "36"}), loggedAchievements());
    expected[26] = expected[27] = expected[35] = 1;
    EXPECT_EQ(expected, readBytes(awards));
    ScrivletPlayerPtr loaded = loadProfile();
    EXPECT_TRUE(loaded->hasBadge(BadgeName::FullGallery) && loaded->hasAchievement(AchievementName::Animation));

    // Another player's badges go to that player's platform profile.
    usePlayer(2);
    EXPECT_TRUE(loadProfile()->unlockBadge(BadgeName::UppercaseLetters));
    EXPECT_EQ((std::vector<unsigned long>{1}), platformBadges(2));
    EXPECT_EQ((std::vector<unsigned long>{27}), platformBadges(0));
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
