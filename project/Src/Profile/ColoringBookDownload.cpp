#include "Resources/Profile/ColoringBookDownload.h"

#include <cstdio>

namespace Tovrane
{
namespace
{
// The page number with at least two digits.
std::string pageNumber(int page)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", page);
    return text;
}
}

ColoringBookDownload::ColoringBookDownload(const std::string& folder, int count)
    : MicroDownload(folder), pageCount(count)
{
}

ColoringBookDownload::~ColoringBookDownload() = default;

std::string ColoringBookDownload::getPagePath(int page) const
{
    return path + "page_" + pageNumber(page) + ".png";
}

std::string ColoringBookDownload::getPagePreviewPath(int page) const
{
    return path + "preview_page_" + pageNumber(page) + ".png";
}
}
