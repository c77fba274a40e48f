// PNG loading and saving. Every file used here is written by the test itself
// with libpng; broken files are valid ones cut or altered byte by byte.
//
// The committed broken-file folder (tests/data/png/malformed) and the fuzz
// seeds (tests/fuzz/corpus/png) come from the generators below: run
//   TOVRANE_WRITE_PNG_CORPUS=1 test_Graphics --gtest_filter='PngCorpus.*'
// to write them again.

#include "Tovrane/Texture.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;
typedef std::vector<unsigned char> Bytes;
typedef std::vector<std::pair<std::string, Bytes>> NamedFiles;
namespace fs = std::filesystem;

// A file in this process's own scratch folder, removed when the process ends.
std::string temp(const std::string& name)
{
    static const struct Folder
    {
        fs::path path = fs::temp_directory_path() / ("tovrane-png-" + std::to_string(::getpid()));
        Folder() { fs::create_directories(path); }
        ~Folder() { fs::remove_all(path); }
    } folder;
    return (folder.path / name).string();
}

std::string testData(const std::string& relative) { return std::string(TOVRANE_TEST_DATA) + "/" + relative; }

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

// ---------------------------------------------------------------- encoder

// One PNG image as libpng takes it: raw rows (packed below 8 bits, big-endian
// at 16 bits) and the header fields.
struct Image
{
    int width = 0, height = 0, bitDepth = 8, colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette;
    Bytes transparency;
    std::vector<Bytes> rows;
};

Bytes encode(const Image& image)
{
    Bytes out;
    std::vector<png_bytep> rows;
    for (const Bytes& row : image.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            Bytes* o = static_cast<Bytes*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + length);
        },
        [](png_structp) {});
    png_set_check_for_invalid_index(png, 0); // some tests write indices past the palette
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colourType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty())
        png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
    if (!image.transparency.empty())
        png_set_tRNS(png, info, image.transparency.data(), static_cast<int>(image.transparency.size()), nullptr);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// An image whose sample c of pixel (x, y) is sample(x, y, c), packed first
// sample in the high bits below 8 bits, big-endian at 16.
template <typename F> Image makeImage(int width, int height, int depth, int colourType, int channels, F sample)
{
    Image image;
    image.width = width;
    image.height = height;
    image.bitDepth = depth;
    image.colourType = colourType;
    for (int y = 0; y < height; ++y)
    {
        Bytes row((width * channels * depth + 7) / 8, 0);
        for (int i = 0; i < width * channels; ++i)
        {
            const unsigned s = sample(i / channels, y, i % channels);
            if (depth == 16)
            {
                row[2 * i] = static_cast<unsigned char>(s >> 8);
                row[2 * i + 1] = static_cast<unsigned char>(s);
            }
            else
                row[i * depth / 8] |= static_cast<unsigned char>(s << (8 - depth - i * depth % 8));
        }
        image.rows.push_back(row);
    }
    return image;
}

std::vector<png_color> makePalette(int count)
{
    std::vector<png_color> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back(png_color{static_cast<png_byte>(i * 13 + 5), static_cast<png_byte>(250 - i * 7),
                                    static_cast<png_byte>(i * i)});
    return palette;
}

unsigned paletteIndex(int x, int y, int depth, int count)
{
    return static_cast<unsigned>((x * 3 + y * 5) % std::min(1 << depth, count));
}

Image paletteImage(int width, int height, int depth, int count)
{
    Image image = makeImage(width, height, depth, PNG_COLOR_TYPE_PALETTE, 1,
                            [&](int x, int y, int) { return paletteIndex(x, y, depth, count); });
    image.palette = makePalette(count);
    return image;
}

unsigned rgbaSample(int x, int y, int c) { return static_cast<unsigned>((x * 31 + y * 17 + c * 67) & 0xFF); }

Image rgbaImage(int width, int height, bool alpha)
{
    return makeImage(width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, alpha ? 4 : 3,
                     rgbaSample);
}

Image interlaced(Image image)
{
    image.interlaced = true;
    return image;
}

// ---------------------------------------------------------------- chunks

struct Chunk
{
    std::size_t offset; // of the length field
    std::uint32_t length;
    std::size_t end() const { return offset + 12 + length; }
};

std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

Chunk find(const Bytes& b, const std::string& type)
{
    for (std::size_t at = 8; at + 12 <= b.size(); at += 12 + get32(b, at))
        if (std::string(b.begin() + at + 4, b.begin() + at + 8) == type)
            return Chunk{at, get32(b, at)};
    ADD_FAILURE() << "no chunk " << type;
    return Chunk{8, 0};
}

