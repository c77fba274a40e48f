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
// the next replacement of the same file removes those whose writer is gone.
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
    std::FILE* open = fopenAtomic(path.c_str(), "wb");                  // this process's, still open
    ASSERT_NE(nullptr, open);

    ASSERT_TRUE(writeWhole(path, "new"));
    ASSERT_TRUE(writeWhole(longName, "long"));
    std::vector<std::string> left = entries();
    EXPECT_EQ(6u, left.size());
    for (const std::string& kept : {".other.bin.tmp." + std::to_string(dead) + ".3", std::string(".save.bin.tmp.1.7"),
                                    std::string(".save.bin.tmp.12x.1"), std::string("save.bin"), longName.substr(folder.size() + 1)})
        EXPECT_NE(left.end(), std::find(left.begin(), left.end(), kept)) << kept;
    EXPECT_EQ(0, fcloseAtomic(open));
    EXPECT_EQ("", readFile(path));
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

// Files replaced together: all of them or none, whichever of them fails.
TEST_F(AtomicFile, StagedFilesGoInPlaceAllTogetherOrNotAtAll)
{
    const std::vector<std::string> names = {"a.png", "b.png", "c.png"};
    std::vector<std::string> targets;
    for (const std::string& name : names)
        targets.push_back(folder + "/" + name);
    const struct
    {
        const char* what;
        int trouble;   // target index that fails, -1 none
        bool unstaged; // the failing one was never written (its writer gave up)
    } cases[] = {{"the first is a folder", 0, false}, {"the last is a folder", 2, false},
                 {"the middle one missing", 1, true}, {"all written", -1, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        fs::create_directory(folder);
        ASSERT_TRUE(writeWhole(targets[0], "old a") && writeWhole(targets[1], "old b")); // c.png is new
        ASSERT_EQ(0, ::chmod(targets[1].c_str(), 0600));
        if (c.trouble >= 0 && !c.unstaged)
            fs::remove(targets[c.trouble]), fs::create_directory(targets[c.trouble]);
        const std::vector<std::string> before = entries();
        for (std::size_t i = 0; i < targets.size(); ++i)
        {
            const std::string staging = stageAtomic(targets[i].c_str());
            ASSERT_EQ(0u, staging.rfind(folder + "/." + names[i] + ".tmp.", 0)) << staging;
            // Other writers of the same folder leave a staging file alone.
            ASSERT_TRUE(writeWhole(targets[(i + 1) % 3] + ".x", "other"));
            if (!c.unstaged || static_cast<int>(i) != c.trouble)
            {
                ASSERT_TRUE(writeWhole(staging, "new " + names[i]));
            }
        }
        for (const std::string& target : targets)
            fs::remove(target + ".x");
        EXPECT_EQ(c.trouble < 0, replaceStagedAtomic(targets));
        for (std::size_t i = 0; i < targets.size(); ++i)
        {
            if (c.trouble < 0)
                EXPECT_EQ("new " + names[i], readFile(targets[i]));
            else if (static_cast<int>(i) == c.trouble && !c.unstaged)
                EXPECT_TRUE(fs::is_directory(targets[i]));
            else if (i < 2)
                EXPECT_EQ("old " + names[i].substr(0, 1), readFile(targets[i])) << names[i];
            else
                EXPECT_FALSE(fs::exists(targets[i])) << "a new file is taken back";
        }
        EXPECT_EQ(c.trouble < 0 ? names : before, entries()) << "no staging file is left";
        struct stat status = {};
        ASSERT_TRUE(c.trouble == 1 || ::stat(targets[1].c_str(), &status) == 0);
        EXPECT_TRUE(c.trouble == 1 || (status.st_mode & 07777u) == 0600u) << "the replaced file keeps its mode";
    }

    // A writer that gives up leaves the old files and no staging file.
    const std::string staging = stageAtomic(targets[0].c_str());
    ASSERT_TRUE(writeWhole(staging, "given up"));
    discardStagedAtomic({targets[0]});
    EXPECT_EQ("new a.png", readFile(targets[0]));
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_FALSE(replaceStagedAtomic({targets[0]})) << "nothing staged any more";
    EXPECT_EQ("", stageAtomic((folder + "/").c_str()));
}

// Temporaries of every target whose writer is gone go when the folder is
// cleaned; those in use and other names stay.
TEST_F(AtomicFile, CleaningAFolderRemovesEveryGoneWritersTemporaries)
{
    const std::string target = path, other = folder + "/qev_anim_00_01.png";
    const pid_t dead = spawn([&target, &other] {
        const std::string staging = stageAtomic(other.c_str());
        return fopenAtomic(target.c_str(), "wb") && writeWhole(staging, "staged") ? 0 : 1;
    });
    ASSERT_EQ(0, finish(dead));
    auto plant = [this](const std::string& name) { std::ofstream(folder + "/" + name) << "left"; };
    const std::string self = std::to_string(::getpid()), gone = std::to_string(dead);
    const std::vector<std::string> kept = {".save.bin.tmp.1.7", ".x.tmp.12x.1", "data.tmp." + gone + ".1", "plain.png"};
    for (const std::string& name : kept)
        plant(name);
    plant(".other.png.tmp." + self + ".999999"); // an earlier process of this id
    plant("..qev_art_00.png.tmp." + gone + ".4.tmp." + gone + ".5");
    std::FILE* open = fopenAtomic((folder + "/open.bin").c_str(), "wb");
    const std::string staging = stageAtomic((folder + "/staged.png").c_str());
    ASSERT_TRUE(open && writeWhole(staging, "mine"));
    EXPECT_EQ(10u, entries().size());

    removeStaleTemporariesAtomic((folder + "/").c_str());
    std::vector<std::string> expected = kept;
    for (const std::string& name : entries())
        if (name.rfind(".open.bin.tmp." + self, 0) == 0 || name.rfind(".staged.png.tmp." + self, 0) == 0)
            expected.push_back(name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, entries());
    EXPECT_EQ(0, fcloseAtomic(open));
    EXPECT_TRUE(replaceStagedAtomic({folder + "/staged.png"}));
    EXPECT_EQ("mine", readFile(folder + "/staged.png"));
    removeStaleTemporariesAtomic(nullptr);
    removeStaleTemporariesAtomic((folder + "/missing").c_str());
}
