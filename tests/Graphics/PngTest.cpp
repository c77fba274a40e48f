// PNG loading and saving. Valid files are the PNG fuzz seeds, read back as
// libpng itself reads them; broken ones are the committed files in
// tests/data/png/malformed. Both are written by tools/PngCorpus.cpp.

#include "support/DataRoot.h"

#include "Tovrane/Texture.h"

#include "PngFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;
typedef std::vector<unsigned char> Bytes;
namespace fs = std::filesystem;

// A file in this process's scratch folder.
std::string temp(const std::string& name) { return TestSupport::scratchFolder() + name; }

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> filesIn(const std::string& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(std::string(TOVRANE_TEST_DATA) + "/" + folder))
        files.push_back(entry.path());
    return files;
}

// Loads `path`; `output` receives what was printed.
TexturePtr load(const std::string& path, std::string* output)
{
    testing::internal::CaptureStdout();
    TexturePtr t = Texture::fromFile(path);
    *output = testing::internal::GetCapturedStdout();
    return t;
}

bool named(const fs::path& path, const char* part) { return path.filename().string().find(part) != std::string::npos; }

// Big-endian 32-bit value at `at`.
std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// The offset of the length field of the first chunk of `type`.
std::size_t find(const Bytes& b, const std::string& type)
{
    for (std::size_t at = 8; at + 12 <= b.size(); at += 12 + get32(b, at))
        if (std::string(b.begin() + at + 4, b.begin() + at + 8) == type)
            return at;
    ADD_FAILURE() << "no chunk " << type;
    return 8;
}
}

// ---------------------------------------------------------------- loading

// Palette files keep their indices and their colours, opaque; grey becomes RGB
// (low depths spread over the byte); 16 bits keep the high byte; interlaced
// files read like plain ones: every pixel as libpng reads it for the tools.
TEST(PngLoad, ValidFilesOfEveryKindReadAsLibpngReadsThem)
{
    int checked = 0;
    for (const fs::path& path : filesIn("../fuzz/corpus/png"))
    {
        if (!named(path, "valid-"))
            continue;
        SCOPED_TRACE(path.filename().string());
        std::string printed;
        TexturePtr t = load(path.string(), &printed);
        ASSERT_TRUE(t) << printed;
        const bool palette = named(path, "palette"), alpha = named(path, "rgba") || named(path, "alpha");
        EXPECT_EQ(palette ? PixelFormat::Palette8 : alpha ? PixelFormat::RGBA8888 : PixelFormat::RGB888, t->getFormat());
        if (named(path, "past-end"))
        {
            // Indices past the file's two colours read as the zero entries.
            EXPECT_EQ(Colour(5, 250, 0, 255), t->getPixel(0, 0));
            EXPECT_EQ(180, t->getPaletteIndex(3, 0));
            EXPECT_EQ(Colour(0, 0, 0, 0), t->getPixel(3, 0));
            continue;
        }
        TovraneTools::Picture reference;
        ASSERT_TRUE(TovraneTools::readPng(path.string(), reference));
        ASSERT_EQ(reference.width(), t->getWidth());
        ASSERT_EQ(reference.height(), t->getHeight());
        for (int y = 0; y < t->getHeight(); ++y)
            for (int x = 0; x < t->getWidth(); ++x)
            {
                const TovraneTools::Colour c = reference.get(x, y);
                ASSERT_EQ(Colour(c.r, c.g, c.b, palette ? 255 : c.a), t->getPixel(x, y)) << x << "," << y;
            }
        ++checked;
    }
    EXPECT_GE(checked, 18);
}