void fixCrc(Bytes& b, const Chunk& c)
{
    put32(b, c.offset + 8 + c.length, static_cast<std::uint32_t>(crc32(0, b.data() + c.offset + 4, c.length + 4)));
}

Bytes bytesOf(const Bytes& b, const Chunk& c) { return Bytes(b.begin() + c.offset, b.begin() + c.end()); }

Bytes without(Bytes b, const Chunk& c)
{
    b.erase(b.begin() + c.offset, b.begin() + c.end());
    return b;
}

Bytes insertedAt(Bytes b, std::size_t at, const Bytes& part)
{
    b.insert(b.begin() + at, part.begin(), part.end());
    return b;
}

Bytes cut(const Bytes& b, std::size_t size) { return Bytes(b.begin(), b.begin() + std::min(size, b.size())); }

// Sets 4 (width, height) or 1 (bit depth ... interlace) bytes at `field` of
// the IHDR and repairs its checksum.
Bytes withHeader(Bytes b, std::size_t field, std::uint32_t value, bool word = false)
{
    const Chunk ihdr = find(b, "IHDR");
    if (word)
        put32(b, ihdr.offset + 8 + field, value);
    else
        b[ihdr.offset + 8 + field] = static_cast<unsigned char>(value);
    fixCrc(b, ihdr);
    return b;
}

Bytes withSize(const Bytes& b, std::uint32_t width, std::uint32_t height)
{
    return withHeader(withHeader(b, 0, width, true), 4, height, true);
}

// ---------------------------------------------------------------- corpora

// Broken files: each must load as an empty texture with a message.
NamedFiles malformedFiles()
{
    const Bytes rgba = encode(rgbaImage(16, 16, true));
    const Bytes palette = encode(paletteImage(13, 9, 4, 16));
    const Bytes interlacedRgb = encode(interlaced(rgbaImage(33, 17, false)));
    const Chunk idat = find(rgba, "IDAT"), ihdr = find(rgba, "IHDR"), plte = find(palette, "PLTE");
    const Chunk paletteIdat = find(palette, "IDAT"), interlacedIdat = find(interlacedRgb, "IDAT");

    NamedFiles files;
    auto add = [&](const std::string& name, const Bytes& bytes) { files.emplace_back(name + ".png", bytes); };
    auto flipped = [&](Bytes b, std::size_t at, unsigned char bits) {
        b[at] ^= bits;
        return b;
    };

    // Cut short at several places.
    add("truncated-empty", Bytes());
    add("truncated-in-signature", cut(rgba, 5));
    add("truncated-after-signature", cut(rgba, 8));
    add("truncated-in-ihdr", cut(rgba, 20));
    add("truncated-after-ihdr", cut(rgba, ihdr.end()));
    add("truncated-in-idat-header", cut(rgba, idat.offset + 6));
    add("truncated-in-idat", cut(rgba, idat.offset + 8 + idat.length / 2));
    add("truncated-in-idat-checksum", cut(rgba, idat.end() - 2));
    add("truncated-in-plte", cut(palette, plte.offset + 8 + plte.length / 2));
    add("truncated-palette-in-idat", cut(palette, paletteIdat.offset + 8 + paletteIdat.length / 3));
    add("truncated-interlaced-in-idat", cut(interlacedRgb, interlacedIdat.offset + 8 + interlacedIdat.length / 2));

    // Damaged checksums and signature.
    add("bad-crc-ihdr", flipped(rgba, ihdr.end() - 1, 0x40));
    add("bad-crc-idat", flipped(rgba, idat.end() - 3, 0x01));
    add("bad-crc-plte", flipped(palette, plte.end() - 4, 0x80));
    add("bad-signature", flipped(rgba, 1, 'P' ^ 'Q'));

    // Sizes past the limit or outside the format.
    add("huge-100000x100000", withSize(rgba, 100000, 100000));
    add("huge-4097x16", withSize(rgba, 4097, 16));
    add("huge-16x4097", withSize(rgba, 16, 4097));
    add("huge-8193x16", withSize(rgba, 8193, 16));
    add("huge-2048x1537", withSize(rgba, 2048, 1537));
    add("huge-2147483648x1", withSize(rgba, 0x80000000u, 1));
    add("huge-4294967295x4294967295", withSize(rgba, 0xFFFFFFFFu, 0xFFFFFFFFu));
    add("zero-width", withSize(rgba, 0, 16));
    add("zero-height", withSize(rgba, 16, 0));

    // Chunks out of order, repeated or missing.
    add("order-idat-before-ihdr", insertedAt(without(rgba, idat), 8, bytesOf(rgba, idat)));
    const Bytes noPlte = without(palette, plte);
    add("order-plte-after-idat", insertedAt(noPlte, find(noPlte, "IDAT").end(), bytesOf(palette, plte)));
    add("order-iend-first", insertedAt(rgba, 8, bytesOf(rgba, find(rgba, "IEND"))));
    add("order-ihdr-twice", insertedAt(rgba, ihdr.end(), bytesOf(rgba, ihdr)));
    add("missing-ihdr", without(rgba, ihdr));
    add("missing-plte", noPlte);
    add("missing-idat", without(rgba, idat));

    // Header fields the format does not allow.
    add("bad-bit-depth-rgb-4", withHeader(rgba, 8, 4));
    add("bad-bit-depth-palette-16", withHeader(palette, 8, 16));
    add("bad-colour-type-5", withHeader(rgba, 9, 5));
    add("bad-compression-method", withHeader(rgba, 10, 1));
    add("bad-filter-method", withHeader(rgba, 11, 7));
    add("bad-interlace-method", withHeader(rgba, 12, 2));

    // Damaged image data with valid checksums.
    Bytes b = rgba;
    std::fill(b.begin() + idat.offset + 10, b.begin() + idat.end() - 4, 0xFF);
    fixCrc(b, idat);
    add("corrupt-deflate", b);
    b = rgba;
    b[idat.offset + 8] = 0x00;
    fixCrc(b, idat);
    add("corrupt-zlib-header", b);
    b = flipped(rgba, idat.end() - 6, 0x55); // inside the zlib checksum
    fixCrc(b, idat);
    add("corrupt-adler32", b);
    // Image data for 8 rows under a header that promises 16.
    add("short-image-data", withSize(encode(rgbaImage(16, 8, true)), 16, 16));
    b = rgba;
    put32(b, idat.offset, 0x7FFFFFF0u);
    add("chunk-length-huge", b);
    put32(b, idat.offset, 0x80000000u);
    add("chunk-length-negative", b);
    return files;
}

