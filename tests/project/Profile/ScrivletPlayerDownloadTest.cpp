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

    // Which of the six frames and 24 stamps are open, as "1" and "0".
    static std::string unlocked(const ScrivletPlayer& profile)
    {
        std::string open;
        for (int frame = 0; frame < 6; ++frame)
            open += profile.isFrameUnlocked(frame) ? '1' : '0';
        open += ' ';
        for (int stamp = 0; stamp < 24; ++stamp)
            open += profile.isStampUnlocked(stamp) ? '1' : '0';
        return open;
    }
};
}

TEST_F(Downloads, WithoutDownloadsTheTitlesContentIsThere)
{
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_EQ("110000 111111111111111100000000", unlocked(*profile));
    EXPECT_FALSE(profile->isFrameUnlocked(6) || profile->isStampUnlocked(-1) || profile->isStampUnlocked(24));
    ASSERT_EQ(1, profile->getColoringBookCount());
    EXPECT_EQ(titlePath() + "coloring_book/", profile->getColoringBookPage(0)->path);
    EXPECT_EQ(8, profile->getColoringBookPage(0)->pageCount);
    EXPECT_EQ(0, profile->getLocationCount());
}

TEST_F(Downloads, AFolderOfPackages)
{
    package("a_frame/", R"({"type": "Frame", "frame": 4})");
    package("b_stamp/", R"({"type": "Stamp", "stamp": 20, "comment": "other keys are ignored"})");
    package("c_bundle/", R"({"type": "Frandel", "subdirectories": ["second/", "first/"]})");
    package("c_bundle/first/", R"({"type": "Task"})");
    package("c_bundle/second/", R"({"type": "Task"})");
    package("d_book/", R"({"type": "ColoringBook", "pageCount": 12})");
    package("e_broken/", R"({"type": "Frame", "frame": )");
    package("f_escape/", R"({"type": "Frandel", "subdirectories":
                              ["../a_frame/", "/tmp/", "./", "", 5, "ok/../ok/", "ok/"]})");
    package("f_escape/ok/", R"({"type": "Task"})");
    package("g_unknown/", R"({"type": "Poster"})");
    std::filesystem::create_directories(downloads() + "h_missing");
    package("i_bad_numbers/", R"({"type": "Frandel", "subdirectories": ["frame/", "stamp/", "pages/"]})");
    package("i_bad_numbers/frame/", R"({"type": "Frame", "frame": 6})");
    package("i_bad_numbers/stamp/", R"({"type": "Stamp", "stamp": -1})");
    package("i_bad_numbers/pages/", R"({"type": "ColoringBook", "pageCount": 0})");
    package("j_not_an_array/", R"({"type": "Frandel", "subdirectories": "c_bundle/first/"})");
    package("k_lower_case/", R"({"type": "task"})");

    std::string printed;
    ScrivletPlayerPtr profile = loadProfile(&printed);
    EXPECT_EQ("110010 111111111111111100001000", unlocked(*profile));
    ASSERT_EQ(3, profile->getLocationCount());
    EXPECT_EQ(downloads() + "c_bundle/second/", profile->getTaskDownload(0)->path);
    EXPECT_EQ(downloads() + "c_bundle/first/", profile->getTaskDownload(1)->path);
    EXPECT_EQ(downloads() + "f_escape/ok/", profile->getTaskDownload(2)->path);
    ASSERT_EQ(2, profile->getColoringBookCount());
    EXPECT_EQ(titlePath() + "coloring_book/", profile->getColoringBookPage(0)->path);
    EXPECT_EQ(downloads() + "d_book/", profile->getColoringBookPage(1)->path);
    EXPECT_EQ(12, profile->getColoringBookPage(1)->pageCount);
    // Every package skipped is named on standard output.
    for (const char* skipped : {"e_broken/download.json", "\"../a_frame/\"", "\"/tmp/\"", "\"./\"", "\"\"",
                                "\"ok/../ok/\"", "\"Poster\"", "h_missing/download.json", "Ignoring frame 6",
                                "Ignoring stamp -1", "pageCount 0", "\"task\""})
        EXPECT_NE(std::string::npos, printed.find(skipped)) << skipped << " in\n" << printed;
}

