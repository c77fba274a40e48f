#ifndef TOVRANE_MICRODOWNLOAD_H
#define TOVRANE_MICRODOWNLOAD_H

#include <boost/shared_ptr.hpp>

#include <string>

namespace Tovrane
{
// One downloaded content package: its folder, given with a trailing "/" so
// that file names are appended directly.
class MicroDownload
{
public:
    explicit MicroDownload(const std::string& folder) : path(folder) {}
    virtual ~MicroDownload();

    const std::string& getPath() const { return path; }

    std::string path;
};

typedef boost::shared_ptr<MicroDownload> MicroDownloadPtr;
}

#endif
