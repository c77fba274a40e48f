#include "support/DataRoot.h"

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
}

// Each record appends one line: a time stamp, its name and its fields, with
// tabs and line breaks in text fields turned into spaces.
TEST(GameLogRecords, EachRecordAppendsOneLineWithItsFields)
{
    TestSupport::useDataRoot();
    const std::string path = CLogFile::Instance()->GetPath().raw();
    std::uintmax_t offset = fs::exists(path) ? fs::file_size(path) : 0;
    const std::pair<std::function<void()>, Fields> records[] = {
        {[] { GameLog::titleEnd(true); }, {"TitleExit", "1"}},
        {[] { GameLog::titleEnd(false); }, {"TitleExit", "3"}},
        {[] { GameLog::gameStart("PLAY"); }, {"GameStart", "PLAY"}},
        {[] { GameLog::gameAreaStart("STUDIO"); }, {"GameAreaStart", "STUDIO"}},
        {[] { GameLog::gameAreaEnd(); }, {"GameAreaExit"}},
        {[] { GameLog::gameEnd(); }, {"GameExit"}},
        {[] { GameLog::activityStart("WCC", "NA", "1"); }, {"ActivityStart", "WCC", "NA", "1"}},
        {[] { GameLog::activityPaused(); }, {"ActivityPause"}},
        {[] { GameLog::activityResumed(); }, {"ActivityUnpause"}},
        {[] { GameLog::activityEnd(static_cast<ActivityExitReason::Type>(5)); }, {"ActivityExit", "0", "5"}},
        {[] { GameLog::activityEnd(ActivityExitReason::Completed); }, {"ActivityExit", "0", "1"}},
        {[] { GameLog::correctAnswer(3, "sky", "blue"); }, {"CorrectAnswer", "3", "sky", "blue"}},
        {[] { GameLog::wrongAnswer(4, "sky", "green"); }, {"WrongAnswer", "4", "sky", "green"}},
        {[] { GameLog::hintRequest(2, "near and far"); }, {"HintRequest", "2", "near and far"}},
        {[] { GameLog::achievementEarned(8); }, {"AchievementEarned", "8"}},
        {[] { GameLog::activityStart("a\tb", "c\nd", ""); }, {"ActivityStart", "a b", "c d", ""}},
        {[] { GameLog::gameAreaStart("100% %s"); }, {"GameAreaStart", "100% %s"}},
    };
    for (const auto& record : records)
    {
        SCOPED_TRACE(testing::PrintToString(record.second));
        record.first();
        const std::vector<Fields> lines = linesFrom(path, offset);
        offset = fs::file_size(path);
        ASSERT_EQ(1u, lines.size());
        ASSERT_FALSE(lines[0].empty());
        EXPECT_TRUE(std::regex_match(lines[0][0], std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z")))
            << lines[0][0];
        EXPECT_EQ(record.second, Fields(lines[0].begin() + 1, lines[0].end()));
    }
}

namespace
{
// Logs the title start without and with meta information in a title folder of
// its own; 0 when both records carry the expected fields.
int logTitleStarts()
{
    if (!TestSupport::useDataRoot())
        return 3;
    GameLog::titleStart();
    std::ofstream(TestSupport::scratchFolder() + "title/meta_info.txt")
        << "# written by the test\nProductId=0x2A\nPartNumber=152-11873\nPackageVersion=1.0.4\n";
    GameLog::titleStart();
    const std::vector<Fields> lines = linesFrom(CLogFile::Instance()->GetPath().raw(), 0);
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
    // A fresh process, so that the title folder is this test's own; it uses
    // (and this process removes) this process's scratch folder.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TestSupport::scratchFolder();
    EXPECT_EXIT(std::exit(logTitleStarts()), testing::ExitedWithCode(0), "");
}

TEST(DebugLog, TextIsWrittenVerbatim)
{
    testing::internal::CaptureStderr();
    DebugLog::writeString("100% of %s with %d and %n\n");
    DebugLog::writeString("second");
    EXPECT_EQ("100% of %s with %d and %n\nsecond", testing::internal::GetCapturedStderr());
}
