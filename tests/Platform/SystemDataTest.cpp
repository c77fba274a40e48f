#include "CSystemData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// The system data is configured once per process, so each case runs in a fresh
// one (threadsafe death-test style re-runs only this test in the child).
// Failures inside are reported on standard error and end the child with 1.
void inFreshProcess(const std::function<void()>& body)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            body();
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

std::string freshFolder()
{
    char name[] = "/tmp/tovrane-systemdata-XXXXXX";
    check(::mkdtemp(name) != nullptr, "mkdtemp");
    return name;
}

bool endsWithSlash(const Glib::ustring& path) { return !path.empty() && path.raw().back() == '/'; }

bool isFolder(const std::string& path) { return fs::is_directory(path); }
}

TEST(SystemDataDeathTest, DefaultFoldersUnderTheDataRootEndWithSlashAndAreCreatedOnFirstUse)
{
    inFreshProcess([] {
        const std::string root = freshFolder();
        CSystemData::Config config;
        config.titlePath = root + "/title"; // no separator given
        config.dataRoot = root + "/data";
        config.packageID = "pkg";
        check(CSystemData::Configure(config), "configure before any answer");
        CSystemData* data = CSystemData::Instance();
        check(data == CSystemData::Instance(), "one instance");

        check(!fs::exists(root + "/data"), "nothing made before it is asked for");
        check(data->GetCurrentTitlePath() == root + "/title/", "title with separator");
        check(!fs::exists(root + "/title"), "the title folder is only read, never made");

        const Glib::ustring save = data->GetLocalDataPath(1, data->GetCurrentGamePackageID());
        check(save == root + "/data/players/1/pkg/", "save folder " + save.raw());
        check(isFolder(save.raw()), "save folder made");
        const Glib::ustring photos = data->GetLocalDataPath(1, "Photos");
        check(endsWithSlash(photos) && isFolder(photos.raw()), "photos folder");
        check(photos != save, "folders of one player differ by name");
        check(data->GetLocalDataPath(2, "Photos") != photos, "players have their own folders");

        const Glib::ustring upload = data->GetUploadDataPath("Art");
        check(upload == root + "/data/upload/Art/", "upload folder " + upload.raw());
        check(isFolder(upload.raw()), "upload folder made");
        const Glib::ustring audio = data->GetUniversalAudioPath();
        check(endsWithSlash(audio) && isFolder(audio.raw()), "universal audio folder " + audio.raw());
        check(data->GetCurrentGamePackageID() == "pkg", "package id");

        // A folder removed later comes back when it is asked for again.
        fs::remove_all(root + "/data/upload");
        check(data->GetUploadDataPath("Art") == upload && isFolder(upload.raw()), "upload folder made again");
        fs::remove_all(root);
    });
}

TEST(SystemDataDeathTest, AnswersStayTheSameOnceGiven)
{
    inFreshProcess([] {
        const std::string root = freshFolder();
        CSystemData::Config config;
        config.titlePath = root + "/title/";
        config.dataRoot = root + "/data/"; // separators given: none doubled
        config.universalAudioPath = root + "/shared-audio";
        config.uploadRoot = root + "/up/";
        check(CSystemData::Configure(config), "configure");
        CSystemData* data = CSystemData::Instance();
        const Glib::ustring title = data->GetCurrentTitlePath();
        const Glib::ustring save = data->GetLocalDataPath(0, "Scrivlet");
        const Glib::ustring upload = data->GetUploadDataPath("Art");
        const Glib::ustring audio = data->GetUniversalAudioPath();
        check(title == root + "/title/", "title " + title.raw());
        check(save == root + "/data/players/0/Scrivlet/", "save " + save.raw());
        check(upload == root + "/up/Art/", "upload " + upload.raw());
        check(audio == root + "/shared-audio/", "audio " + audio.raw());

        // A later configuration is refused and changes nothing.
        CSystemData::Config other;
        other.titlePath = "/elsewhere";
        other.dataRoot = "/elsewhere";
        check(!CSystemData::Configure(other), "second configuration refused");
        for (int i = 0; i < 3; ++i)
        {
            check(data->GetCurrentTitlePath() == title, "title unchanged");
            check(data->GetLocalDataPath(0, "Scrivlet") == save, "save unchanged");
            check(data->GetUploadDataPath("Art") == upload, "upload unchanged");
            check(data->GetUniversalAudioPath() == audio, "audio unchanged");
        }
        fs::remove_all(root);
    });
}

TEST(SystemDataDeathTest, WithoutATitlePathTheTitleIsEmptyUntilConfigured)
{
    inFreshProcess([] {
        CSystemData* data = CSystemData::Instance();
        check(data->GetCurrentTitlePath().empty(), "no title yet");
        // An empty answer fixes nothing: the host may still give the roots.
        const std::string root = freshFolder();
        CSystemData::Config config;
        config.titlePath = root;
        config.dataRoot = root + "/data";
        check(CSystemData::Configure(config), "configure after an empty answer");
        check(data->GetCurrentTitlePath() == root + "/", "title once configured");
        check(!CSystemData::Configure(CSystemData::Config()), "fixed after a full answer");
        fs::remove_all(root);
    });
}

TEST(SystemDataDeathTest, AnyAnswerFixesTheConfiguration)
{
    inFreshProcess([] {
        const std::string root = freshFolder();
        const std::string cwd = fs::current_path();
        check(::chdir(root.c_str()) == 0, "chdir");
        // The default data root is relative to the working folder.
        const Glib::ustring save = CSystemData::Instance()->GetLocalDataPath(0, "x");
        check(endsWithSlash(save) && isFolder(root + "/" + save.raw()), "default data root " + save.raw());
        CSystemData::Config config;
        config.dataRoot = root + "/other";
        check(!CSystemData::Configure(config), "configuration after an answer refused");
        check(CSystemData::Instance()->GetLocalDataPath(0, "x") == save, "answer unchanged");
        check(::chdir(cwd.c_str()) == 0, "chdir back");
        fs::remove_all(root);
    });
}