// Seeds for the PNG fuzz target: small valid files of every kind the loader
// handles, and a few broken ones.
NamedFiles seedFiles()
{
    NamedFiles files;
    auto add = [&](const std::string& name, const Image& image) {
        files.emplace_back("valid-" + name + ".png", encode(image));
    };
    for (int depth : {1, 2, 4, 8})
        add("palette-" + std::to_string(depth), paletteImage(7, 5, depth, std::min(1 << depth, 12)));
    Image withAlpha = paletteImage(6, 3, 8, 20);
    withAlpha.transparency = Bytes{0, 128, 255};
    add("palette-trns", withAlpha);
    add("rgb", rgbaImage(5, 4, false));
    add("rgba", rgbaImage(4, 5, true));
    add("rgba-interlaced", interlaced(rgbaImage(9, 9, true)));
    add("palette-interlaced", interlaced(paletteImage(11, 10, 2, 4)));
    add("rgb-16", makeImage(3, 3, 16, PNG_COLOR_TYPE_RGB, 3, [](int x, int y, int c) { return x * 9000u + y * 300 + c; }));
    add("rgba-16",
        makeImage(3, 2, 16, PNG_COLOR_TYPE_RGB_ALPHA, 4, [](int x, int y, int c) { return x * 7000u + y * 11 + c; }));
    for (int depth : {1, 2, 4, 8, 16})
        add("grey-" + std::to_string(depth), makeImage(6, 3, depth, PNG_COLOR_TYPE_GRAY, 1, [&](int x, int y, int) {
                return static_cast<unsigned>((x + y) % (depth == 16 ? 65536 : 1 << depth));
            }));
    add("grey-alpha-8",
        makeImage(4, 4, 8, PNG_COLOR_TYPE_GRAY_ALPHA, 2, [](int x, int y, int c) { return c ? 255u - x : y * 40u; }));
    add("grey-alpha-16", makeImage(2, 2, 16, PNG_COLOR_TYPE_GRAY_ALPHA, 2,
                                   [](int x, int y, int c) { return c ? 65535u : x * 30000u + y; }));

    for (const auto& f : malformedFiles())
        for (const char* name : {"truncated-in-idat.png", "bad-crc-idat.png", "order-plte-after-idat.png",
                                 "huge-4097x16.png", "short-image-data.png"})
            if (f.first == name)
                files.emplace_back("broken-" + f.first, f.second);
    return files;
}

