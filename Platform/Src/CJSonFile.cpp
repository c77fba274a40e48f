#include "CJSonFile.h"
#include "RegularFile.h"

#include <json/reader.h>
#include <json/value.h>

#include <unistd.h>

#include <cerrno>
#include <exception>
#include <memory>

namespace XQM
{
CJSonFile::CJSonFile(const Glib::ustring& filePath, unsigned char) : path(filePath.raw()) {}

bool CJSonFile::Load()
{
    root = Value();
    error.clear();

    // Only a regular file is read: a link is not followed (downloaded content
    // must not reach outside its folder) and a FIFO or a device must not block.
    const int fd = openRegularFile(path.c_str(), nullptr, false);
    if (fd < 0)
    {
        error = errno == ELOOP                       ? path + " is a link, which is not followed"
                : errno == ENODEV || errno == EISDIR ? path + " is not a regular file"
                                                     : "cannot open " + path;
        return false;
    }
    std::string text;
    const bool read = readOpenFile(fd, text, static_cast<std::size_t>(maxFileSize));
    const int readError = errno;
    ::close(fd);
    if (!read)
    {
        error = readError == EFBIG ? path + " is too large" : "cannot read " + path;
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
