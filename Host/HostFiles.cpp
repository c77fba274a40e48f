#include "HostFiles.h"

#include "PngFile.h"

#include "EscapeControls.h"

#include "RegularFile.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace TovraneHost
{
std::string titleFolderProblem(const std::string& path)
{
    const std::string shown = Tovrane::escapeControls(path);
    struct stat status;
    const std::string bare = path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    if (::stat(bare.c_str(), &status) != 0)
        return "The title folder " + shown + " does not exist";
    if (!S_ISDIR(status.st_mode))
        return "The title folder " + shown + " is not a folder";
    DIR* folder = ::opendir(path.c_str());
    if (!folder)
        return "The title folder " + shown + " cannot be read";
    bool empty = true;
    while (const dirent* entry = ::readdir(folder))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
        {
            empty = false;
            break;
        }
    ::closedir(folder);
    return empty ? "The title folder " + shown + " is empty" : std::string();
}

void makeParentFolders(const std::string& path)
{
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1))
        ::mkdir(path.substr(0, pos).c_str(), 0755);
}

std::string dataFolderProblem(const std::string& path)
{
    makeParentFolders(path);
    const std::string bare = path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    // Made now, so that it can be locked before the game starts.
    ::mkdir(bare.c_str(), 0755);
    struct stat status;
    if (::stat(bare.c_str(), &status) != 0)
    {
        if (errno == ENOENT || errno == EACCES || errno == EROFS)
            return std::string();
        return "The data folder " + Tovrane::escapeControls(path) + " cannot be made: " + std::strerror(errno);
    }
    if (!S_ISDIR(status.st_mode))
        return "The data folder " + Tovrane::escapeControls(path) + " is " + describeFileType(status.st_mode) +
               ", not a folder";
    return std::string();
}

std::string outputProblem(const std::string& path, bool withTemporary)
{
    const char* what = nonRegularFileAt(path.c_str());
    if (!what && withTemporary)
        what = nonRegularFileAt((path + ".tmp").c_str());
    return what ? std::string(what) + " is there" : std::string();
}

bool writeScreenshot(const std::string& path, const TovraneTools::Picture& picture)
{
    const std::string problem = outputProblem(path, true);
    if (!problem.empty())
    {
        std::printf("Will not write the screenshot %s: %s\n", Tovrane::escapeControls(path).c_str(), problem.c_str());
        return false;
    }
    makeParentFolders(path);
    return TovraneTools::writePng(path, picture);  // says why it could not
}
}
