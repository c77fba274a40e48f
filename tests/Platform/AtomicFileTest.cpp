#include "support/DataRoot.h"

#include "AtomicFile.h"
#include "fuzz/FuzzScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <linux/magic.h>
#include <sys/resource.h>
#include <sys/statfs.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using TestSupport::readFile;

namespace
{
bool writeWhole(const std::string& path, const std::string& content)
{
    return writeFileAtomic(path.c_str(), content.data(), content.size());
}

// The content of one version: its size and bytes both follow from the number.
std::string versionContent(unsigned int version)
{
    std::mt19937 random(version * 7919u + 1u);
    std::string content(1 + random() % (192 * 1024), '\0');
    for (char& c : content)
        c = static_cast<char>(random());
    return content;
}

// Starts `body` in a child process that exits with its result.
template <typename Body> pid_t spawn(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid;
}

// Waits for a child: its exit status, or -signal.
int finish(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

class AtomicFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = TestSupport::freshFolder("atomic");
        folder.pop_back(); // no "/" at the end
        path = folder + "/save.bin";
    }
    void TearDown() override
    {
        ::chmod(folder.c_str(), 0755);
        fs::remove_all(folder);
    }

    // Names in the folder, sorted.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string folder, path;
};
}

TEST_F(AtomicFile, ReplacesTheOldFileWholeAtTheClose)
{
    ASSERT_TRUE(writeWhole(path, "first version"));
    std::FILE* f = fopenAtomic(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("new content", f);
    std::fflush(f);
    EXPECT_EQ("first version", readFile(path));
    EXPECT_EQ(0, fcloseAtomic(f));
    EXPECT_EQ("new content", readFile(path));
    ASSERT_TRUE(writeWhole(path, "")); // an empty write gives an empty file
    EXPECT_EQ("", readFile(path));
    EXPECT_FALSE(writeWhole(folder + "/missing/x.bin", "lost")) << "a folder that is not there is a failure";

    // Several text streams at once, closed in the other order, each replace their own file.
    std::vector<std::FILE*> streams;
    for (int i = 0; i < 3; ++i)
    {
        streams.push_back(fopenAtomic((folder + "/f" + std::to_string(i)).c_str(), "w"));
        ASSERT_NE(nullptr, streams.back());
    }
    for (int i = 2; i >= 0; --i)
    {
        std::fprintf(streams[i], "line %d\n", i);
        EXPECT_EQ(0, fcloseAtomic(streams[i]));
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ("line " + std::to_string(i) + "\n", readFile(folder + "/f" + std::to_string(i)));
    EXPECT_EQ((std::vector<std::string>{"f0", "f1", "f2", "save.bin"}), entries()) << "no stray temporary files";
}

TEST_F(AtomicFile, AbortKeepsTheOldFileAndLeavesNothingBehind)
{
    ASSERT_TRUE(writeWhole(path, "old"));
    std::FILE* f = fopenAtomic(path.c_str(), "wb");
    std::FILE* fresh = fopenAtomic((folder + "/new.png").c_str(), "wb");
    ASSERT_TRUE(f && fresh);
    std::fputs("half a pic", f);
    fabortAtomic(f);
    fabortAtomic(fresh); // giving up on a file that did not exist leaves no file at all
    fabortAtomic(nullptr);
    EXPECT_EQ("old", readFile(path));
    EXPECT_EQ(std::vector<std::string>{"save.bin"}, entries());
}

TEST_F(AtomicFile, StreamsThatCannotBeOpenedGiveNull)
{
    errno = 0;
    EXPECT_EQ(nullptr, fopenAtomic((folder + "/missing/file").c_str(), "wb"));
    EXPECT_EQ(ENOENT, errno);
    for (const char* mode : {"rb", "a"}) // only writing is atomic
        EXPECT_EQ(nullptr, fopenAtomic(path.c_str(), mode)) << mode;
    EXPECT_EQ(nullptr, fopenAtomic((folder + "/").c_str(), "wb"));
    EXPECT_EQ(nullptr, fopenAtomic(nullptr, "wb"));
    EXPECT_NE(0, fcloseAtomic(nullptr));
    EXPECT_TRUE(entries().empty());

    // A read-only folder, for a child without root's rights so that its mode counts.
    ASSERT_TRUE(writeWhole(path, "old"));
    ASSERT_EQ(0, ::chmod(folder.c_str(), 0555));
    const std::string target = path;
    EXPECT_EQ(0, finish(spawn([&target] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 10;
        errno = 0;
        return fopenAtomic(target.c_str(), "wb") ? 11 : errno == EACCES ? 0 : 12;
    })));
    EXPECT_EQ("old", readFile(path));
    EXPECT_EQ(std::vector<std::string>{"save.bin"}, entries());
}

TEST_F(AtomicFile, FailedWriteKeepsTheOldFileAndReportsFailure)
{
    ASSERT_TRUE(writeWhole(path, "old content"));
    const std::string target = path;
    // The file size limit stands in for a full disk. A big write fails at once; a
    // small one sits in the stream's buffer until the close flushes it.
    for (size_t size : {64 * 1024, 19})
    {
        SCOPED_TRACE(size);
        EXPECT_EQ(0, finish(spawn([&target, size] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit = {10, 10};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return 10;
            std::FILE* f = fopenAtomic(target.c_str(), "wb");
            if (!f)
                return 11;
            const std::string content(size, 'x');
            std::fwrite(content.data(), 1, content.size(), f); // result ignored, as careless callers do
            return fcloseAtomic(f) != 0 ? 0 : 12;
        })));
        EXPECT_EQ("old content", readFile(path));
        EXPECT_EQ(std::vector<std::string>{"save.bin"}, entries());
    }

    // A folder of that name cannot be replaced by a file.
    const std::string folderPath = folder + "/pictures";
    ASSERT_TRUE(fs::create_directory(folderPath));
    std::FILE* f = fopenAtomic(folderPath.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("content", f);
    EXPECT_NE(0, fcloseAtomic(f));
    EXPECT_TRUE(fs::is_directory(folderPath));
    EXPECT_EQ((std::vector<std::string>{"pictures", "save.bin"}), entries());
}

TEST_F(AtomicFile, WriterKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    ASSERT_TRUE(writeWhole(path, versionContent(0)));
    // Each child writes the next version in pieces and closes it; the parent
    // kills it after a random delay spread over a whole write and its close.
    auto writer = [this](unsigned int version) {
        return spawn([this, version] {
            const std::string content = versionContent(version);
            std::FILE* f = fopenAtomic(path.c_str(), "wb");
            if (!f)
                return 2;
            for (size_t at = 0; at < content.size(); at += 4096)
                std::fwrite(content.data() + at, 1, std::min<size_t>(4096, content.size() - at), f);
            return fcloseAtomic(f) == 0 ? 0 : 3;
        });
    };

    // How long one unhindered write takes here.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(0, finish(writer(1)));
    const auto once = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    ASSERT_EQ(versionContent(1), readFile(path));
    const long spread = std::max<long>(200, std::min<long>(20000, once.count() * 3 / 2));

    std::mt19937 random(1234);
    unsigned int current = 1;
    int completed = 0, interrupted = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (unsigned int version = 2; version < 400 && std::chrono::steady_clock::now() < deadline; ++version)
    {
        const pid_t pid = writer(version);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % spread));
        ::kill(pid, SIGKILL);
        const int status = finish(pid);
        ASSERT_TRUE(status == 0 || status == -SIGKILL) << "writer of version " << version << " failed";
        const std::string now = readFile(path);
        if (now == versionContent(version))
        {
            current = version;
            ++completed;
            continue;
        }
        ASSERT_EQ(versionContent(current).size(), now.size()) << "version " << version << " left a mixed file";
        ASSERT_TRUE(now == versionContent(current)) << "version " << version << " left a mixed file";
        ++interrupted;
    }
    // Both outcomes happened, so kills landed before and after the rename.
    EXPECT_GT(completed, 0);
    EXPECT_GT(interrupted, 0);
}

