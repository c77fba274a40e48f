// What a downloaded task may reach: the names it gives, the symbolic links
// its folder holds, its own pictures and what kind of entries it holds.
#include "ProfileTestSupport.h"
#include "support/FileFaults.h"

#include "Resources/Profile/TaskDownload.h"
#include "Tovrane/Texture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>

using namespace Tovrane;

namespace
{
std::string word(std::uint32_t v) { return std::string{char(v >> 24), char(v >> 16 & 255), char(v >> 8 & 255), char(v & 255)}; }

// A PNG chunk of that type and data, with its length and CRC.
std::string chunk(const std::string& type, const std::string& data)
{
    const std::string body = type + data;
    return word(static_cast<std::uint32_t>(data.size())) + body +
           word(static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}
}

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

// A picture is walked chunk by chunk without decoding its pixels: what the
// PNG reader would refuse, a cut anywhere and a damaged chunk are found, and
// a whole picture says what its pixels take once read.
TEST(TaskDownloadTest, PictureHeadersAreChecked)
{
    const std::string folder = TestSupport::scratchFolder() + "picture-headers/";
    std::filesystem::create_directories(folder + "folder.png");
    // The signature, an IHDR chunk of that size, colour type and depth, then
    // the chunks given (whose data is not decoded, so need not be).
    auto png = [](std::uint32_t width, std::uint32_t height, char colour, const std::string& rest, char depth = 8) {
        return "\x89PNG\r\n\x1a\n" + chunk("IHDR", word(width) + word(height) + std::string{depth, colour, 0, 0, 0}) + rest;
    };
    const std::string pixels = chunk("IDAT", std::string(300, 'x')), end = chunk("IEND", "");
    const std::string whole = png(640, 480, 6, pixels + end);
    std::string flipped = whole;
    flipped[whole.size() - 13] ^= 1; // the last byte of the image data's CRC
    const std::string bad = "cannot be read (not a PNG picture)", cut = "cannot be read (cut short)";
    const struct
    {
        const char* what;
        std::string bytes, fault;
        std::uint64_t textureBytes;
    } pictures[] = {
        {"whole", whole, "", 640 * 480 * 4},
        {"RGB, ancillary chunk", png(640, 480, 2, chunk("tEXt", "a") + pixels + end), "", 640 * 480 * 3},
        {"palette", png(8, 2, 3, chunk("PLTE", "abc") + pixels + end), "", 8 * 2 * 4},
        {"palette missing", png(8, 2, 3, pixels + end), "cannot be read (no palette before its pixels)", 0},
        {"largest side", png(8192, 1, 6, pixels + end), "", 8192 * 4},
        {"text", "not a picture", bad, 0},
        {"empty", "", cut, 0},
        {"cut in the signature", "\x89PN", cut, 0},
        {"cut in IHDR", whole.substr(0, 20), cut, 0},
        {"cut before the CRC ends", whole.substr(0, 32), cut, 0},
        {"without IEND", whole.substr(0, whole.size() - 12), cut, 0},
        {"damaged CRC", flipped, "cannot be read (a damaged IDAT chunk)", 0},
        {"chunk type not letters", png(640, 480, 6, chunk("ID4T", "x") + end), "cannot be read (a damaged chunk)", 0},
        {"no image data", png(640, 480, 6, end), "cannot be read (no pixels)", 0},
        {"another first chunk", "\x89PNG\r\n\x1a\n" + chunk("IDAT", std::string(13, 0)) + end, bad, 0},
        {"depth of the colour type", png(640, 480, 2, pixels + end, 4), bad, 0},
        {"side too long", png(100000, 100000, 6, pixels + end),
         "cannot be read (100000 x 100000 pixels, more than a picture may have)", 0},
        {"over the budget", png(8192, 8192, 6, pixels + end),
         "cannot be read (8192 x 8192 pixels, more than a picture may have)", 0},
        {"no pixels", png(0, 5, 6, pixels + end), "cannot be read (no pixels)", 0},
        {"text chunk past the reader's limit", png(640, 480, 6, chunk("tEXt", std::string(1048577, 'a')) + pixels + end),
         "cannot be read (a tEXt chunk longer than a picture may have)", 0},
        // The reader reads nothing after the image data.
        {"private chunk past it after the pixels", png(8, 8, 6, pixels + chunk("prVt", std::string(1048577, 'a')) + end),
         "", 8 * 8 * 4},
        {"image data past it, within its rows", png(1024, 1024, 6, chunk("IDAT", std::string(1048577, 'x')) + end), "",
         1024 * 1024 * 4},
        {"image data past it and its rows", png(8, 8, 6, chunk("IDAT", std::string(1048577, 'x')) + end),
         "cannot be read (an IDAT chunk longer than its rows need)", 0},
        {"image data split", png(8, 8, 6, pixels + chunk("tEXt", "a") + pixels + end),
         "cannot be read (image data split by another chunk)", 0},
        {"empty image data", png(8, 8, 6, chunk("IDAT", "") + end), "cannot be read (no pixels)", 0},
        {"empty image data chunks beside data", png(8, 8, 6, chunk("IDAT", "") + pixels + chunk("IDAT", "") + end), "",
         8 * 8 * 4},
        {"second IHDR after the pixels", png(8, 8, 6, pixels + whole.substr(8, 25) + end),
         "cannot be read (a second IHDR chunk)", 0},
        {"unknown critical chunk", png(8, 8, 6, pixels + chunk("XHDR", "a") + end),
         "cannot be read (an unknown critical chunk XHDR)", 0},
        {"unknown ancillary chunk", png(8, 8, 6, chunk("xHDR", "a") + pixels + end), "", 8 * 8 * 4},
        // At 4 bits, a palette of 20 entries keeps 16.
        {"transparency of every entry the depth keeps",
         png(8, 2, 3, chunk("PLTE", std::string(60, 'p')) + chunk("tRNS", std::string(16, 't')) + pixels + end, 4), "",
         8 * 2 * 4},
        {"transparency past them",
         png(8, 2, 3, chunk("PLTE", std::string(60, 'p')) + chunk("tRNS", std::string(17, 't')) + pixels + end, 4),
         "cannot be read (a tRNS chunk of 17 bytes)", 0},
        {"transparency after the pixels", png(8, 2, 3, chunk("PLTE", "abc") + pixels + chunk("tRNS", "t") + end),
         "cannot be read (a misplaced tRNS chunk)", 0},
        {"grey transparency", png(8, 8, 0, chunk("tRNS", "tt") + pixels + end), "", 8 * 8 * 3},
        {"palette of a grey picture", png(8, 8, 0, chunk("PLTE", "abc") + pixels + end),
         "cannot be read (a PLTE chunk in a grey picture)", 0},
        {"palette of no whole entries", png(8, 8, 2, chunk("PLTE", "abcd") + pixels + end),
         "cannot be read (a PLTE chunk of 4 bytes)", 0},
        {"IEND with data", png(8, 8, 6, pixels + chunk("IEND", "x")), "cannot be read (an IEND chunk with data)", 0},
    };
    for (const auto& p : pictures)
    {
        ProfileTest::writeText(folder + "p.png", p.bytes);
        TaskDownload::PictureShape shape;
        EXPECT_EQ(p.fault, TaskDownload::pictureFault(folder + "p.png", &shape)) << p.what;
        EXPECT_EQ(p.textureBytes, shape.bytes()) << p.what;
    }
    EXPECT_EQ("cannot be read (a folder)", TaskDownload::pictureFault(folder + "folder.png"));
    EXPECT_EQ("cannot be read (No such file or directory)", TaskDownload::pictureFault(folder + "none.png"));
    std::filesystem::remove_all(folder);
}

// The walk refuses every broken picture the PNG reader refuses, without
// decoding: all but those whose compressed data is damaged or too short,
// which only the reader finds, at play. Whole pictures pass both, and so does
// a long chunk after the image data, where the reader does not read.
TEST(TaskDownloadTest, PictureWalkRefusesWhatTheReaderRefuses)
{
    namespace fs = std::filesystem;
    auto reads = [](const std::string& path) {
        testing::internal::CaptureStdout();
        const TexturePtr texture = Texture::fromFile(path);
        testing::internal::GetCapturedStdout();
        return texture;
    };
    const std::set<std::string> damagedData = {"corrupt-adler32.png", "corrupt-deflate.png", "corrupt-zlib-header.png",
                                               "short-image-data.png", "huge-16x4097.png",  "huge-4097x16.png"};
    const std::string data = TOVRANE_TEST_DATA;
    std::size_t broken = 0, whole = 0;
    for (const fs::directory_entry& file : fs::directory_iterator(data + "/png/malformed"))
    {
        const std::string name = file.path().filename().string();
        EXPECT_FALSE(reads(file.path().string())) << name;
        EXPECT_EQ(damagedData.count(name) == 0, !TaskDownload::pictureFault(file.path().string()).empty()) << name;
        ++broken;
    }
    EXPECT_GE(broken, 67u);
    for (const fs::directory_entry& file : fs::directory_iterator(data + "/../fuzz/corpus/png"))
    {
        if (file.path().filename().string().compare(0, 6, "valid-") != 0)
            continue;
        const TexturePtr texture = reads(file.path().string());
        TaskDownload::PictureShape shape;
        EXPECT_EQ("", TaskDownload::pictureFault(file.path().string(), &shape)) << file.path();
        ASSERT_TRUE(texture) << file.path();
        EXPECT_EQ(std::make_pair(texture->getWidth(), texture->getHeight()),
                  std::make_pair(static_cast<int>(shape.width), static_cast<int>(shape.height)));
        ++whole;
    }
    EXPECT_GE(whole, 18u);

    // One size rule: a text chunk over 1 MiB is refused by both before the
    // image data and taken by both after it.
    const std::string path = TestSupport::scratchFolder() + "long-text.png";
    ASSERT_TRUE(Texture(4, 4, PixelFormat::RGBA8888, true, 9).save(path));
    std::ifstream in(path, std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string text = chunk("tEXt", "long" + std::string(1048573, ' '));
    for (const std::size_t at : {saved.find("IDAT") - 4, saved.size() - 12})
    {
        const bool after = at > saved.find("IDAT");
        ProfileTest::writeText(path, std::string(saved).insert(at, text));
        EXPECT_EQ(after, static_cast<bool>(reads(path))) << at;
        EXPECT_EQ(after, TaskDownload::pictureFault(path).empty()) << at;
    }
    fs::remove(path);
}

// A pipe or a socket in a download is known by its type and refused without
// being opened (an open of it would fail otherwise); plain files are opened.
TEST(TaskDownloadTest, EntriesThatAreNoPlainFilesAreRefusedByTheirType)
{
    const std::string folder = TestSupport::scratchFolder() + "entry-types/";
    std::filesystem::create_directories(folder + "metadata");
    ProfileTest::writeText(folder + "dlc.task", "{}");
    std::error_code why;
    FileFaults::failOpensOf("dlc.task", EIO);
    EXPECT_EQ("dlc.task", TaskDownload::unreadableEntry(folder, why));
    FileFaults::failOpensOf("dlc.task", 0);
    EXPECT_EQ("", TaskDownload::unreadableEntry(folder, why));

    for (const bool pipe : {true, false})
    {
        const std::string name = pipe ? "pipe.tex" : "socket.ogg", path = folder + "metadata/" + name;
        sockaddr_un address = {AF_UNIX, {}};
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        const int socket = pipe ? -1 : ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(0, pipe ? ::mkfifo(path.c_str(), 0644) : ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address));
        FileFaults::failOpensOf(name.c_str(), EIO);
        std::string what;
        EXPECT_EQ("metadata/" + name, TaskDownload::unreadableEntry(folder, why, &what));
        EXPECT_EQ(std::errc::not_supported, why) << name;
        EXPECT_EQ(pipe ? "a pipe" : "a socket", what);
        FileFaults::failOpensOf(name.c_str(), 0);
        if (socket >= 0)
            ::close(socket);
        std::filesystem::remove(path);
    }
    std::filesystem::remove_all(folder);
}
