#ifndef RESOURCES_COLORINGBOOKSLOTDIALOG_H
#define RESOURCES_COLORINGBOOKSLOTDIALOG_H

#include "Resources/Dialogs/PopUpSlotDialog.h"
#include "Resources/Profile/ColoringBookDownload.h"

namespace Tovrane
{
class ColoringBookSlotDialog;
typedef boost::shared_ptr<ColoringBookSlotDialog> ColoringBookSlotDialogPtr;

// The picker of the pages of one colouring book, by their previews. Paging
// arrows only for a book of more than one page of six.
class ColoringBookSlotDialog : public PopUpSlotDialog
{
    TOVRANE_DECLARE_RTTI(ColoringBookSlotDialog)

public:
    explicit ColoringBookSlotDialog(ColoringBookDownloadPtr book);
    ~ColoringBookSlotDialog() override;

    // At most this many pages are listed.
    static const int maxPages = 100;

    // Fills the list with the book's page previews; called once by the
    // constructor. The book is not kept.
    void initialize(ColoringBookDownloadPtr book);
};
}

#endif