// Writers killed between the open and the rename leave their temporaries;
// the next replacement of the same file removes those whose writer is gone,
// and cleaning the folder those of every file. What stands under a
// temporary's name and is not a file is never put in place for a missing
// target: a link goes (what it leads to stays), a folder or a pipe stays,
// said once.
TEST_F(AtomicFile, TemporariesOfGoneWritersGoAtTheNextReplacement)
{
    const std::string longName = folder + "/" + std::string(251, 'n') + ".bin"; // the longest name fopen takes
    const std::string target = path;
    const pid_t dead = spawn([&target, &longName] {
        return fopenAtomic(target.c_str(), "wb") && fopenAtomic(longName.c_str(), "wb") ? 0 : 1;
    });
    ASSERT_EQ(0, finish(dead));
    ASSERT_EQ(2u, entries().size()) << "two temporaries of a dead writer";

    auto plant = [this](const std::string& name) { std::ofstream(folder + "/" + name) << "left"; };
    const std::string self = std::to_string(::getpid());
    plant(".save.bin.tmp." + self + ".999999");                        // this process, no stream open
    plant(".save.bin.tmp.1.7");                                         // a writer that still runs
    plant(".save.bin.tmp.12x.1");                                       // not a temporary's name
    plant(".other.bin.tmp." + std::to_string(dead) + ".3");             // another file's
    const std::string outside = TestSupport::scratchFolder() + "outside.bin", other = ".other.bin.tmp." + std::to_string(dead);
    std::ofstream(outside) << "outside";
    fs::create_symlink(outside, folder + "/" + other + ".4");
    fs::create_directory(folder + "/" + other + ".5");
    ASSERT_EQ(0, ::mkfifo((folder + "/" + other + ".6").c_str(), 0600));
    std::FILE* open = fopenAtomic(path.c_str(), "wb");                  // this process's, still open
    ASSERT_NE(nullptr, open);

    ASSERT_TRUE(writeWhole(path, "new"));
    ASSERT_TRUE(writeWhole(longName, "long"));
    std::vector<std::string> left = entries();
    EXPECT_EQ(9u, left.size());
    for (const std::string& kept : {".other.bin.tmp." + std::to_string(dead) + ".3", std::string(".save.bin.tmp.1.7"),
                                    std::string(".save.bin.tmp.12x.1"), std::string("save.bin"), longName.substr(folder.size() + 1)})
        EXPECT_NE(left.end(), std::find(left.begin(), left.end(), kept)) << kept;
    const std::string staged = stageAtomic((folder + "/staged.png").c_str()); // in use until put in place
    ASSERT_TRUE(writeWhole(staged, "staged"));
    left.push_back(staged.substr(folder.size() + 1));
    std::string printed = TestSupport::printed([&] { removeStaleTemporariesAtomic((folder + "/").c_str()); });
    for (const char* gone : {".3", ".4"})
        left.erase(std::find(left.begin(), left.end(), other + gone));
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, entries());
    EXPECT_EQ("outside", readFile(outside));
    for (const char* kept : {".5", ".6"})
        EXPECT_NE(std::string::npos, printed.find("interrupted save " + folder + "/" + other + kept + " is not a file;"))
            << printed;
    EXPECT_EQ(2, std::count(printed.begin(), printed.end(), '\n')) << printed;
    printed = TestSupport::printed([&] { removeStaleTemporariesAtomic(folder.c_str()); });
    EXPECT_EQ("", printed) << "said once";
    fs::remove(outside);
    EXPECT_EQ(0, fcloseAtomic(open));
    EXPECT_EQ("", readFile(path));
    EXPECT_TRUE(replaceStagedAtomic({folder + "/staged.png"}));
}

