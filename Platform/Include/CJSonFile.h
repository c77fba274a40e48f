#ifndef PLATFORM_CJSONFILE_H
#define PLATFORM_CJSONFILE_H

#include "XQMValue.h"

#include <glibmm/ustring.h>

#include <string>

namespace XQM
{
// A JSON file read whole. Until Load succeeds, and after it fails (missing
// file, a link, not a regular file, unreadable, too large, not JSON), the root
// is the null value.
class CJSonFile
{
public:
    // Files larger than this are refused rather than read into memory.
    static const long maxFileSize = 1024 * 1024;

    CJSonFile(const Glib::ustring& path, unsigned char flags);

    bool Load();
    Value GetRoot() const { return root; }
    // Why the last Load failed, empty after a success.
    const std::string& GetError() const { return error; }

private:
    std::string path;
    Value root;
    std::string error;
};
}

#endif
