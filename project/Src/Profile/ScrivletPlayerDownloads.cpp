#include "Resources/Profile/ScrivletPlayer.h"

#include "Tovrane/Assert.h"
#include "EscapeControls.h"
#include "Tovrane/System.h"

#include "CJSonFile.h"

#include <cstdlib>
#include <sys/stat.h>

#include <iostream>
#include <vector>

namespace Tovrane
{
namespace
{
// The parts of a bundle's sub-folder entry between its slashes. False for an
// entry that names no sub-folder of the bundle: an empty one, one that starts
// with "/", or one with a part "." or ".." (which would leave the bundle or
// load the same package again). "a..b" is a name like any other.
bool subfolderParts(const std::string& entry, std::vector<std::string>& parts)
{
    if (entry.empty() || entry[0] == '/')
        return false;
    std::size_t start = 0;
    while (start < entry.size())
    {
        std::size_t end = entry.find('/', start);
        if (end == std::string::npos)
            end = entry.size();
        const std::string part = entry.substr(start, end - start);
        if (part == "." || part == "..")
            return false;
        if (!part.empty())
            parts.push_back(part);
        start = end + 1;
    }
    return true;
}

// True when `path` is a folder and not a symbolic link (which could lead out
// of the download folder).
bool isPlainFolder(const std::string& path, struct stat& info)
{
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A number of a package: an integer from `low` to `high`, or false with a
// message naming the package.
bool readNumber(const XQM::Value& root, const char* key, int low, int high, const std::string& path, int& number)
{
    const XQM::Value value = root[key];
    if (!value.isInt())
    {
        std::cout << "Ignoring download " << escapeControls(path) << ": \"" << key << "\" is not a whole number" << std::endl;
        return false;
    }
    number = value.asInt();
    if (number < low || number > high)
    {
        std::cout << "Ignoring " << key << " " << number << " of download " << escapeControls(path) << std::endl;
        return false;
    }
    return true;
}
}

void ScrivletPlayer::onLoadMicroDownloads()
{
    unlockedFrames.assign(frameCount, false);
    unlockedFrames[0] = unlockedFrames[1] = true;
    unlockedStamps.assign(stampCount, false);
    for (int i = 0; i < 16; ++i)
        unlockedStamps[i] = true;
    // Loading again starts the lists again rather than adding the same books
    // and tasks a second time.
    coloringBooks.clear();
    taskDownloads.clear();
    loadedFolders.clear();
    downloadDepth = 0;
    loadMicroDownload(System::getPath() + "coloring_book/");
    // The title's own book is not one of the downloads the cap counts.
    downloadPackages = 0;
}

// A package that cannot be used is skipped with a message: a broken download
// must not keep the game from starting. Nothing outside the package folders
// is read: no link is followed, and no folder is read twice.
void ScrivletPlayer::loadMicroDownload(const std::string& folder)
{
    std::string path = folder + "download.json";
    if (downloadDepth == 0 && ++downloadPackages > maxDownloadPackages)
    {
        std::cout << "Too many downloads; skipping " << escapeControls(path) << std::endl;
        return;
    }
    struct stat info;
    if (!isPlainFolder(folder.substr(0, folder.find_last_not_of('/') + 1), info))
    {
        std::cout << "Could not load download " << escapeControls(path) << " (the package is not a folder, or a link)" << std::endl;
        return;
    }
    // Known by the name it resolves to: on FAT and exFAT volumes and over
    // FUSE a folder's inode number can change between two looks.
    char* resolved = ::realpath(folder.c_str(), nullptr);
    const std::string known = resolved ? std::string(resolved) : folder;
    std::free(resolved);
    if (!loadedFolders.insert(known).second)
    {
        std::cout << "Download " << escapeControls(folder) << " already loaded; skipping it" << std::endl;
        return;
    }
    XQM::CJSonFile file(path, 0);
    if (!file.Load())
    {
        std::cout << "Could not load download " << escapeControls(path) << " (" << escapeControls(file.GetError()) << ")" << std::endl;
        return;
    }
    XQM::Value root = file.GetRoot();
    std::string type = root["type"].asString();

    if (type == "Frame")
    {
        int frame = 0;
        if (readNumber(root, "frame", 0, frameCount - 1, path, frame))
            unlockedFrames[frame] = true;
    }
    else if (type == "Stamp")
    {
        int stamp = 0;
        if (readNumber(root, "stamp", 0, stampCount - 1, path, stamp))
            unlockedStamps[stamp] = true;
    }
    else if (type == "Frandel")
    {
        XQM::Value subfolders = root["subdirectories"];
        if (!subfolders.isArray())
            return;
        if (downloadDepth >= maxDownloadDepth)
        {
            std::cout << "Downloads nested too deeply; skipping the contents of " << escapeControls(path) << std::endl;
            return;
        }
        for (int i = 0; i < subfolders.size(); ++i)
        {
            const std::string entry = subfolders[i].asString();
            std::vector<std::string> parts;
            bool safe = subfolderParts(entry, parts);
            // Every folder on the way must be a plain folder too; the last is
            // checked by the call below.
            std::string inside = folder;
            for (std::size_t part = 0; safe && part + 1 < parts.size(); ++part)
            {
                inside += parts[part];
                safe = isPlainFolder(inside, info);
                inside += "/";
            }
            if (!safe)
            {
                std::cout << "Refusing sub-folder \"" << escapeControls(entry) << "\" of download " << escapeControls(path) << std::endl;
                continue;
            }
            ++downloadDepth;
            loadMicroDownload(folder + entry);
            --downloadDepth;
        }
    }
    else if (type == "ColoringBook")
    {
        int pageCount = 0;
        if (readNumber(root, "pageCount", 1, maxColoringBookPages, path, pageCount))
            coloringBooks.push_back(ColoringBookDownloadPtr(new ColoringBookDownload(folder, pageCount)));
    }
    else if (type == "Task")
    {
        taskDownloads.push_back(TaskDownloadPtr(new TaskDownload(folder)));
    }
    else
    {
        std::cout << "Unknown download type \"" << escapeControls(type) << "\" in " << escapeControls(path) << std::endl;
    }
}

bool ScrivletPlayer::isFrameUnlocked(int frame) const
{
    return frame >= 0 && frame < static_cast<int>(unlockedFrames.size()) && unlockedFrames[frame];
}

bool ScrivletPlayer::isStampUnlocked(int stamp) const
{
    return stamp >= 0 && stamp < static_cast<int>(unlockedStamps.size()) && unlockedStamps[stamp];
}

ColoringBookDownloadPtr ScrivletPlayer::getColoringBookPage(int index) const
{
    TOVRANE_ASSERT((index >= 0) && (index < getColoringBookCount()) && "Invalid colouring book index");
    return coloringBooks[index];
}

TaskDownloadPtr ScrivletPlayer::getTaskDownload(int index) const
{
    TOVRANE_ASSERT((index >= 0) && (index < getLocationCount()) && "Invalid task download index");
    return taskDownloads[index];
}
}