// Staged files go in place all together or, whichever of them fails, not at
// all: the ones already in place are taken back, a new one removed.
TEST_F(AtomicFile, StagedFilesGoInPlaceAllTogetherOrNotAtAll)
{
    const std::vector<std::string> names = {"a", "b", "new"};
    std::vector<std::string> targets;
    for (const std::string& name : names)
        targets.push_back(folder + "/" + name);
    // A target in the way (a folder), one never staged (its writer failed), or none.
    const int cases[][2] = {{0, -1}, {2, -1}, {-1, 1}, {-1, -1}};
    for (const auto& c : cases)
    {
        const int folderAt = c[0], unstaged = c[1], failing = std::max(folderAt, unstaged);
        SCOPED_TRACE(failing);
        for (const std::string& target : targets)
            fs::remove_all(target);
        ASSERT_TRUE(writeWhole(targets[0], "old a") && writeWhole(targets[1], "old b"));
        ASSERT_EQ(0, ::chmod(targets[1].c_str(), 0600));
        if (folderAt >= 0)
            fs::remove(targets[folderAt]), fs::create_directory(targets[folderAt]);
        const std::vector<std::string> before = entries();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(i == unstaged || writeWhole(stageAtomic(targets[i].c_str()), "new " + names[i]));
        EXPECT_EQ(failing < 0, replaceStagedAtomic(targets));
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(i == folderAt ||
                        readFile(targets[i]) == (failing < 0 ? "new " + names[i] : i < 2 ? "old " + names[i] : ""))
                << i;
        EXPECT_EQ(failing < 0 ? names : before, entries()) << "no staging file is left";
        struct stat status = {};
        EXPECT_TRUE(::stat(targets[1].c_str(), &status) == 0 && (status.st_mode & 07777u) == 0600u) << "its mode stays";
    }
    // A staging file is written where it is, with no temporary of its own.
    const std::string staging = stageAtomic(path.c_str());
    std::FILE* open = fopenAtomic(staging.c_str(), "wb");
    ASSERT_NE(nullptr, open);
    std::vector<std::string> withStaging = names;
    withStaging.push_back(staging.substr(folder.size() + 1));
    std::sort(withStaging.begin(), withStaging.end());
    EXPECT_EQ(withStaging, entries());
    std::fputs("given up", open);
    ASSERT_EQ(0, fcloseAtomic(open));
    EXPECT_EQ("given up", readFile(staging));
    discardStagedAtomic({path});
    EXPECT_EQ(names, entries());
    EXPECT_FALSE(replaceStagedAtomic({path})) << "nothing staged any more";
}