// Nothing outside the download folder is listed, read or recorded: links are
// not followed, and a FIFO does not block (the alarm stops a hanging run).
TEST_F(Downloads, LinksAndSpecialFilesAreNotFollowed)
{
    const std::string outside = root().path + "/outside/";
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
    EXPECT_EQ("110000 111111111111111100000000", unlocked(*profile));
    ASSERT_EQ(1, profile->getLocationCount()) << printed;
    EXPECT_EQ(downloads() + "c_bundle/a..b/", profile->getTaskDownload(0)->path);
    for (const char* skipped : {"a_linked_package/download.json", "b_json_link/download.json", "\"middle/task/\"",
                                "c_bundle/last/download.json", "d_fifo/download.json"})
        EXPECT_NE(std::string::npos, printed.find(skipped)) << skipped << " in\n" << printed;
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
            const Bytes json = readBytes(entry.path().string());
            package(names.back() + "/", std::string(json.begin(), json.end()));
        }
    ASSERT_GE(names.size(), 15u);
    package("pages_most/", R"({"type": "ColoringBook", "pageCount": 100})");
    std::string printed;
    ScrivletPlayerPtr profile = loadProfile(&printed);
    EXPECT_EQ("110000 111111111111111100000000", unlocked(*profile)) << printed;
    EXPECT_EQ(0, profile->getLocationCount());
    ASSERT_EQ(2, profile->getColoringBookCount());
    EXPECT_EQ(100, profile->getColoringBookPage(1)->pageCount);
    for (const std::string& name : names)
        EXPECT_NE(std::string::npos, printed.find("/" + name + "/")) << name << " in\n" << printed;
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
    EXPECT_EQ(std::string::npos, printed.find("Too many downloads"));
    EXPECT_NE(std::string::npos, printed.find("already loaded"));
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
    EXPECT_NE(std::string::npos, printed.find("nested too deeply")) << printed;
}

TEST_F(Downloads, ABrokenOrMissingTitleBookStopsNothing)
{
    std::remove((titlePath() + "coloring_book/download.json").c_str());
    package("book/", R"({"type": "ColoringBook", "pageCount": 3})");
    std::string printed;
    ScrivletPlayerPtr profile = loadProfile(&printed);
    EXPECT_NE(std::string::npos, printed.find("coloring_book/download.json")) << printed;
    ASSERT_EQ(1, profile->getColoringBookCount());
    EXPECT_EQ(3, profile->getColoringBookPage(0)->pageCount);
    EXPECT_TRUE(profile->isFrameUnlocked(1));
}

TEST_F(Downloads, LoadingAgainDoesNotAddTheSameContentTwice)
{
    package("task/", R"({"type": "Task"})");
    ScrivletPlayerPtr profile = loadProfile();
    output([&] { profile->loadMicroDownloads(); });
    EXPECT_EQ(1, profile->getLocationCount());
    EXPECT_EQ(1, profile->getColoringBookCount());
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

TEST(ColoringBookDownload, PageFilesOfTheBooksFolder)
{
    ColoringBookDownload book("books/farm/", 12);
    EXPECT_EQ("books/farm/page_00.png", book.getPagePath(0));
    EXPECT_EQ("books/farm/page_11.png", book.getPagePath(11));
    EXPECT_EQ("books/farm/preview_page_03.png", book.getPagePreviewPath(3));
    EXPECT_EQ("books/farm/page_100.png", book.getPagePath(100));
}

TEST(ProgressDeathTest, DownloadIndicesOutOfRangeStop)
{
    if (root().path.empty())
        GTEST_SKIP() << "the system data was configured by another test";
    usePlayer(0);
    ScrivletPlayer profile;
    EXPECT_DEATH(profile.getTaskDownload(0), "Invalid task download index");
    EXPECT_DEATH(profile.getColoringBookPage(-1), "Invalid colouring book index");
}
