#include "Resources/Profile/TaskDownload.h"

#include "Tovrane/GraphicsRenderer.h"

#include "RegularFile.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace Tovrane
{
namespace
{
namespace fs = std::filesystem;

bool isUnder(const fs::path& root, const fs::path& path)
{
    const fs::path relative = path.lexically_relative(root);
    return !relative.empty() && *relative.begin() != "..";
}

// Visits every entry under the folder (resolved), without following links to
// folders, until `stop` says so; returns the entry it stopped at, relative to
// the folder, or empty. A folder that cannot be resolved has nothing to visit.
std::string firstEntry(const std::string& folder, const std::function<bool(const fs::path& root,
                                                                           const fs::directory_entry&)>& stop)
{
    std::error_code error;
    const fs::path root = fs::canonical(folder, error);
    if (error)
        return std::string();
    fs::recursive_directory_iterator entry(root, fs::directory_options::skip_permission_denied, error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error))
        if (stop(root, *entry))
            return entry->path().lexically_relative(root).string();
    return std::string();
}

std::uint32_t bigEndian(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

bool isChunkType(const unsigned char* type)
{
    return std::all_of(type, type + 4, [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

// The bytes a pixel takes once read: grey and RGB become RGB888, grey with
// alpha and RGBA become RGBA8888, and palettes are expanded to RGBA wherever
// they are shown; 0 for a colour type and depth the reader refuses.
std::uint32_t pixelBytes(unsigned char colourType, unsigned char depth)
{
    const bool eightOr16 = depth == 8 || depth == 16;
    const bool upTo8 = depth == 1 || depth == 2 || depth == 4 || depth == 8;
    switch (colourType)
    {
    case 0:
        return upTo8 || depth == 16 ? 3 : 0;
    case 2:
        return eightOr16 ? 3 : 0;
    case 3:
        return upTo8 ? 4 : 0;
    case 4:
    case 6:
        return eightOr16 ? 4 : 0;
    default:
        return 0;
    }
}

// The samples a pixel has in the file: 1 for grey and palette indices, 2 for
// grey with alpha, 3 for RGB, 4 for RGBA.
std::uint32_t samples(unsigned char colourType)
{
    static const std::uint32_t counts[7] = {1, 0, 3, 1, 2, 0, 4};
    return colourType < 7 ? counts[colourType] : 0;
}

// The longest image data chunk the reader takes for a picture of this header:
// PictureChunkLimit, or what its rows hold (a byte per sample, two at 16 bits,
// and a filter byte, six more bytes a row when interlaced) and the deflate
// overhead of five bytes a row, when that is more. The reader's library
// refuses a longer one from its length alone.
std::uint64_t imageDataLimit(const unsigned char* header)
{
    const std::uint64_t row = static_cast<std::uint64_t>(bigEndian(header)) * samples(header[9]) *
                                  (header[8] > 8 ? 2 : 1) +
                              1 + (header[12] ? 6 : 0);
    std::uint64_t limit = bigEndian(header + 4) * row;
    limit += 6 + 5 * (limit / std::min<std::uint64_t>(row, 32566) + 1);
    return std::max<std::uint64_t>(std::min<std::uint64_t>(limit, 0x7fffffffu), GraphicsRenderer::PictureChunkLimit);
}

// Where the picture stands in its walk, for the rules on chunk order.
struct WalkState
{
    unsigned char header[13] = {};
    std::uint32_t paletteEntries = 0;  // as the reader keeps them: at most 2^depth
    bool palette = false, transparency = false, imageData = false, afterImageData = false;
    std::uint64_t imageBytes = 0;
};

// What the format's own rules, as the reader applies them, say of a whole
// chunk after IHDR: one IHDR; no critical chunk other than PLTE, IDAT and
// IEND; one PLTE of 1 to 256 entries, in a colour picture, before tRNS and
// the image data; one tRNS before the image data, after the PLTE of a
// palette picture and no longer than it, two bytes long in a grey picture,
// six in an RGB one, none with alpha; IDAT chunks one after another, with
// some data among them, and an empty IEND.
std::string formatFault(const std::string& name, std::uint32_t length, WalkState& state)
{
    const unsigned char colourType = state.header[9];
    if (name == "IHDR")
        return "a second IHDR chunk";
    if (name == "PLTE")
    {
        if (state.palette)
            return "a second PLTE chunk";
        if (colourType == 0 || colourType == 4)
            return "a PLTE chunk in a grey picture";
        if (state.imageData || state.transparency)
            return "a misplaced PLTE chunk";
        if (length == 0 || length > 768 || length % 3 != 0)
            return "a PLTE chunk of " + std::to_string(length) + " bytes";
        state.palette = true;
        state.paletteEntries = std::min<std::uint32_t>(length / 3, 1u << state.header[8]);
    }
    else if (name == "tRNS")
    {
        if (state.imageData || (colourType == 3 && !state.palette))
            return "a misplaced tRNS chunk";
        if (state.transparency)
            return "a second tRNS chunk";
        if (colourType == 4 || colourType == 6)
            return "a tRNS chunk in a picture with alpha";
        if ((colourType == 0 && length != 2) || (colourType == 2 && length != 6) ||
            (colourType == 3 && (length == 0 || length > state.paletteEntries)))
            return "a tRNS chunk of " + std::to_string(length) + " bytes";
        state.transparency = true;
    }
    else if (name == "IDAT")
    {
        if (!state.palette && colourType == 3)
            return "no palette before its pixels";
        if (state.afterImageData)
            return "image data split by another chunk";
        state.imageData = true;
        state.imageBytes += length;
    }
    else if (name == "IEND")
    {
        if (state.imageBytes == 0)
            return "no pixels";
        if (length != 0)
            return "an IEND chunk with data";
    }
    else if (name[0] >= 'A' && name[0] <= 'Z')
        return "an unknown critical chunk " + name;
    if (name != "IDAT")
        state.afterImageData = state.imageData;
    return std::string();
}

// Reads the signature, then every chunk up to IEND: its length, its type, its
// data through zlib's crc32, its CRC and its place among the others. The
// image data is not decoded.
std::string chunkFault(std::FILE* file, TaskDownload::PictureShape* shape)
{
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const std::string notPng = "cannot be read (not a PNG picture)", cut = "cannot be read (cut short)";
    unsigned char head[8];
    std::size_t got = std::fread(head, 1, sizeof head, file);
    if (std::memcmp(head, signature, got) != 0)
        return notPng;
    if (got < sizeof head)
        return cut;
    unsigned char buffer[65536];
    WalkState state;
    bool first = true;
    TaskDownload::PictureShape taken;
    for (;;)
    {
        got = std::fread(head, 1, sizeof head, file);
        if (got < sizeof head)
            return cut;
        const std::uint32_t length = bigEndian(head);
        const unsigned char* type = head + 4;
        if (first && (length != sizeof state.header || std::memcmp(type, "IHDR", 4) != 0))
            return notPng;
        // A PNG chunk holds at most 2^31 - 1 bytes, and its type is four letters.
        if (length > 0x7fffffffu || !isChunkType(type))
            return "cannot be read (a damaged chunk)";
        const std::string name(reinterpret_cast<const char*>(type), 4);
        // The reader's limits: an image data chunk as long as its rows,
        // any other chunk before the image data PictureChunkLimit. The
        // reader stops at the end of the image data, so what follows it is
        // not bounded.
        if (name == "IDAT" && length > imageDataLimit(state.header))
            return "cannot be read (an IDAT chunk longer than its rows need)";
        if (name != "IDAT" && !state.imageData && length > GraphicsRenderer::PictureChunkLimit)
            return "cannot be read (a " + name + " chunk longer than a picture may have)";
        uLong crc = crc32(0L, type, 4);
        for (std::uint32_t left = length; left > 0;)
        {
            const std::size_t part = std::min<std::size_t>(left, sizeof buffer);
            if (std::fread(buffer, 1, part, file) < part)
                return cut;
            if (first)
                std::memcpy(state.header, buffer, sizeof state.header);
            crc = crc32(crc, buffer, static_cast<uInt>(part));
            left -= static_cast<std::uint32_t>(part);
        }
        if (std::fread(buffer, 1, 4, file) < 4)
            return cut;
        if (bigEndian(buffer) != (crc & 0xffffffffu))
            return "cannot be read (a damaged " + name + " chunk)";
        if (!first)
        {
            const std::string fault = formatFault(name, length, state);
            if (!fault.empty())
                return "cannot be read (" + fault + ")";
            if (name != "IEND")
                continue;
            if (shape)
                *shape = taken;
            return std::string();
        }
        // Width, height, depth, colour type, then compression, filter and
        // interlace methods, which have one or two known values.
        const unsigned char* header = state.header;
        const std::uint32_t width = bigEndian(header), height = bigEndian(header + 4);
        const std::uint32_t bytes = pixelBytes(header[9], header[8]);
        if (bytes == 0 || header[10] != 0 || header[11] != 0 || header[12] > 1)
            return notPng;
        if (width == 0 || height == 0)
            return "cannot be read (no pixels)";
        if (width > GraphicsRenderer::PictureSideLimit || height > GraphicsRenderer::PictureSideLimit ||
            static_cast<std::uint64_t>(width) * height * 4 > GraphicsRenderer::PictureBudget)
            return "cannot be read (" + std::to_string(width) + " x " + std::to_string(height) +
                   " pixels, more than a picture may have)";
        taken.width = width;
        taken.height = height;
        taken.pixelBytes = bytes;
        first = false;
    }
}
}

TaskDownload::TaskDownload(const std::string& folder) : MicroDownload(folder) {}

TaskDownload::~TaskDownload() = default;

bool TaskDownload::isInsideName(const std::string& name)
{
    const fs::path path(name);
    if (path.has_root_directory() || path.is_absolute())
        return false;
    for (const fs::path& part : path)
        if (part == "..")
            return false;
    return true;
}

bool TaskDownload::hasControlCharacter(const std::string& name)
{
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

std::string TaskDownload::nameFault(const std::string& name)
{
    // A NUL would end the name early (the sheet "a.tex\0" read as "a.tex"
    // also where "a.tex\0.chr" is meant); no control character belongs in a
    // file name.
    if (hasControlCharacter(name))
        return "holds a control character";
    if (!isInsideName(name))
        return "lies outside its folder";
    for (size_t start = 0; start <= name.size();)
    {
        const size_t end = std::min(name.find('/', start), name.size());
        if (end - start > MaxNamePart)
            return "has a name part longer than " + std::to_string(MaxNamePart) + " characters";
        start = end + 1;
    }
    return std::string();
}

std::string TaskDownload::linkLeavingFolder(const std::string& folder, std::error_code* why)
{
    return firstEntry(folder, [why](const fs::path& root, const fs::directory_entry& entry) {
        std::error_code unresolved;
        if (!entry.is_symlink(unresolved))
            return false;
        const fs::path target = fs::canonical(entry.path(), unresolved);
        if (why)
            *why = unresolved;
        return unresolved || !isUnder(root, target);
    });
}

std::string TaskDownload::pictureFault(const std::string& path, PictureShape* shape)
{
    std::string what;
    std::FILE* file = fopenRegularFile(path.c_str(), "rb", &what);
    if (!file)
        return "cannot be read (" + what + ")";
    const std::string fault = chunkFault(file, shape);
    std::fclose(file);
    return fault;
}

std::string TaskDownload::unreadableEntry(const std::string& folder, std::error_code& why, std::string* what)
{
    // Opening "." in a folder needs both the right to read it and the right
    // to search it. The folder itself first: one that may be searched but
    // not read would hide its links from the check above.
    const fs::directory_iterator root(fs::path(folder) / ".", why);
    if (why == std::errc::no_such_file_or_directory || why == std::errc::not_a_directory)
        why.clear();
    if (why)
        return ".";
    return firstEntry(folder, [&why, what](const fs::path& root, const fs::directory_entry& entry) {
        // The type first, without following a link and without opening: a
        // pipe, socket or device would make loading wait or read for ever,
        // and opening some devices already does something.
        struct stat info;
        if (::lstat(entry.path().c_str(), &info) != 0)
        {
            why = std::error_code(errno, std::generic_category());
            return true;
        }
        if (S_ISLNK(info.st_mode))
            return false;
        if (S_ISDIR(info.st_mode))
        {
            const fs::directory_iterator probe(entry.path() / ".", why);
            return static_cast<bool>(why);
        }
        if (!S_ISREG(info.st_mode))
        {
            why = std::make_error_code(std::errc::not_supported);
            if (what)
                *what = describeFileType(info.st_mode);
            return true;
        }
        // The game reads a file under images/ only as a picture the task
        // loads, and the entry check opens each of those once to walk it,
        // saying so when it cannot be read: it is not opened here as well.
        if (*entry.path().lexically_relative(root).begin() == "images")
            return false;
        const int file = openRegularFile(entry.path().c_str(), nullptr, false);
        if (file >= 0)
            ::close(file);
        else if (errno == ENODEV || errno == EISDIR || errno == ELOOP)
            why = std::make_error_code(std::errc::not_supported);
        else
            why = std::error_code(errno, std::generic_category());
        return file < 0;
    });
}
}