TEST_F(AtomicFile, KeepsPermissionsTakesItsModesAndNamesAsFopenDoes)
{
    ASSERT_TRUE(writeWhole(path, "old"));
    ASSERT_EQ(0, ::chmod(path.c_str(), 0640));
    ASSERT_TRUE(writeWhole(path, "new"));
    struct stat status = {};
    ASSERT_EQ(0, ::stat(path.c_str(), &status));
    EXPECT_EQ(0640u, status.st_mode & 07777u);

    for (const char* mode : {"w", "wb", "w+", "wb+", "w+b"})
    {
        std::FILE* f = fopenAtomic(path.c_str(), mode);
        ASSERT_NE(nullptr, f) << mode;
        std::fputs(mode, f);
        if (std::strchr(mode, '+'))
        {
            std::rewind(f);
            char back[8] = {};
            EXPECT_EQ(std::strlen(mode), std::fread(back, 1, sizeof back - 1, f)) << mode;
            EXPECT_STREQ(mode, back);
        }
        EXPECT_EQ(0, fcloseAtomic(f));
        EXPECT_EQ(mode, readFile(path));
    }
    for (const char* mode : {"wx", "r+", "a+", "", "wbz"})
    {
        errno = 0;
        EXPECT_EQ(nullptr, fopenAtomic(path.c_str(), mode)) << mode;
        EXPECT_EQ(EINVAL, errno) << mode;
    }

    // The longest name fopen takes works; one byte more fails as with fopen.
    const std::string longest = folder + "/" + std::string(255, 'L');
    ASSERT_TRUE(writeWhole(longest, "long"));
    EXPECT_EQ("long", readFile(longest));
    const std::string tooLong = longest + "L";
    EXPECT_EQ(nullptr, std::fopen(tooLong.c_str(), "wb"));
    errno = 0;
    EXPECT_EQ(nullptr, fopenAtomic(tooLong.c_str(), "wb"));
    EXPECT_EQ(ENAMETOOLONG, errno);
    EXPECT_EQ((std::vector<std::string>{longest.substr(folder.size() + 1), "save.bin"}), entries());
}

// The fuzz targets save through this pair into their scratch folder, which
// lies in memory where the machine has /dev/shm: there a sync waits for no
// disk, and the save-file target runs thousands of inputs a second.
TEST(FuzzScratchFolder, LiesInMemoryWhereTheMachineHasIt)
{
    struct statfs memory = {};
    if (::statfs("/dev/shm", &memory) != 0 || memory.f_type != TMPFS_MAGIC)
        GTEST_SKIP() << "no /dev/shm in memory here";
    const std::string folder = makeFuzzScratchFolder("check");
    struct statfs info = {};
    ASSERT_EQ(0, ::statfs(folder.c_str(), &info));
    EXPECT_EQ(static_cast<decltype(info.f_type)>(TMPFS_MAGIC), info.f_type) << folder;
    EXPECT_TRUE(writeWhole(folder + "/save.bin", "saved"));
    fs::remove_all(folder);
}

