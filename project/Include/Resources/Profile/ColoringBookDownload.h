#ifndef RESOURCES_COLORINGBOOKDOWNLOAD_H
#define RESOURCES_COLORINGBOOKDOWNLOAD_H

#include "Tovrane/MicroDownload.h"

#include <boost/shared_ptr.hpp>

#include <string>

namespace Tovrane
{
// A colouring book, downloaded or shipped with the title: its folder holds
// "page_NN.png" and "preview_page_NN.png" for pages 0 to pageCount - 1.
class ColoringBookDownload : public MicroDownload
{
public:
    ColoringBookDownload(const std::string& folder, int pageCount);
    ~ColoringBookDownload() override;

    int getPageCount() const { return pageCount; }
    std::string getPagePath(int page) const;
    std::string getPagePreviewPath(int page) const;

    int pageCount;
};

typedef boost::shared_ptr<ColoringBookDownload> ColoringBookDownloadPtr;
}

#endif
