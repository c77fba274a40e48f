#include "ProfileTestSupport.h"

#include "CMicroDownloads.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
class Downloads : public Fixture
{
protected:
    std::string downloads() const { return XQM::CMicroDownloads::GetDownloadsPath(0).raw(); }
    void package(const std::string& folder, const std::string& json)
    {
        writeText(downloads() + folder + "download.json", json);
    }

    // Which of the six frames and 24 stamps are open, as "1" and "0", then
    // every colouring book's folder and pages and every task's folder.
    static std::string contents(const ScrivletPlayer& profile)
    {
        std::string text;
        for (int i = 0; i < 31; ++i)
            text += i == 6 ? ' ' : ((i < 6 ? profile.isFrameUnlocked(i) : profile.isStampUnlocked(i - 7)) ? '1' : '0');
        for (int i = 0; i < profile.getColoringBookCount(); ++i)
            text += " " + profile.getColoringBookPage(i)->path + " " +
                    std::to_string(profile.getColoringBookPage(i)->pageCount);
        for (int i = 0; i < profile.getLocationCount(); ++i)
            text += " " + profile.getTaskDownload(i)->path;
        return text;
    }
    static std::string titleOnly() { return "110000 111111111111111100000000 " + titlePath() + "coloring_book/ 8"; }
};
}

TEST_F(Downloads, AFolderOfPackages)
{
    // The title alone gives frames 0 and 1, stamps 0 to 15 and its own book of 8 pages.
    EXPECT_EQ(titleOnly(), contents(*loadProfile()));
    package("a_frame/", R"({"type": "Frame", "frame": 4})");
    package("b_stamp/", R"({"type": "Stamp", "stamp": 20, "comment": "other keys are ignored"})");
    package("c_bundle/", R"({"type": "Frandel", "subdirectories": ["second/", "first/"]})");
    package("c_bundle/first/", R"({"type": "Task"})");
    package("c_bundle/second/", R"({"type": "Task"})");
    package("d_book/", R"({"type": "ColoringBook", "pageCount": 12})");
    // A bundle goes on past the entries it refuses or cannot load.
    package("f_escape/", R"({"type": "Frandel", "subdirectories": ["../a_frame/", 5, "ok/"]})");
    package("f_escape/ok/", R"({"type": "Task"})");
    std::filesystem::create_directories(downloads() + "h_missing");
    package("j_not_an_array/", R"({"type": "Frandel", "subdirectories": "c_bundle/first/"})");

    std::string printed;
    ScrivletPlayerPtr profile = loadProfile(&printed);
    const std::string added = "110010 111111111111111100001000 " + titlePath() + "coloring_book/ 8 " + downloads() +
                              "d_book/ 12 " + downloads() + "c_bundle/second/ " + downloads() + "c_bundle/first/ " +
                              downloads() + "f_escape/ok/";
    EXPECT_EQ(added, contents(*profile));
    EXPECT_FALSE(profile->isFrameUnlocked(6) || profile->isStampUnlocked(-1) || profile->isStampUnlocked(24));
    for (const char* skipped : {"\"../a_frame/\"", "sub-folder \"\" of download", "h_missing/download.json"})
        EXPECT_TRUE(says(printed, skipped)) << skipped << " in\n" << printed;
    // Loading again does not add the same content twice.
    output([&] { profile->loadMicroDownloads(); });
    EXPECT_EQ(added, contents(*profile));
}

// Nothing outside the download folder is listed, read or recorded: links are
// not followed, and a FIFO does not block (the alarm stops a hanging run).
TEST_F(Downloads, LinksAndSpecialFilesAreNotFollowed)
{
    const std::string outside = root() + "/outside/";
    writeText(outside + "task/download.json", R"({"type": "Task"})");
    writeText(outside + "frame/download.json", R"({"type": "Frame", "frame": 5})");
    writeText(outside + "bundle/task/download.json", R"({"type": "Task"})");
    std::filesystem::create_directories(downloads());
    std::filesystem::create_directory_symlink(outside + "task", downloads() + "a_linked_package");
    package("b_json_link/", "");
    std::filesystem::remove(downloads() + "b_json_link/download.json");
    std::filesystem::create_symlink(outside + "frame/download.json", downloads() + "b_json_link/download.json");
    package("c_bundle/", R"({"type": "Frandel", "subdirectories": ["last/", "middle/task/", "a..b/"]})");
    std::filesystem::create_directory_symlink(outside + "task", downloads() + "c_bundle/last");
    std::filesystem::create_directory_symlink(outside + "bundle", downloads() + "c_bundle/middle");
    package("c_bundle/a..b/", R"({"type": "Task"})");
    std::filesystem::create_directories(downloads() + "d_fifo");
    ASSERT_EQ(0, ::mkfifo((downloads() + "d_fifo/download.json").c_str(), 0600));

    std::string printed;
    ::alarm(20);
    ScrivletPlayerPtr profile = loadProfile(&printed);
    ::alarm(0);
    EXPECT_EQ(titleOnly() + " " + downloads() + "c_bundle/a..b/", contents(*profile)) << printed;
    for (const char* skipped : {"a_linked_package/download.json", "b_json_link/download.json", "\"middle/task/\"",
                                "c_bundle/last/download.json", "d_fifo/download.json"})
        EXPECT_TRUE(says(printed, skipped)) << skipped << " in\n" << printed;
}

