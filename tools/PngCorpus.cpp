// Writes the PNG test files: broken pictures, each of which the loader must
// refuse with a message, into OUT/malformed/, and the seeds of the PNG fuzz
// target (small valid files of every kind the loader handles and a few broken
// ones) into OUT/seeds/. Every file is a picture written with libpng and then,
// for the broken ones, cut or altered byte by byte.
//
//   tovrane-png-corpus OUT
//
// The committed copies live in tests/data/png/malformed and tests/fuzz/corpus/png.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace
{
typedef std::vector<unsigned char> Bytes;
typedef std::vector<std::pair<std::string, Bytes>> NamedFiles;

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
    std::fprintf(stderr, "no chunk %s\n", type.c_str());
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

// A whole chunk: length, type, data and checksum.
Bytes chunk(const std::string& type, const Bytes& data)
{
    Bytes b(12 + data.size());
    put32(b, 0, static_cast<std::uint32_t>(data.size()));
    std::copy(type.begin(), type.end(), b.begin() + 4);
    std::copy(data.begin(), data.end(), b.begin() + 8);
    fixCrc(b, Chunk{0, static_cast<std::uint32_t>(data.size())});
    return b;
}

Bytes joined(std::initializer_list<Bytes> parts)
{
    Bytes b;
    for (const Bytes& part : parts)
        b.insert(b.end(), part.begin(), part.end());
    return b;
}

// `b` with `part` put before its first chunk of `type`.
Bytes insertedBefore(const Bytes& b, const std::string& type, const Bytes& part)
{
    return insertedAt(b, find(b, type).offset, part);
}

// `b` with the data of its first chunk of `type` replaced.
Bytes withData(const Bytes& b, const std::string& type, const Bytes& data)
{
    const Chunk c = find(b, type);
    return insertedAt(without(b, c), c.offset, chunk(type, data));
}

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
    const Bytes text = insertedBefore(rgba, "IDAT", chunk("tEXt", Bytes{'a', 0, 'b'}));
    add("bad-crc-text", flipped(text, find(text, "tEXt").end() - 1, 0x10));

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
    // The image data in two chunks with a text chunk between them; the
    // compressed stream runs on into the second.
    const Bytes data(rgba.begin() + idat.offset + 8, rgba.begin() + idat.end() - 4);
    add("order-idat-split", insertedAt(without(rgba, idat), idat.offset,
                                       joined({chunk("IDAT", Bytes(data.begin(), data.begin() + 10)),
                                               chunk("tEXt", Bytes{'a', 0, 'b'}),
                                               chunk("IDAT", Bytes(data.begin() + 10, data.end()))})));
    add("idat-lone-empty", insertedAt(without(rgba, idat), idat.offset, chunk("IDAT", Bytes())));
    add("chunk-critical-unknown", insertedBefore(rgba, "IDAT", chunk("XHDR", Bytes{1, 2, 3})));

    // Palettes and transparency the format does not allow: a palette of no,
    // part of an or more than 256 entries, two of them, one in a grey
    // picture or after the transparency; transparency before the palette,
    // longer than the palette or than the depth's 2^depth entries, empty,
    // twice, of the wrong size for grey or RGB, or beside an alpha channel.
    const Bytes rgb = encode(rgbaImage(16, 16, false));
    const Bytes grey = encode(makeImage(8, 8, 8, PNG_COLOR_TYPE_GRAY, 1, rgbaSample));
    const Bytes plteData = bytesOf(palette, plte);
    const Bytes entries(plteData.begin() + 8, plteData.end() - 4);
    add("plte-empty", withData(palette, "PLTE", Bytes()));
    add("plte-not-whole-entries", withData(palette, "PLTE", Bytes(entries.size() + 1, 7)));
    add("plte-over-256-entries", withData(palette, "PLTE", Bytes(771, 7)));
    add("plte-twice", insertedAt(palette, plte.end(), plteData));
    add("plte-in-grey", insertedBefore(grey, "IDAT", chunk("PLTE", Bytes(6, 7))));
    add("plte-in-rgb-not-whole-entries", insertedBefore(rgb, "IDAT", chunk("PLTE", Bytes(4, 7))));
    add("plte-after-trns", insertedBefore(insertedBefore(rgb, "IDAT", chunk("tRNS", Bytes(6, 0))), "IDAT",
                                          chunk("PLTE", Bytes(6, 7))));
    add("trns-before-plte", insertedBefore(palette, "PLTE", chunk("tRNS", Bytes(2, 0))));
    add("trns-longer-than-plte", insertedBefore(palette, "IDAT", chunk("tRNS", Bytes(entries.size() / 3 + 1, 0))));
    add("trns-longer-than-depth",
        insertedBefore(withData(palette, "PLTE", Bytes(60, 7)), "IDAT", chunk("tRNS", Bytes(18, 0))));
    add("trns-empty", insertedBefore(palette, "IDAT", chunk("tRNS", Bytes())));
    add("trns-twice", insertedBefore(insertedBefore(palette, "IDAT", chunk("tRNS", Bytes(2, 0))), "IDAT",
                                     chunk("tRNS", Bytes(2, 0))));
    add("trns-grey-length", insertedBefore(grey, "IDAT", chunk("tRNS", Bytes(3, 0))));
    add("trns-rgb-length", insertedBefore(rgb, "IDAT", chunk("tRNS", Bytes(4, 0))));
    add("trns-with-alpha", insertedBefore(rgba, "IDAT", chunk("tRNS", Bytes(6, 0))));

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
    // Image data longer than 1 MiB and than the rows of 16 x 16 pixels hold,
    // refused from the chunk header.
    b = rgba;
    put32(b, idat.offset, 1048577);
    add("chunk-idat-longer-than-rows", b);
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
    // Indices past the file's palette.
    Image past = makeImage(4, 1, 8, PNG_COLOR_TYPE_PALETTE, 1, [](int x, int, int) { return x * 60u; });
    past.palette = makePalette(2);
    add("palette-past-end", past);
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
                                 "huge-4097x16.png", "short-image-data.png", "order-idat-split.png",
                                 "idat-lone-empty.png", "trns-longer-than-plte.png", "plte-not-whole-entries.png"})
            if (f.first == name)
                files.emplace_back("broken-" + f.first, f.second);
    return files;
}

}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::printf("usage: %s OUT\n", argv[0]);
        return 2;
    }
    const std::pair<std::string, NamedFiles> folders[] = {{"malformed", malformedFiles()}, {"seeds", seedFiles()}};
    for (const auto& folder : folders)
    {
        const std::string path = std::string(argv[1]) + "/" + folder.first;
        std::error_code error;
        std::filesystem::create_directories(path, error);
        if (error)
        {
            std::printf("Could not make folder %s (%s)\n", path.c_str(), error.message().c_str());
            return 1;
        }
        for (const auto& f : folder.second)
        {
            std::ofstream out(path + "/" + f.first, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(f.second.data()), static_cast<std::streamsize>(f.second.size()));
            if (!out)
            {
                std::printf("Could not save file %s/%s\n", path.c_str(), f.first.c_str());
                return 1;
            }
        }
    }
    return 0;
}
