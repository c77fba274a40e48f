#include "support/DataRoot.h"

#include "CSystemData.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// The system data is configured once per process, so each case runs in a fresh
// one (threadsafe death-test style re-runs only this test in the child), in a
// fresh folder (no "/" at the end) of the scratch folder. Failures inside are
// reported on standard error and end the child with 1.
void inFreshProcess(const std::function<void(const std::string& root)>& body)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TestSupport::scratchFolder(); // made and removed by this process, used by the child
    EXPECT_EXIT(
        {
            const std::string root = TestSupport::freshFolder("systemdata");
            body(root.substr(0, root.size() - 1));
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

void check(bool condition, const std::string& what)
{
    if (!condition)
    {
        std::fprintf(stderr, "check failed: %s\n", what.c_str());
        std::exit(1);
    }
}

bool isFolder(const Glib::ustring& path) { return !path.empty() && path.raw().back() == '/' && fs::is_directory(path.raw()); }
}

TEST(SystemDataDeathTest, DefaultFoldersUnderTheDataRootEndWithSlashAndAreCreatedOnFirstUse)
{
    inFreshProcess([](const std::string& root) {
        CSystemData::Config config;
        config.titlePath = root + "/title"; // no separator given
        config.dataRoot = root + "/data";
        config.packageID = "pkg";
        check(CSystemData::Configure(config), "configure before any answer");
        CSystemData* data = CSystemData::Instance();
        check(!fs::exists(root + "/data"), "nothing made before it is asked for");
        check(data->GetCurrentTitlePath() == root + "/title/", "title with separator");
        check(!fs::exists(root + "/title"), "the title folder is only read, never made");

        const Glib::ustring save = data->GetLocalDataPath(1, data->GetCurrentGamePackageID());
        check(save == root + "/data/players/1/pkg/" && isFolder(save), "save folder " + save.raw());
        const Glib::ustring photos = data->GetLocalDataPath(1, "Photos");
        check(isFolder(photos) && photos != save, "folders of one player differ by name");
        check(data->GetLocalDataPath(2, "Photos") != photos, "players have their own folders");
        const Glib::ustring upload = data->GetUploadDataPath("Art");
        check(upload == root + "/data/upload/Art/" && isFolder(upload), "upload folder " + upload.raw());
        check(isFolder(data->GetUniversalAudioPath()), "universal audio folder");

        // A folder removed later comes back when it is asked for again.
        fs::remove_all(root + "/data/upload");
        check(data->GetUploadDataPath("Art") == upload && isFolder(upload), "upload folder made again");
    });
}

TEST(SystemDataDeathTest, AnswersStayTheSameOnceGiven)
{
    inFreshProcess([](const std::string& root) {
        CSystemData::Config config;
        config.titlePath = root + "/title/";
        config.dataRoot = root + "/data/"; // separators given: none doubled
        config.universalAudioPath = root + "/shared-audio";
        config.uploadRoot = root + "/up/";
        check(CSystemData::Configure(config), "configure");
        CSystemData* data = CSystemData::Instance();
        for (int i = 0; i < 2; ++i)
        {
            check(data->GetCurrentTitlePath() == root + "/title/", "title");
            check(data->GetLocalDataPath(0, "Scrivlet") == root + "/data/players/0/Scrivlet/", "save");
            check(data->GetUploadDataPath("Art") == root + "/up/Art/", "upload");
            check(data->GetUniversalAudioPath() == root + "/shared-audio/", "audio");
            CSystemData::Config other; // a later configuration is refused and changes nothing
            other.titlePath = other.dataRoot = other.uploadRoot = "/elsewhere";
            check(!CSystemData::Configure(other), "second configuration refused");
        }
    });
}

TEST(SystemDataDeathTest, AnyAnswerButAnEmptyTitleFixesTheConfiguration)
{
    inFreshProcess([](const std::string& root) {
        check(CSystemData::Instance()->GetCurrentTitlePath().empty(), "no title yet");
        const std::string cwd = fs::current_path();
        check(::chdir(root.c_str()) == 0, "chdir");
        // The default data root is relative to the working folder.
        const Glib::ustring save = CSystemData::Instance()->GetLocalDataPath(0, "x");
        check(isFolder(root + "/" + save.raw()), "default data root " + save.raw());
        CSystemData::Config config;
        config.dataRoot = root + "/other";
        check(!CSystemData::Configure(config), "configuration after an answer refused");
        check(CSystemData::Instance()->GetLocalDataPath(0, "x") == save, "answer unchanged");
        check(::chdir(cwd.c_str()) == 0, "chdir back");
    });
}

// A data root on a read-only mount (a read-only tmpfs in a mount namespace of
// the child's own or, where mounting is refused, /sys, where no folder can be
// made) is said once, with the reason it could not be made, however often its
// folders are asked for.
TEST(SystemDataDeathTest, AFolderThatCannotBeMadeIsSaidOnceWithItsReason)
{
    inFreshProcess([](const std::string& root) {
        const std::string mount = root + "/read-only";
        fs::create_directory(mount);
        const bool mounted = ::unshare(CLONE_NEWNS) == 0 &&
                             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                             ::mount("tmpfs", mount.c_str(), "tmpfs", MS_RDONLY, nullptr) == 0;
        CSystemData::Config config;
        config.dataRoot = (mounted ? mount : "/sys") + "/tovrane-data-" + std::to_string(::getpid());
        check(::mkdir(config.dataRoot.c_str(), 0755) != 0 && errno != ENOENT, "a place where folders cannot be made");
        const std::string reason = std::strerror(errno);
        check(CSystemData::Configure(config), "configure");
        testing::internal::CaptureStdout();
        CSystemData* data = CSystemData::Instance();
        for (int i = 0; i < 2; ++i)
            check(data->GetLocalDataPath(0, "Scrivlet") == config.dataRoot + "/players/0/Scrivlet/" &&
                      data->GetDataRootPath() == config.dataRoot + "/" &&
                      data->GetUploadDataPath("Art") == config.dataRoot + "/upload/Art/",
                  "the paths are answered all the same");
        const std::string said = testing::internal::GetCapturedStdout();
        check(said == "Could not make the folder " + config.dataRoot + ": " + reason + "\n", "said: " + said);
    });
}