// Sides up to 8192, and at most 12 MiB once decoded at 4 bytes a pixel, so
// that no picture from a file can fill the renderer's texture memory alone.
TEST(PngLoad, SizeLimitsAndMissingFilesAreReported)
{
    const struct
    {
        int width, height;
        bool loads;
    } sizes[] = {{8192, 2, true}, {1, 8192, true}, {384, 8192, true}, {8193, 1, false}, {2048, 1537, false}};
    std::string printed;
    for (const auto& size : sizes)
    {
        const std::string path = temp("size.png");
        ASSERT_TRUE(Texture(size.width, size.height, PixelFormat::RGB888, true, 0).save(path));
        TexturePtr t = load(path, &printed);
        EXPECT_EQ(size.loads, static_cast<bool>(t)) << size.width << "x" << size.height;
        EXPECT_EQ(size.loads ? std::string() : "Could not read file " + path, printed.substr(0, printed.find(':')));
    }

    const std::string missing = temp("no-such-file.png");
    EXPECT_FALSE(load(missing, &printed));
    EXPECT_EQ("Could not find file " + missing + "\n", printed);

    // Only a regular file is read: a pipe is not waited on, a folder not tried.
    const std::string pipe = temp("pipe.png"), folder = temp("folder.png");
    ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0644));
    fs::create_directory(folder);
    EXPECT_FALSE(load(pipe, &printed));
    EXPECT_EQ("Could not read file " + pipe + ": it is a pipe\n", printed);
    EXPECT_FALSE(load(folder, &printed));
    EXPECT_EQ("Could not read file " + folder + ": it is a folder\n", printed);
}

// The pixel data is whole; what follows it is not needed.
TEST(PngLoad, MissingEndStillLoads)
{
    const std::string path = temp("whole.png");
    Texture picture(16, 16, PixelFormat::RGBA8888, true, 0);
    for (int i = 0; i < 256; ++i)
        picture.setPixel(Colour(i, 255 - i, i * 7, 255), i % 16, i / 16);
    ASSERT_TRUE(picture.save(path));
    const Bytes whole = readFile(path);
    std::string printed;
    for (std::size_t size : {find(whole, "IEND"), whole.size() - 1})
    {
        writeFile(temp("no-end.png"), Bytes(whole.begin(), whole.begin() + size));
        TexturePtr t = load(temp("no-end.png"), &printed);
        ASSERT_TRUE(t) << printed;
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(picture.getPixel(i % 16, i / 16), t->getPixel(i % 16, i / 16)) << i;
    }
}

// Cut short, damaged checksums (of ancillary chunks too), impossible or
// oversized headers, chunks out of order, repeated or unknown, palettes and
// transparency the format does not allow and damaged image data, each refused
// before libpng allocates what its header or a chunk length promises:
// together they load in a few kilobytes.
TEST(PngLoad, BrokenFilesLoadEmptyWithAMessage)
{
    const std::vector<fs::path> files = filesIn("png/malformed");
    EXPECT_GE(files.size(), 67u);
    rusage before = {}, after = {};
    getrusage(RUSAGE_SELF, &before);
    for (const fs::path& path : files)
    {
        std::string printed;
        EXPECT_FALSE(load(path.string(), &printed)) << path;
        EXPECT_EQ(0u, printed.find("Could not read file " + path.string() + ": ")) << path << ": " << printed;
    }
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024) << "KiB more at the peak";
}

// ---------------------------------------------------------------- saving

namespace
{
Bytes pixelBytes(const Texture& t)
{
    return Bytes(t.getPixels(), t.getPixels() + static_cast<std::size_t>(t.getPitch()) * t.getHeight());
}
}

TEST(PngSave, RoundTripsInEverySavableFormat)
{
    // Each save replaces a longer older file whole.
    auto roundTrip = [](const Texture& t) {
        SCOPED_TRACE(t.getFormat());
        const std::string path = temp("round.png");
        writeFile(path, Bytes(100000, 'x'));
        ASSERT_TRUE(t.save(path));
        ASSERT_LT(readFile(path).size(), 10000u);
        TexturePtr back = Texture::fromFile(path);
        ASSERT_TRUE(back);
        EXPECT_EQ(std::make_tuple(t.getFormat(), t.getWidth(), t.getHeight(), pixelBytes(t)),
                  std::make_tuple(back->getFormat(), back->getWidth(), back->getHeight(), pixelBytes(*back)));
        for (int i = 0; t.getPalette() && i < 256; ++i)
            ASSERT_EQ(t.getPaletteEntry(i), back->getPaletteEntry(i)) << i;
    };
    for (PixelFormat::Type format : {PixelFormat::RGB888, PixelFormat::RGBA8888})
    {
        Texture t(37, 5, format);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 37; ++x)
                t.setPixel(Colour(x * 31 + y * 17, x * 7, y * 67, x * 5 + y), x, y);
        roundTrip(t);
    }
    Texture p(11, 6, PixelFormat::Palette8, true, 0);
    for (int i = 0; i < 256; ++i)
        p.setPaletteEntry(Colour(static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i),
                                 static_cast<unsigned char>(i * 7), 255),
                          i);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 11; ++x)
            p.setPixel(x * 23 + y * 41, x, y);
    roundTrip(p);
}

