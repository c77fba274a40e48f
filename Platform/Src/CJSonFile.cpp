#include "CJSonFile.h"

#include <json/reader.h>
#include <json/value.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

namespace XQM
{
CJSonFile::CJSonFile(const Glib::ustring& filePath, unsigned char) : path(filePath.raw()) {}

bool CJSonFile::Load()
{
    root = Value();
    error.clear();

    // Only a regular file is read: a link is not followed (downloaded content
    // must not reach outside its folder) and a FIFO or a device must not block.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        error = errno == ELOOP ? path + " is a link, which is not followed" : "cannot open " + path;
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(fd);
        error = path + " is not a regular file";
        return false;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file)
    {
        ::close(fd);
        error = "cannot open " + path;
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    {
        text.append(buffer, got);
        if (static_cast<long>(text.size()) > maxFileSize)
            break;
    }
    bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError)
    {
        error = "cannot read " + path;
        return false;
    }
    if (static_cast<long>(text.size()) > maxFileSize)
    {
        error = path + " is too large";
        return false;
    }

    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["failIfExtra"] = true;
    // Bounded nesting: a hostile file must not exhaust the stack.
    builder["stackLimit"] = 64;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    auto document = std::make_shared<Json::Value>();
    std::string parseErrors;
    bool parsed = false;
    try
    {
        parsed = reader->parse(text.data(), text.data() + text.size(), document.get(), &parseErrors);
    }
    catch (const std::exception& e)
    {
        parseErrors = e.what();
    }
    if (!parsed)
    {
        error = path + ": " + parseErrors;
        return false;
    }
    root = Value(std::shared_ptr<const Json::Value>(std::move(document)));
    return true;
}
}
