// What a downloaded task may reach: the names it gives, and the symbolic
// links its folder holds.
#include "ProfileTestSupport.h"

#include "Resources/Profile/TaskDownload.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Tovrane;

TEST(TaskDownloadTest, NamesStayRelativeAndBelowTheFolder)
{
    const struct
    {
        const char* name;
        bool inside;
    } names[] = {{"", true},          {"own.png", true},      {"task/own.png", true},   {"./own.png", true},
                 {"a..b.png", true},  {"..png", true},        {"task//own.png", true},  {"/etc/passwd", false},
                 {"//own.png", false}, {"..", false},         {"../own.png", false},    {"task/../own.png", false},
                 {"task/..", false},  {"a/../../b.ogg", false}, {"task/../../x", false}};
    for (const auto& n : names)
        EXPECT_EQ(n.inside, TaskDownload::isInsideName(n.name)) << n.name;
}

TEST(TaskDownloadTest, NamePartsFitTheFileSystem)
{
    const std::string most(TaskDownload::MaxNamePart, 'a'), over = most + "b";
    const std::string tooLong = "has a name part longer than 255 characters";
    const struct
    {
        std::string name, fault;
    } names[] = {{most, ""},          {most + "/" + most, ""},     {over, tooLong},  {"images/" + over, tooLong},
                 {over + "/x.png", tooLong}, {"a//" + over, tooLong}, {"../" + over, "lies outside its folder"}};
    for (const auto& n : names)
        EXPECT_EQ(n.fault, TaskDownload::nameFault(n.name)) << n.name;
}

TEST(TaskDownloadTest, LinksLeadingOutOfTheFolderAreFound)
{
    namespace fs = std::filesystem;
    const std::string scratch = TestSupport::scratchFolder() + "task-download/";
    const std::string folder = scratch + "package/";
    // Each link, by its path in the package and its target, and whether it leads out.
    const struct
    {
        const char* link;
        const char* target;
        bool leaves;
    } links[] = {
        {"images/same.png", "own.png", false},
        {"images/up.png", "../dlc.task", false},
        {"sounds", "images", false},
        {"images/out.png", "../../outside.png", true},
        {"images/absolute.png", "/etc/hostname", true},
        {"images/nowhere.png", "missing.png", true},
        {"metadata", "..", true},
        {"images/deep/round.png", "../../../package/images/own.png", false},
        {"images/deep/far.png", "../../../package/../outside.png", true},
    };
    for (const auto& l : links)
    {
        fs::remove_all(scratch);
        fs::create_directories(folder + "images/deep");
        ProfileTest::writeText(folder + "images/own.png", "own");
        ProfileTest::writeText(folder + "dlc.task", "{}");
        ProfileTest::writeText(scratch + "outside.png", "outside");
        EXPECT_EQ("", TaskDownload::linkLeavingFolder(folder)) << "no link";
        fs::create_symlink(l.target, folder + l.link);
        EXPECT_EQ(l.leaves ? l.link : "", TaskDownload::linkLeavingFolder(folder)) << l.link;
        // Reached through a link itself, the package is the folder it leads to.
        fs::create_directory_symlink("package", scratch + "linked");
        EXPECT_EQ(l.leaves ? l.link : "", TaskDownload::linkLeavingFolder(scratch + "linked/")) << l.link;
    }
    EXPECT_EQ("", TaskDownload::linkLeavingFolder(scratch + "none/")) << "no folder, nothing to check";
    fs::remove_all(scratch);
}