TEST(PngSave, PaletteIsWrittenWithItsAlpha)
{
    Texture p(3, 1, PixelFormat::Palette8, true, 0);
    for (int i = 0; i < 256; ++i)
        p.setPaletteEntry(Colour(static_cast<unsigned char>(i + 1), 5, static_cast<unsigned char>(i + 2), i == 1 ? 0 : 255),
                          i);
    const std::string path = temp("palette-alpha.png");
    ASSERT_TRUE(p.save(path));

    // Colour type 3 at 8 bits, every entry, and alpha up to the last entry that is not opaque.
    const Bytes file = readFile(path);
    const std::size_t ihdr = find(file, "IHDR"), plte = find(file, "PLTE"), trns = find(file, "tRNS");
    EXPECT_EQ((Bytes{8, 3}), Bytes(file.begin() + ihdr + 16, file.begin() + ihdr + 18));
    ASSERT_EQ(768u, get32(file, plte));
    EXPECT_EQ((Bytes{1, 5, 2, 2, 5, 3, 3, 5, 4}), Bytes(file.begin() + plte + 8, file.begin() + plte + 17));
    ASSERT_EQ(2u, get32(file, trns));
    EXPECT_EQ((Bytes{255, 0}), Bytes(file.begin() + trns + 8, file.begin() + trns + 10));
}

TEST(PngSave, FailuresAreReportedAndKeepTheOldFile)
{
    // A library error: a PNG cannot be 0 pixels wide.
    const std::string path = temp("kept.png");
    const Bytes old(300, 'o');
    writeFile(path, old);
    Texture empty(0, 4, PixelFormat::RGBA8888);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(empty.save(path));
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0u, printed.find("Could not save file " + path)) << printed;
    EXPECT_EQ(old, readFile(path));
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
        files += entry.path().filename().string().find("kept") != std::string::npos;
    EXPECT_EQ(1, files);

    // A folder that does not exist.
    const std::string nowhere = temp("no-such-folder/picture.png");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(Texture(2, 2, PixelFormat::RGB888, true, 0).save(nowhere));
    EXPECT_EQ("Could not save file " + nowhere + ": No such file or directory\n", testing::internal::GetCapturedStdout());
    EXPECT_FALSE(fs::exists(nowhere));
}

namespace
{
// Saves a 512 x 512 picture of noise with at most 64 KiB allowed per file, as
// on a full disk; exits with 0 when the save reported failure.
void saveOnAFullDisk(const std::string& path)
{
    const int said = ::open(temp("full.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(said, STDOUT_FILENO);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {65536, 65536};
    setrlimit(RLIMIT_FSIZE, &limit);
    Texture t(512, 512, PixelFormat::RGBA8888);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < t.getSize(); ++i)
    {
        state = state * 1103515245u + 12345u;
        t.getData()[i] = static_cast<unsigned char>(state >> 24);
    }
    std::_Exit(t.save(path) ? 1 : 0); // no static clean-up in the child
}
}

TEST(PngSaveDeathTest, FullDiskKeepsTheOldFile)
{
    const std::string path = temp("full.png");
    const Bytes old(300, 'o');
    writeFile(path, old);
    EXPECT_EXIT(saveOnAFullDisk(path), testing::ExitedWithCode(0), "");
    EXPECT_EQ(old, readFile(path));
    const Bytes said = readFile(temp("full.txt"));
    EXPECT_EQ("Could not save file " + path + ": File too large\n", std::string(said.begin(), said.end()));
}