// The generated files followed by the committed ones, named "committed-...".
NamedFiles withCommitted(NamedFiles files, const std::string& folder)
{
    for (const auto& entry : fs::directory_iterator(testData(folder)))
        files.emplace_back("committed-" + entry.path().filename().string(), readFile(entry.path().string()));
    return files;
}

// Loads `bytes` from a file; `output` receives what was printed.
TexturePtr load(const Bytes& bytes, const std::string& name, std::string* output = nullptr)
{
    const std::string path = temp(name);
    writeFile(path, bytes);
    testing::internal::CaptureStdout();
    TexturePtr t = Texture::fromFile(path);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (output)
        *output = printed;
    else if (!t)
        std::cerr << printed;
    return t;
}
}

// ---------------------------------------------------------------- loading

TEST(PngLoad, PaletteFilesOfEveryBitDepth)
{
    for (int depth : {1, 2, 4, 8})
    {
        SCOPED_TRACE(depth);
        // Fewer palette entries than the depth allows, except at one bit; a
        // transparency chunk changes nothing: palette colours are opaque.
        const int count = depth == 1 ? 2 : (1 << depth) - 1;
        Image image = paletteImage(13, 3, depth, count);
        image.transparency = Bytes{0, 10};
        TexturePtr t = load(encode(image), "palette.png");
        ASSERT_TRUE(t);
        EXPECT_EQ(PixelFormat::Palette8, t->getFormat());
        EXPECT_EQ(13, t->getPitch());
        EXPECT_EQ(3, t->getHeight());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(static_cast<int>(paletteIndex(x, y, depth, count)), t->getPaletteIndex(x, y)) << x << "," << y;
        const std::vector<png_color> palette = makePalette(count);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(i < count ? Colour(palette[i].red, palette[i].green, palette[i].blue, 255) : Colour(0, 0, 0, 0),
                      t->getPaletteEntry(i))
                << "entry " << i;
    }

    // Indices past the file's palette read as the zero entries.
    Image image = makeImage(4, 1, 8, PNG_COLOR_TYPE_PALETTE, 1, [](int x, int, int) { return x * 60u; });
    image.palette = makePalette(2);
    TexturePtr t = load(encode(image), "past.png");
    ASSERT_TRUE(t);
    EXPECT_EQ(Colour(5, 250, 0, 255), t->getPixel(0, 0));
    EXPECT_EQ(180, t->getPaletteIndex(3, 0));
    EXPECT_EQ(Colour(0, 0, 0, 0), t->getPixel(3, 0));
}

TEST(PngLoad, RgbAndRgbaKeepTheirBytesInFileOrderAndTheHighByteOf16Bits)
{
    for (int depth : {8, 16})
        for (bool alpha : {true, false})
        {
            SCOPED_TRACE(testing::Message() << depth << (alpha ? " RGBA" : " RGB"));
            const int channels = alpha ? 4 : 3;
            TexturePtr t = load(encode(makeImage(5, 3, depth, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                                                 channels,
                                                 [&](int x, int y, int c) {
                                                     const unsigned v = rgbaSample(x, y, c);
                                                     return depth == 16 ? v << 8 | (x * 40 + c) : v;
                                                 })),
                                "rgb.png");
            ASSERT_TRUE(t);
            EXPECT_EQ(alpha ? PixelFormat::RGBA8888 : PixelFormat::RGB888, t->getFormat());
            EXPECT_EQ(5 * channels, t->getPitch());
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x)
                    for (int c = 0; c < channels; ++c)
                        EXPECT_EQ(rgbaSample(x, y, c), t->getPixels()[y * 5 * channels + x * channels + c]);
        }
}

TEST(PngLoad, InterlacedFilesReadLikePlainOnes)
{
    std::vector<Image> images = {rgbaImage(33, 17, false), rgbaImage(10, 7, true), paletteImage(19, 11, 4, 16),
                                 makeImage(9, 9, 2, PNG_COLOR_TYPE_GRAY, 1,
                                           [](int x, int y, int) { return unsigned(x ^ y) & 3; })};
    for (const Image& image : images)
    {
        TexturePtr plain = load(encode(image), "plain.png");
        TexturePtr adam7 = load(encode(interlaced(image)), "interlaced.png");
        ASSERT_TRUE(plain && adam7);
        ASSERT_EQ(plain->getSize(), adam7->getSize());
        EXPECT_EQ(0, std::memcmp(plain->getData(), adam7->getData(), plain->getSize()))
            << "colour type " << image.colourType;
    }
}

