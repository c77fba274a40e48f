#include "Resources/Profile/TaskDownload.h"

#include <filesystem>

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

std::string TaskDownload::linkLeavingFolder(const std::string& folder)
{
    std::error_code error;
    const fs::path root = fs::canonical(folder, error);
    if (error)
        return std::string();
    // Links to folders are not followed: each is judged as a link.
    fs::recursive_directory_iterator entry(root, fs::directory_options::skip_permission_denied, error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error))
    {
        std::error_code unresolved;
        if (!entry->is_symlink(unresolved))
            continue;
        const fs::path target = fs::canonical(entry->path(), unresolved);
        if (unresolved || !isUnder(root, target))
            return entry->path().lexically_relative(root).string();
    }
    return std::string();
}
}
