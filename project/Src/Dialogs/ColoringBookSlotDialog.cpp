#include "Resources/Dialogs/ColoringBookSlotDialog.h"

#include "Tovrane/Assert.h"
#include "Tovrane/Texture.h"

#include "EscapeControls.h"

#include <iostream>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, ColoringBookSlotDialog, PopUpSlotDialog);

ColoringBookSlotDialog::ColoringBookSlotDialog(ColoringBookDownloadPtr book)
    : PopUpSlotDialog(false, 2, true, book && book->getPageCount() > 6)
{
    initialize(book);
}

ColoringBookSlotDialog::~ColoringBookSlotDialog() = default;

void ColoringBookSlotDialog::initialize(ColoringBookDownloadPtr book)
{
    TOVRANE_ASSERT(book && "A colouring-book picker needs a book");
    // The count comes from a download's own description: a huge one would
    // have every page tried.
    int pages = book->getPageCount();
    if (pages > maxPages)
    {
        std::cout << "Colouring book " << escapeControls(book->getPath()) << " lists " << pages
                  << " pages; showing the first " << maxPages << std::endl;
        pages = maxPages;
    }
    // A preview that cannot be read keeps its place, with an empty face.
    for (int page = 0; page < pages; ++page)
        addSlotData(Texture::fromFile(book->getPagePreviewPath(page)), page);
    populateSlots();
}
}