TEST(PngLoad, GreyFilesBecomeRgb)
{
    // Value 1 at 1, 2 and 4 bits spreads over the byte: 255, 85, 17.
    const int depths[] = {1, 2, 4, 8, 16};
    const unsigned char one[] = {255, 85, 17, 1, 0};
    for (int i = 0; i < 5; ++i)
    {
        const int depth = depths[i];
        SCOPED_TRACE(depth);
        const unsigned top = depth == 16 ? 0xABCD : (1u << depth) - 1;
        TexturePtr t = load(encode(makeImage(5, 2, depth, PNG_COLOR_TYPE_GRAY, 1,
                                             [&](int x, int y, int) { return x == 0 ? 1 : (y ? top : 0); })),
                            "grey.png");
        ASSERT_TRUE(t);
        EXPECT_EQ(PixelFormat::RGB888, t->getFormat());
        EXPECT_EQ(Colour(one[i], one[i], one[i], 255), t->getPixel(0, 0));
        EXPECT_EQ(Colour(0, 0, 0, 255), t->getPixel(3, 0));
        const unsigned char full = depth == 16 ? 0xAB : 255;
        EXPECT_EQ(Colour(full, full, full, 255), t->getPixel(4, 1));
    }

    for (int depth : {8, 16})
    {
        TexturePtr t = load(encode(makeImage(2, 2, depth, PNG_COLOR_TYPE_GRAY_ALPHA, 2,
                                             [&](int x, int y, int c) {
                                                 const unsigned v = c ? 10u * (x + 1) : 40u * (y + 1);
                                                 return depth == 16 ? v << 8 | 0x77 : v;
                                             })),
                            "grey-alpha.png");
        ASSERT_TRUE(t) << depth;
        EXPECT_EQ(PixelFormat::RGBA8888, t->getFormat());
        EXPECT_EQ(Colour(80, 80, 80, 10), t->getPixel(0, 1)) << depth;
        EXPECT_EQ(Colour(40, 40, 40, 20), t->getPixel(1, 0)) << depth;
    }
}

// Sides up to 8192; at most 12 MiB once decoded at 4 bytes a pixel, so that
// no picture from a file can fill the renderer's texture memory alone.
TEST(PngLoad, SizeLimits)
{
    const struct
    {
        int width, height;
        bool loads;
    } sizes[] = {{8192, 2, true}, {1, 8192, true}, {384, 8192, true}, {8193, 1, false}, {2048, 1537, false}};
    for (const auto& size : sizes)
    {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        Image image = makeImage(size.width, size.height, 1, PNG_COLOR_TYPE_PALETTE, 1,
                                [](int x, int y, int) { return unsigned(x ^ y) & 1; });
        image.palette = makePalette(2);
        std::string printed;
        TexturePtr t = load(encode(image), "size.png", &printed);
        ASSERT_EQ(size.loads, static_cast<bool>(t)) << printed;
        if (t)
            EXPECT_EQ(int((size.width - 1) ^ (size.height - 1)) & 1,
                      t->getPaletteIndex(size.width - 1, size.height - 1));
        else
            EXPECT_NE(std::string::npos, printed.find("Could not read file")) << printed;
    }
}

// The pixel data is whole; what follows it is not needed.
TEST(PngLoad, MissingEndStillLoads)
{
    const Bytes rgba = encode(rgbaImage(16, 16, true));
    const TexturePtr whole = load(rgba, "whole.png");
    ASSERT_TRUE(whole);
    for (const Bytes& file : {cut(rgba, find(rgba, "IEND").offset), cut(rgba, rgba.size() - 1)})
    {
        TexturePtr t = load(file, "no-end.png");
        ASSERT_TRUE(t);
        ASSERT_EQ(whole->getSize(), t->getSize());
        EXPECT_EQ(0, std::memcmp(whole->getData(), t->getData(), t->getSize()));
    }
}

TEST(PngLoad, MissingFileIsReportedAndEmpty)
{
    const std::string path = temp("no-such-file.png");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(Texture::fromFile(path));
    EXPECT_EQ("Could not find file " + path + "\n", testing::internal::GetCapturedStdout());
}

