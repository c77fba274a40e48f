#ifndef PLATFORM_CMETAINFO_H
#define PLATFORM_CMETAINFO_H

#include <glibmm/ustring.h>

namespace XQM
{
// A title's meta information, read from "meta_info.txt" in the title folder:
// lines "key=value" with the keys ProductId (decimal, or hex with 0x),
// PartNumber and PackageVersion; blank lines and lines starting with "#" are
// skipped. Missing file or keys give the defaults 0, "unknown" and "0.0.0"; any
// other line (unknown key, bad number) gives a message on standard output and
// is skipped.
class CMetaInfo
{
public:
    static const char* const FileName;

    explicit CMetaInfo(const Glib::ustring& titlePath);

    unsigned long GetProductId() const { return productId; }
    Glib::ustring GetPartNumber() const { return partNumber; }
    Glib::ustring GetPackageVersion() const { return packageVersion; }

private:
    unsigned long productId;
    Glib::ustring partNumber;
    Glib::ustring packageVersion;
};
}

#endif