// The committed malformed packages (numbers of another type or out of range,
// cut files, unknown types, bundles leaving their folder) are each skipped
// with a message naming them; a colouring book may have up to 100 pages.
TEST_F(Downloads, MalformedPackagesAreSkippedWithAMessage)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TOVRANE_TEST_DATA) + "/downloadjson/malformed"))
        if (entry.path().extension() == ".json")
        {
            names.push_back(entry.path().stem().string());
            package(names.back() + "/", TestSupport::readFile(entry.path().string()));
        }
    ASSERT_GE(names.size(), 15u);
    package("pages_most/", R"({"type": "ColoringBook", "pageCount": 100})");
    std::string printed;
    ScrivletPlayerPtr profile = loadProfile(&printed);
    EXPECT_EQ(titleOnly() + " " + downloads() + "pages_most/ 100", contents(*profile)) << printed;
    for (const std::string& name : names)
        EXPECT_TRUE(says(printed, "/" + name + "/")) << name << " in\n" << printed;
}

// The cap counts the packages the platform lists; a bundle naming one folder
// many times reads it once.
TEST_F(Downloads, TheCapCountsPackagesAndNoFolderIsReadTwice)
{
    std::string many;
    for (int i = 0; i <= ScrivletPlayer::maxDownloadPackages; ++i)
        many += std::string(i ? ", " : "") + R"("task/")";
    package("a_bundle/", R"({"type": "Frandel", "subdirectories": [)" + many + "]}");
    package("a_bundle/task/", R"({"type": "Task"})");
    package("b_task/", R"({"type": "Task"})");
    std::string printed;
    ScrivletPlayerPtr profile = loadProfile(&printed);
    ASSERT_EQ(2, profile->getLocationCount());
    EXPECT_EQ(downloads() + "b_task/", profile->getTaskDownload(1)->path);
    EXPECT_FALSE(says(printed, "Too many downloads"));
    EXPECT_TRUE(says(printed, "already loaded"));
}

TEST_F(Downloads, BundlesAreFollowedOnlySoDeep)
{
    std::string folder = "deep/";
    for (int level = 0; level < 20; ++level, folder += "next/")
    {
        package(folder, R"({"type": "Frandel", "subdirectories": ["next/", "task/"]})");
        package(folder + "task/", R"({"type": "Task"})");
    }
    std::string printed;
    EXPECT_EQ(ScrivletPlayer::maxDownloadDepth, loadProfile(&printed)->getLocationCount());
    EXPECT_TRUE(says(printed, "nested too deeply")) << printed;
}

TEST_F(Downloads, ABrokenOrMissingTitleBookStopsNothing)
{
    std::remove((titlePath() + "coloring_book/download.json").c_str());
    package("book/", R"({"type": "ColoringBook", "pageCount": 3})");
    std::string printed;
    ScrivletPlayerPtr profile = loadProfile(&printed);
    EXPECT_TRUE(says(printed, "coloring_book/download.json")) << printed;
    ASSERT_EQ(1, profile->getColoringBookCount());
    EXPECT_EQ(3, profile->getColoringBookPage(0)->pageCount);
    EXPECT_TRUE(profile->isFrameUnlocked(1));
}

TEST_F(Downloads, OnlyTheCurrentPlayersPackagesCount)
{
    writeText(XQM::CMicroDownloads::GetDownloadsPath(1).raw() + "task/download.json", R"({"type": "Task"})");
    EXPECT_EQ(0, loadProfile()->getLocationCount());
    usePlayer(1);
    EXPECT_EQ(1, loadProfile()->getLocationCount());
    usePlayer(4); // no player: no downloads either
    EXPECT_EQ(0, loadProfile()->getLocationCount());
}

TEST(ProgressDeathTest, DownloadIndicesOutOfRangeStop)
{
    if (root().empty())
        GTEST_SKIP() << "the system data was configured by another test";
    usePlayer(0);
    ScrivletPlayer profile;
    EXPECT_DEATH(profile.getTaskDownload(0), "Invalid task download index");
    EXPECT_DEATH(profile.getColoringBookPage(-1), "Invalid colouring book index");
}
