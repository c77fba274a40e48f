#include "support/DataRoot.h"

#include "CDebugMPI.h"
#include "CLogFile.h"
#include "CMetaInfo.h"
#include "CSystemData.h"
#include "LogData.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace LogData::Corvantis;

namespace
{
// The usage log of this process (in the scratch data root) and the lines added since.
struct UsageLog
{
    UsageLog()
    {
        TestSupport::useDataRoot();
        path = CLogFile::Instance()->GetPath().raw();
        offset = fs::exists(path) ? fs::file_size(path) : 0;
    }
    std::vector<std::string> fresh() const
    {
        std::ifstream in(path, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    std::string path;
    std::uintmax_t offset;
};
}

TEST(MetaInfo, ReadsKeysReportsBadLinesAndDefaultsTheRest)
{
    const std::string title = TestSupport::freshFolder("meta");
    EXPECT_EQ("unknown", XQM::CMetaInfo("").GetPartNumber());
    const XQM::CMetaInfo absent(title);
    EXPECT_EQ(0u, absent.GetProductId());
    EXPECT_EQ("unknown", absent.GetPartNumber());
    EXPECT_EQ("0.0.0", absent.GetPackageVersion());

    std::ofstream(title + "meta_info.txt")
        << "# title\r\n\r\n  PartNumber = 152-11873 \r\nProductId=0x1F\nPackageVersion=2.1.0\n";
    const XQM::CMetaInfo spaced(title);
    EXPECT_EQ(31u, spaced.GetProductId());
    EXPECT_EQ("152-11873", spaced.GetPartNumber());
    EXPECT_EQ("2.1.0", spaced.GetPackageVersion());

    std::ofstream(title + "meta_info.txt") << "ProductId=12\nProductId=-4\nProductId=99999999999999999999999\n"
                                              "ProductId=7x\nnonsense\nColour=red\nPackageVersion=1.2\n";
    testing::internal::CaptureStdout();
    const XQM::CMetaInfo bad(title);
    const std::string messages = testing::internal::GetCapturedStdout();
    EXPECT_EQ(12u, bad.GetProductId());
    EXPECT_EQ("unknown", bad.GetPartNumber());
    EXPECT_EQ("1.2", bad.GetPackageVersion());
    for (int line = 1; line <= 7; ++line)
        EXPECT_EQ(line != 1 && line != 7, messages.find("line " + std::to_string(line) + " ") != std::string::npos)
            << line << " in " << messages;
}

TEST(DebugOutput, TextAtOrBelowTheLevelGoesOutVerbatim)
{
    Vantorel::Kelm::CDebugMPI debug(4);
    testing::internal::CaptureStderr();
    debug.DebugOut(4, "hidden until the level is set\n");
    debug.SetDebugLevel(4);
    debug.DebugOut(4, "%s%s%n 50%");
    debug.DebugOut(2, "|low");
    debug.DebugOut(5, "|too detailed");
    debug.DebugOut(4, nullptr);
    EXPECT_EQ("%s%s%n 50%|low", testing::internal::GetCapturedStderr());
}

TEST(UsageLogFile, EachRecordIsOneLineAndAnUnwritableLogIsReportedOnce)
{
    UsageLog log;
    EXPECT_EQ(CSystemData::Instance()->GetDataRootPath() + "usage.log", log.path);
    EXPECT_TRUE(CLogFile::Instance()->Append(CCorrectAnswer(7, nullptr, "two\r\nlines")));
    EXPECT_TRUE(CLogFile::Instance()->Append(CGameExit()));
    const std::vector<std::string> lines = log.fresh();
    ASSERT_EQ(2u, lines.size());
    ASSERT_EQ(24u, lines[0].find('\t')) << lines[0]; // 2024-01-02T03:04:05.678Z
    EXPECT_EQ("CorrectAnswer\t7\t\ttwo  lines", lines[0].substr(25));
    EXPECT_EQ("GameExit", lines[1].substr(25));

    // A folder where the log file should be makes every append fail.
    fs::remove(log.path);
    fs::create_directory(log.path);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(CLogFile::Instance()->Append(CGameExit()));
    EXPECT_FALSE(CLogFile::Instance()->Append(CGameExit()));
    const std::string messages = testing::internal::GetCapturedStdout();
    fs::remove(log.path);
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

// A record cut short by the file-size limit (as by a full disk) leaves a
// line without its end; the next record still starts a line of its own.
TEST(UsageLogFile, ARecordAfterACutOneStartsItsOwnLine)
{
    UsageLog log;
    ASSERT_TRUE(CLogFile::Instance()->Append(CGameExit()));
    const pid_t child = ::fork();
    if (child == 0)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {static_cast<rlim_t>(fs::file_size(log.path) + 40), RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string text(300, 'x');
        ::_exit(CLogFile::Instance()->Append(CHintRequest(1, text.c_str())) ? 1 : 0);
    }
    int status = -1;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the long record is cut by the limit";
    EXPECT_TRUE(CLogFile::Instance()->Append(CGameExit()));
    const std::vector<std::string> lines = log.fresh();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("GameExit", lines[0].substr(25));
    EXPECT_EQ(std::string::npos, lines[1].find("GameExit")) << "the cut line stays as it was: " << lines[1];
    EXPECT_EQ("GameExit", lines[2].substr(25));
}

// A pipe under the log's name is not waited on: the record is refused, once said.
TEST(UsageLogFile, APipeUnderTheLogsNameIsNotWaitedOn)
{
    UsageLog log;
    fs::remove(log.path);
    ASSERT_EQ(0, ::mkfifo(log.path.c_str(), 0644));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(CLogFile::Instance()->Append(CGameExit()));
    const std::string messages = testing::internal::GetCapturedStdout();
    fs::remove(log.path);
    EXPECT_EQ("Could not write the usage log " + log.path + ": it is a pipe\n", messages);
}

// A link under the log's name is never followed: the file it leads to gets
// no record, and none is made where a dangling one points; said in one line.
TEST(UsageLogFile, ALinkUnderTheLogsNameIsNotFollowed)
{
    UsageLog log;
    const std::string outside = TestSupport::freshFolder("outside");
    std::ofstream(outside + "kept.txt") << "kept\n";
    testing::internal::CaptureStdout();
    for (const std::string& target : {outside + "kept.txt", outside + "made.txt"})
    {
        fs::remove(log.path);
        fs::create_symlink(target, log.path);
        EXPECT_FALSE(CLogFile::Instance()->Append(CGameExit())) << target;
        EXPECT_TRUE(fs::is_symlink(log.path)) << target;
    }
    const std::string messages = testing::internal::GetCapturedStdout();
    fs::remove(log.path);
    EXPECT_EQ("Could not write the usage log " + log.path + ": it is a link\n", messages);
    EXPECT_EQ("kept\n", TestSupport::readFile(outside + "kept.txt"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(outside + "made.txt")));
}

// A log the game may write but not read (mode 0200, for a child without
// root's rights so that the mode counts) gets every record all the same.
TEST(UsageLogFile, ALogThatCanOnlyBeWrittenGetsItsRecords)
{
    UsageLog log;
    ASSERT_TRUE(CLogFile::Instance()->Append(CGameExit()));
    const uid_t nobody = 65534;
    ASSERT_TRUE(::geteuid() != 0 || ::chown(log.path.c_str(), nobody, nobody) == 0);
    ASSERT_EQ(0, ::chmod(log.path.c_str(), 0200));
    const pid_t child = ::fork();
    if (child == 0)
    {
        if (::geteuid() == 0 && (::setresgid(nobody, nobody, nobody) != 0 || ::setresuid(nobody, nobody, nobody) != 0))
            ::_exit(10);
        if (::open(log.path.c_str(), O_RDONLY) >= 0 || errno != EACCES)
            ::_exit(11);
        ::_exit(CLogFile::Instance()->Append(CHintRequest(2, "written only")) ? 0 : 12);
    }
    int status = -1;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ::chmod(log.path.c_str(), 0644);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::vector<std::string> lines = log.fresh();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("GameExit", lines[0].substr(25));
    EXPECT_NE(std::string::npos, lines[1].find("\twritten only")) << lines[1];
}
