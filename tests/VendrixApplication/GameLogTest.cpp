#include "Tovrane/DebugLog.h"
#include "Tovrane/GameLog.h"

#include "CLogFile.h"
#include "CSystemData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace Tovrane;
namespace fs = std::filesystem;

namespace
{
// A fresh data root for this program, unless another test configured one first.
struct LogRoot
{
    LogRoot()
    {
        char name[] = "/tmp/tovrane-gamelog-XXXXXX";
        if (!::mkdtemp(name))
            return;
        CSystemData::Config config;
        config.titlePath = std::string(name) + "/title";
        config.dataRoot = std::string(name) + "/data";
        if (CSystemData::Configure(config))
            owned = name;
        else
            fs::remove_all(name);
    }
    ~LogRoot()
    {
        if (!owned.empty())
            fs::remove_all(owned);
    }
    std::string owned;
};

typedef std::vector<std::string> Fields;

std::vector<Fields> linesFrom(const std::string& path, std::uintmax_t offset)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::vector<Fields> lines;
    std::string line;
    while (std::getline(in, line))
    {
        Fields fields;
        std::stringstream columns(line);
        std::string field;
        while (std::getline(columns, field, '\t'))
            fields.push_back(field);
        if (!line.empty() && line.back() == '\t')
            fields.push_back("");
        lines.push_back(fields);
    }
    return lines;
}

class GameLogRecords : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static LogRoot root;
        path = CLogFile::Instance()->GetPath().raw();
        offset = fs::exists(path) ? fs::file_size(path) : 0;
    }

    // The fields after the time stamp of the one line that `log` appends.
    Fields appended(const std::function<void()>& log)
    {
        log();
        std::vector<Fields> lines = linesFrom(path, offset);
        offset = fs::file_size(path);
        EXPECT_EQ(1u, lines.size());
        if (lines.size() != 1 || lines[0].empty())
            return Fields();
        EXPECT_TRUE(std::regex_match(lines[0][0], std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z")))
            << lines[0][0];
        return Fields(lines[0].begin() + 1, lines[0].end());
    }

    std::string path;
    std::uintmax_t offset = 0;
};
}

TEST_F(GameLogRecords, TitleEndRecordsHowTheTitleEnded)
{
    EXPECT_EQ((Fields{"TitleExit", "1"}), appended([] { GameLog::titleEnd(true); }));
    EXPECT_EQ((Fields{"TitleExit", "3"}), appended([] { GameLog::titleEnd(false); }));
}

TEST_F(GameLogRecords, GamesAndGameAreasStartAndEnd)
{
    EXPECT_EQ((Fields{"GameStart", "PLAY"}), appended([] { GameLog::gameStart("PLAY"); }));
    EXPECT_EQ((Fields{"GameAreaStart", "STUDIO"}), appended([] { GameLog::gameAreaStart("STUDIO"); }));
    EXPECT_EQ((Fields{"GameAreaExit"}), appended([] { GameLog::gameAreaEnd(); }));
    EXPECT_EQ((Fields{"GameExit"}), appended([] { GameLog::gameEnd(); }));
    EXPECT_EQ((Fields{"GameStart", "LESSONS"}), appended([] { GameLog::gameStart("LESSONS"); }));
}

TEST_F(GameLogRecords, ActivitiesStartPauseResumeAndEnd)
{
    EXPECT_EQ((Fields{"ActivityStart", "WCC", "NA", "1"}), appended([] { GameLog::activityStart("WCC", "NA", "1"); }));
    EXPECT_EQ((Fields{"ActivityPause"}), appended([] { GameLog::activityPaused(); }));
    EXPECT_EQ((Fields{"ActivityUnpause"}), appended([] { GameLog::activityResumed(); }));
    EXPECT_EQ((Fields{"ActivityExit", "0", "5"}),
              appended([] { GameLog::activityEnd(static_cast<ActivityExitReason::Type>(5)); }));
    EXPECT_EQ((Fields{"ActivityExit", "0", "1"}), appended([] { GameLog::activityEnd(ActivityExitReason::Completed); }));
}

TEST_F(GameLogRecords, AnswersHintsAndAchievements)
{
    EXPECT_EQ((Fields{"CorrectAnswer", "3", "sky", "blue"}), appended([] { GameLog::correctAnswer(3, "sky", "blue"); }));
    EXPECT_EQ((Fields{"WrongAnswer", "4", "sky", "green"}), appended([] { GameLog::wrongAnswer(4, "sky", "green"); }));
    EXPECT_EQ((Fields{"HintRequest", "2", "near and far"}), appended([] { GameLog::hintRequest(2, "near and far"); }));
    EXPECT_EQ((Fields{"AchievementEarned", "8"}), appended([] { GameLog::achievementEarned(8); }));
}

TEST_F(GameLogRecords, TextFieldsStayOnTheirLineAndInTheirColumn)
{
    EXPECT_EQ((Fields{"ActivityStart", "a b", "c d", ""}), appended([] { GameLog::activityStart("a\tb", "c\nd", ""); }));
    EXPECT_EQ((Fields{"GameAreaStart", "100% %s"}), appended([] { GameLog::gameAreaStart("100% %s"); }));
}

namespace
{
// Logs the title start without and with meta information in a title folder of
// its own; 0 when both records carry the expected fields.
int logTitleStarts()
{
    char name[] = "/tmp/tovrane-gamelog-title-XXXXXX";
    if (!::mkdtemp(name))
        return 2;
    const std::string root = name;
    CSystemData::Config config;
    config.titlePath = root + "/title";
    config.dataRoot = root + "/data";
    fs::create_directories(config.titlePath);
    if (!CSystemData::Configure(config))
        return 3;
    const std::string log = CLogFile::Instance()->GetPath().raw();

    GameLog::titleStart();
    {
        std::ofstream meta(config.titlePath + "/meta_info.txt");
        meta << "# written by the test\nProductId=0x2A\nPartNumber=152-11873\nPackageVersion=1.0.4\n";
    }
    GameLog::titleStart();
    const std::vector<Fields> lines = linesFrom(log, 0);
    fs::remove_all(root);
    if (lines.size() != 2)
        return 4;
    if (Fields(lines[0].begin() + 1, lines[0].end()) != Fields{"TitleStart", "0", "unknown", "0.0.0", "1"})
        return 5;
    if (Fields(lines[1].begin() + 1, lines[1].end()) != Fields{"TitleStart", "42", "152-11873", "1.0.4", "1"})
        return 6;
    return 0;
}
}

TEST(GameLogDeathTest, TitleStartCarriesTheTitlesMetaInformation)
{
    // A fresh process, so that the title folder is this test's own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(logTitleStarts()), testing::ExitedWithCode(0), "");
}

TEST(DebugLog, TextIsWrittenVerbatim)
{
    testing::internal::CaptureStderr();
    DebugLog::writeString("100% of %s with %d and %n\n");
    DebugLog::writeString("second");
    EXPECT_EQ("100% of %s with %d and %n\nsecond", testing::internal::GetCapturedStderr());
}
