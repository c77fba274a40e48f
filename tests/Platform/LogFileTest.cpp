#include "CDebugMPI.h"
#include "CLogFile.h"
#include "CMetaInfo.h"
#include "CSystemData.h"
#include "LogData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace LogData::Corvantis;

namespace
{
class TempFolder
{
public:
    TempFolder()
    {
        char name[] = "/tmp/tovrane-logfile-XXXXXX";
        if (::mkdtemp(name))
            path = name;
    }
    ~TempFolder() { fs::remove_all(path); }
    std::string path;
};

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::vector<std::string> linesFrom(const std::string& path, std::uintmax_t offset)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// The usage log of this process, wherever its data root is.
struct UsageLog
{
    UsageLog()
    {
        static bool configured = [] {
            static TempFolder root;
            CSystemData::Config config;
            config.dataRoot = root.path;
            return CSystemData::Configure(config);
        }();
        (void)configured;
        path = CLogFile::Instance()->GetPath().raw();
        offset = fs::exists(path) ? fs::file_size(path) : 0;
    }
    std::vector<std::string> fresh() const { return linesFrom(path, offset); }
    std::string path;
    std::uintmax_t offset;
};
}

TEST(MetaInfo, AbsentFileGivesTheDefaults)
{
    TempFolder title;
    const XQM::CMetaInfo meta(title.path + "/");
    EXPECT_EQ(0u, meta.GetProductId());
    EXPECT_EQ("unknown", meta.GetPartNumber());
    EXPECT_EQ("0.0.0", meta.GetPackageVersion());

    const XQM::CMetaInfo none("");
    EXPECT_EQ("unknown", none.GetPartNumber());
}

TEST(MetaInfo, ReadsKeysWithSpacesCommentsAndHexadecimalIds)
{
    TempFolder title;
    writeText(title.path + "/meta_info.txt",
              "# title\r\n\r\n  PartNumber = 152-11873 \r\nProductId=0x1F\nPackageVersion=2.1.0\n");
    const XQM::CMetaInfo meta(title.path + "/");
    EXPECT_EQ(31u, meta.GetProductId());
    EXPECT_EQ("152-11873", meta.GetPartNumber());
    EXPECT_EQ("2.1.0", meta.GetPackageVersion());
}

TEST(MetaInfo, BadLinesAreReportedAndSkipped)
{
    TempFolder title;
    writeText(title.path + "/meta_info.txt",
              "ProductId=12\nProductId=-4\nProductId=99999999999999999999999\nProductId=7x\nnonsense\nColour=red\n"
              "PackageVersion=1.2\n");
    testing::internal::CaptureStdout();
    const XQM::CMetaInfo meta(title.path + "/");
    const std::string messages = testing::internal::GetCapturedStdout();
    EXPECT_EQ(12u, meta.GetProductId());
    EXPECT_EQ("unknown", meta.GetPartNumber());
    EXPECT_EQ("1.2", meta.GetPackageVersion());
    for (const char* bad : {"line 2 ", "line 3 ", "line 4 ", "line 5 ", "line 6 "})
        EXPECT_NE(std::string::npos, messages.find(bad)) << bad << " in " << messages;
    EXPECT_EQ(std::string::npos, messages.find("line 1 "));
    EXPECT_EQ(std::string::npos, messages.find("line 7 "));
}

TEST(DebugOutput, TextAtOrBelowTheLevelGoesOutVerbatim)
{
    Vantorel::Kelm::CDebugMPI debug(4);
    EXPECT_EQ(4, debug.GetModule());
    testing::internal::CaptureStderr();
    debug.DebugOut(4, "hidden until the level is set\n");
    debug.SetDebugLevel(4);
    debug.DebugOut(4, "%s%s%n 50%");
    debug.DebugOut(2, "|low");
    debug.DebugOut(5, "|too detailed");
    debug.DebugOut(4, nullptr);
    EXPECT_EQ("%s%s%n 50%|low", testing::internal::GetCapturedStderr());
}

TEST(UsageLogFile, EachRecordIsOneLineInTheDataRoot)
{
    UsageLog log;
    EXPECT_EQ(CSystemData::Instance()->GetDataRootPath() + "usage.log", log.path);
    EXPECT_TRUE(CLogFile::Instance()->Append(CCorrectAnswer(7, nullptr, "two\r\nlines")));
    EXPECT_TRUE(CLogFile::Instance()->Append(CGameExit()));
    const std::vector<std::string> lines = log.fresh();
    ASSERT_EQ(2u, lines.size());
    const std::string::size_type tab = lines[0].find('\t');
    ASSERT_EQ(24u, tab) << lines[0]; // 2024-01-02T03:04:05.678Z
    EXPECT_EQ("CorrectAnswer\t7\t\ttwo  lines", lines[0].substr(tab + 1));
    EXPECT_EQ("GameExit", lines[1].substr(lines[1].find('\t') + 1));
}

TEST(UsageLogFile, UnwritableLogIsReportedOnceAndTheProgramGoesOn)
{
    UsageLog log;
    // A folder where the log file should be makes every append fail.
    fs::remove(log.path);
    fs::create_directory(log.path);
    testing::internal::CaptureStdout();
    const bool first = CLogFile::Instance()->Append(CGameExit());
    const bool second = CLogFile::Instance()->Append(CGameExit());
    const std::string messages = testing::internal::GetCapturedStdout();
    fs::remove(log.path);
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_NE(std::string::npos, messages.find("Could not write the usage log " + log.path)) << messages;
    EXPECT_EQ(messages.find("Could not"), messages.rfind("Could not"));
    EXPECT_TRUE(CLogFile::Instance()->Append(CGameExit()));
}

TEST(UsageLogFileThreadTest, RecordsFromSeveralThreadsStayWholeLines)
{
    UsageLog log;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            const std::string text(300, static_cast<char>('a' + t));
            for (int i = 0; i < 50; ++i)
                CLogFile::Instance()->Append(CHintRequest(static_cast<unsigned long>(i), text.c_str()));
        });
    for (std::thread& thread : threads)
        thread.join();
    const std::vector<std::string> lines = log.fresh();
    ASSERT_EQ(200u, lines.size());
    for (const std::string& line : lines)
    {
        const std::string text = line.substr(line.rfind('\t') + 1);
        ASSERT_EQ(300u, text.size()) << line;
        EXPECT_EQ(std::string(300, text[0]), text);
    }
}
