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

// One folder of packages of every kind, loaded twice (the second load adds
// nothing a second time). Good packages unlock frames and stamps and add books
// and tasks, in folder order; other keys are ignored. Bundles are followed in
// their own order, past the entries they refuse, only into their own plain
// sub-folders, only so deep, and no folder is read twice; the cap counts only
// the packages the platform lists. Nothing outside the download folder is
// read: links are not followed, and a FIFO does not block (the alarm stops a
// hanging run). The committed malformed packages (numbers of another type or
// out of range, cut files, unknown types, bundles leaving their folder) are
// each skipped with a message naming them.
TEST_F(Downloads, AFolderOfEveryKindOfPackage)
{
    // The title alone gives frames 0 and 1, stamps 0 to 15 and its own book of 8 pages.
    EXPECT_EQ(titleOnly(), contents(*loadProfile()));
    package("a_frame/", R"({"type": "Frame", "frame": 4})");
    package("b_stamp/", R"({"type": "Stamp", "stamp": 20, "comment": "other keys are ignored"})");
    package("c_bundle/", R"({"type": "Frandel", "subdirectories": ["second/", "first/"]})");
    package("c_bundle/first/", R"({"type": "Task"})");
    package("c_bundle/second/", R"({"type": "Task"})");
    package("d_book/", R"({"type": "ColoringBook", "pageCount": 12})");
    package("e_most_pages/", R"({"type": "ColoringBook", "pageCount": 100})");
    package("f_escape/", R"({"type": "Frandel", "subdirectories": ["../a_frame/", "./", 5, "ok/"]})");
    package("f_escape/ok/", R"({"type": "Task"})");
    std::filesystem::create_directories(downloads() + "h_missing");
    package("j_not_an_array/", R"({"type": "Frandel", "subdirectories": "c_bundle/first/"})");
    std::string many, deep = "l_deep/";
    for (int i = 0; i <= ScrivletPlayer::maxDownloadPackages; ++i)
        many += std::string(i ? ", " : "") + R"("task/")";
    package("k_many/", R"({"type": "Frandel", "subdirectories": [)" + many + "]}");
    package("k_many/task/", R"({"type": "Task"})");
    for (int level = 0; level < 20; ++level, deep += "next/")
    {
        package(deep, R"({"type": "Frandel", "subdirectories": ["next/", "task/"]})");
        package(deep + "task/", R"({"type": "Task"})");
    }
    const std::string outside = root() + "/outside/";
    writeText(outside + "task/download.json", R"({"type": "Task"})");
    writeText(outside + "frame/download.json", R"({"type": "Frame", "frame": 5})");
    writeText(outside + "bundle/task/download.json", R"({"type": "Task"})");
    std::filesystem::create_directory_symlink(outside + "task", downloads() + "m_linked_package");
    std::filesystem::create_directories(downloads() + "n_json_link");
    std::filesystem::create_symlink(outside + "frame/download.json", downloads() + "n_json_link/download.json");
    package("o_bundle/", R"({"type": "Frandel", "subdirectories": ["last/", "middle/task/", "a..b/"]})");
    std::filesystem::create_directory_symlink(outside + "task", downloads() + "o_bundle/last");
    std::filesystem::create_directory_symlink(outside + "bundle", downloads() + "o_bundle/middle");
    package("o_bundle/a..b/", R"({"type": "Task"})");
    std::filesystem::create_directories(downloads() + "p_fifo");
    ASSERT_EQ(0, ::mkfifo((downloads() + "p_fifo/download.json").c_str(), 0600));
    std::vector<std::string> skipped = {"\"../a_frame/\"", "\"./\"", "\"/tmp/\"", "\"a/../a/\"", "sub-folder \"\" of download",
                                        "h_missing/download.json", "already loaded", "nested too deeply",
                                        "m_linked_package/download.json", "n_json_link/download.json",
                                        "\"middle/task/\"", "o_bundle/last/download.json", "p_fifo/download.json"};
    const std::string malformed = std::string(TOVRANE_TEST_DATA) + "/downloadjson/malformed";
    for (const auto& entry : std::filesystem::directory_iterator(malformed))
        if (entry.path().extension() == ".json")
        {
            skipped.push_back("/" + entry.path().stem().string() + "/");
            package(entry.path().stem().string() + "/", TestSupport::readFile(entry.path().string()));
        }
    ASSERT_GE(skipped.size(), 25u);

    std::string printed;
    ::alarm(20);
    ScrivletPlayerPtr profile = loadProfile(&printed);
    ::alarm(0);
    std::string added = "110010 111111111111111100001000 " + titlePath() + "coloring_book/ 8 " + downloads() +
                        "d_book/ 12 " + downloads() + "e_most_pages/ 100";
    for (const char* task : {"c_bundle/second/", "c_bundle/first/", "f_escape/ok/", "k_many/task/"})
        added += " " + downloads() + task;
    for (int level = ScrivletPlayer::maxDownloadDepth - 1; level >= 0; --level)
        added += " " + downloads() + deep.substr(0, 7 + 5 * level) + "task/";
    added += " " + downloads() + "o_bundle/a..b/";
    EXPECT_EQ(added, contents(*profile));
    EXPECT_FALSE(profile->isFrameUnlocked(6) || profile->isStampUnlocked(-1) || profile->isStampUnlocked(24));
    for (const std::string& message : skipped)
        EXPECT_TRUE(says(printed, message)) << message << " in\n" << printed;
    EXPECT_FALSE(says(printed, "Too many downloads"));
    output([&] { profile->loadMicroDownloads(); });
    EXPECT_EQ(added, contents(*profile));
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
