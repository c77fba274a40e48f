#include "ProfileTestSupport.h"

#include "CMicroDownloads.h"

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
                                "Ignoring stamp -1", "with 0 pages", "\"task\""})
        EXPECT_NE(std::string::npos, printed.find(skipped)) << skipped << " in\n" << printed;
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
