#include "Resources/Profile/TaskDownload.h"

#include "Tovrane/GraphicsRenderer.h"

#include "RegularFile.h"

#include <algorithm>
#include <filesystem>
#include <functional>

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

std::string TaskDownload::pictureFault(const std::string& path)
{
    // The signature, then the IHDR chunk: length 13, type, width, height,
    // five one-byte fields and the chunk's CRC.
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const std::size_t headerSize = 33;
    std::string what;
    std::FILE* file = fopenRegularFile(path.c_str(), "rb", &what);
    if (!file)
        return "cannot be read (" + what + ")";
    unsigned char header[headerSize];
    const std::size_t got = std::fread(header, 1, headerSize, file);
    std::fclose(file);
    if (std::memcmp(header, signature, std::min<std::size_t>(got, 8)) != 0)
        return "cannot be read (not a PNG picture)";
    if (got < headerSize)
        return "cannot be read (cut short)";
    auto word = [&header](std::size_t at) {
        return static_cast<std::uint32_t>(header[at]) << 24 | static_cast<std::uint32_t>(header[at + 1]) << 16 |
               static_cast<std::uint32_t>(header[at + 2]) << 8 | header[at + 3];
    };
    if (word(8) != 13 || std::memcmp(header + 12, "IHDR", 4) != 0)
        return "cannot be read (not a PNG picture)";
    const std::uint32_t width = word(16), height = word(20);
    if (width == 0 || height == 0)
        return "cannot be read (no pixels)";
    if (width > GraphicsRenderer::PictureSideLimit || height > GraphicsRenderer::PictureSideLimit ||
        static_cast<std::uint64_t>(width) * height * 4 > GraphicsRenderer::PictureBudget)
        return "cannot be read (" + std::to_string(width) + " x " + std::to_string(height) +
               " pixels, more than a picture may have)";
    return std::string();
}

std::string TaskDownload::unreadableEntry(const std::string& folder, std::error_code& why)
{
    // Opening "." in a folder needs both the right to read it and the right
    // to search it. The folder itself first: one that may be searched but
    // not read would hide its links from the check above.
    const fs::directory_iterator root(fs::path(folder) / ".", why);
    if (why == std::errc::no_such_file_or_directory || why == std::errc::not_a_directory)
        why.clear();
    if (why)
        return ".";
    return firstEntry(folder, [&why](const fs::path&, const fs::directory_entry& entry) {
        std::error_code error;
        if (entry.is_symlink(error))
            return false;
        if (entry.is_directory(error))
        {
            const fs::directory_iterator probe(entry.path() / ".", why);
            return static_cast<bool>(why);
        }
        // A pipe, socket or device would make loading wait or read for ever;
        // it is opened without waiting and only when it is a plain file.
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