// Generated and committed broken files alike, each refused before libpng
// allocates what its header or a chunk length promises: together they load
// in a few kilobytes.
TEST(PngLoad, BrokenFilesLoadEmptyWithAMessage)
{
    const NamedFiles files = withCommitted(malformedFiles(), "png/malformed");
    EXPECT_GE(files.size(), 80u);
    rusage before = {}, after = {};
    getrusage(RUSAGE_SELF, &before);
    for (const auto& f : files)
    {
        std::string printed;
        EXPECT_FALSE(load(f.second, f.first, &printed)) << f.first;
        EXPECT_EQ(0u, printed.find("Could not read file " + temp(f.first) + ": ")) << f.first << ": " << printed;
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
        EXPECT_EQ(t.getFormat(), back->getFormat());
        EXPECT_EQ(t.getWidth(), back->getWidth());
        EXPECT_EQ(t.getHeight(), back->getHeight());
        EXPECT_EQ(pixelBytes(t), pixelBytes(*back));
        for (int i = 0; t.getPalette() && i < 256; ++i)
            ASSERT_EQ(t.getPaletteEntry(i), back->getPaletteEntry(i)) << i;
    };
    for (PixelFormat::Type format : {PixelFormat::RGB888, PixelFormat::RGBA8888})
    {
        Texture t(37, 5, format);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 37; ++x)
                t.setPixel(Colour(rgbaSample(x, y, 0), rgbaSample(x, y, 1), rgbaSample(x, y, 2), rgbaSample(x, y, 3)),
                           x, y);
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
    const Chunk ihdr = find(file, "IHDR"), plte = find(file, "PLTE"), trns = find(file, "tRNS");
    EXPECT_EQ(8, file[ihdr.offset + 16]);
    EXPECT_EQ(PNG_COLOR_TYPE_PALETTE, file[ihdr.offset + 17]);
    ASSERT_EQ(768u, plte.length);
    EXPECT_EQ(2, file[plte.offset + 8 + 3]);
    EXPECT_EQ(4, file[plte.offset + 8 + 8]);
    EXPECT_EQ((Bytes{255, 0}), Bytes(file.begin() + trns.offset + 8, file.begin() + trns.end() - 4));
}

TEST(PngSave, FailuresAreReportedAndKeepTheOldFile)
{
    // A library error: a PNG cannot be 0 pixels wide.
    const std::string path = temp("kept.png");
    const Bytes old = encode(rgbaImage(3, 3, true));
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
    EXPECT_EQ("Could not save file " + nowhere + "\n", testing::internal::GetCapturedStdout());
    EXPECT_FALSE(fs::exists(nowhere));
}

namespace
{
// Saves a 512 x 512 picture of noise with at most 64 KiB allowed per file, as
// on a full disk; exits with 0 when the save reported failure.
void saveOnAFullDisk(const std::string& path)
{
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
    const Bytes old = encode(rgbaImage(3, 3, true));
    writeFile(path, old);
    EXPECT_EXIT(saveOnAFullDisk(path), testing::ExitedWithCode(0), "");
    EXPECT_EQ(old, readFile(path));
}

TEST(PngSaveDeathTest, FormatsWithoutPngLayoutAreRefused)
{
    const std::string path = temp("refused.png"); // made here, not in the dying child
    for (PixelFormat::Type format : {PixelFormat::RGB565, PixelFormat::RGBA4444, PixelFormat::RGBA5551})
    {
        Texture t(2, 2, format, true, 0);
        EXPECT_DEATH(t.save(path), "Unsupported image type");
    }
}

// ---------------------------------------------------------------- corpora

// Generated and committed seeds load as their names say; the generators
// write the committed folders again when asked to.
TEST(PngCorpus, Generators)
{
    const NamedFiles seeds = seedFiles();
    const NamedFiles all = withCommitted(seeds, "../fuzz/corpus/png");
    EXPECT_GE(all.size(), 2 * seeds.size());
    for (const auto& f : all)
    {
        std::string printed;
        const bool valid = f.first.find("valid-") != std::string::npos;
        EXPECT_EQ(valid, static_cast<bool>(load(f.second, f.first, &printed))) << f.first << ": " << printed;
    }

    if (!std::getenv("TOVRANE_WRITE_PNG_CORPUS"))
        return;
    const std::pair<std::string, NamedFiles> folders[] = {{testData("png/malformed"), malformedFiles()},
                                                          {testData("../fuzz/corpus/png"), seeds}};
    for (const auto& folder : folders)
    {
        fs::create_directories(folder.first);
        for (const auto& f : folder.second)
            writeFile(folder.first + "/" + f.first, f.second);
    }
}
