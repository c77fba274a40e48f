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
                 {over + "/x.png", tooLong}, {"a//" + over, tooLong}, {"../" + over, "lies outside its folder"},
                 // A NUL would end the name early; no control character is taken.
                 {std::string("sheet.tex\0", 10), "holds a control character"},
                 {"two\nlines.png", "holds a control character"}, {"\x1b[2J.png", "holds a control character"},
                 {"del\x7f.png", "holds a control character"}, {"caf\xc3\xa9.png", ""}};
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
        {"images/loop.png", "loop.png", true},
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
        std::error_code why;
        EXPECT_EQ(l.leaves ? l.link : "", TaskDownload::linkLeavingFolder(folder, &why)) << l.link;
        // A loop is told from a link that leads somewhere.
        EXPECT_EQ(std::string(l.link) == "images/loop.png", why == std::errc::too_many_symbolic_link_levels) << l.link;
        // Reached through a link itself, the package is the folder it leads to.
        fs::create_directory_symlink("package", scratch + "linked");
        EXPECT_EQ(l.leaves ? l.link : "", TaskDownload::linkLeavingFolder(scratch + "linked/")) << l.link;
    }
    EXPECT_EQ("", TaskDownload::linkLeavingFolder(scratch + "none/")) << "no folder, nothing to check";
    fs::remove_all(scratch);
}

// A picture's header is read: what the PNG reader would refuse before the
// pixels is found without loading them.
TEST(TaskDownloadTest, PictureHeadersAreChecked)
{
    const std::string folder = TestSupport::scratchFolder() + "picture-headers/";
    std::filesystem::create_directories(folder + "folder.png");
    // The signature and an IHDR chunk of the given size (CRC not checked).
    auto png = [](std::uint32_t width, std::uint32_t height, const char* type = "IHDR") {
        std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\x0d", 12);
        bytes += type;
        for (std::uint32_t value : {width, height})
            for (int shift = 24; shift >= 0; shift -= 8)
                bytes += static_cast<char>(value >> shift & 0xff);
        return bytes + std::string("\x08\x06\0\0\0" "CRC!", 9);
    };
    const std::string bad = "cannot be read (not a PNG picture)", cut = "cannot be read (cut short)";
    const struct
    {
        const char* what;
        std::string bytes, fault;
    } pictures[] = {
        {"whole header", png(640, 480), ""},
        {"largest side", png(8192, 1), ""},
        {"text", "not a picture", bad},
        {"empty", "", cut},
        {"cut in the signature", std::string("\x89PN"), cut},
        {"cut in IHDR", png(640, 480).substr(0, 20), cut},
        {"cut before the CRC ends", png(640, 480).substr(0, 32), cut},
        {"another first chunk", png(640, 480, "IDAT"), bad},
        {"side too long", png(100000, 100000), "cannot be read (100000 x 100000 pixels, more than a picture may have)"},
        {"over the budget", png(8192, 8192), "cannot be read (8192 x 8192 pixels, more than a picture may have)"},
        {"no pixels", png(0, 5), "cannot be read (no pixels)"},
    };
    for (const auto& p : pictures)
    {
        ProfileTest::writeText(folder + "p.png", p.bytes);
        EXPECT_EQ(p.fault, TaskDownload::pictureFault(folder + "p.png")) << p.what;
    }
    EXPECT_EQ("cannot be read (a folder)", TaskDownload::pictureFault(folder + "folder.png"));
    EXPECT_EQ("cannot be read (No such file or directory)", TaskDownload::pictureFault(folder + "none.png"));
    std::filesystem::remove_all(folder);
}
