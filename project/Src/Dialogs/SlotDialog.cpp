#include "Resources/Dialogs/SlotDialog.h"

#include "Tovrane/Assert.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Texture.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, SlotDialog, Node);

const SlotDialog::SlotHandler SlotDialog::slotClicks[6] = {
    &SlotDialog::onSlotClick<0>, &SlotDialog::onSlotClick<1>, &SlotDialog::onSlotClick<2>,
    &SlotDialog::onSlotClick<3>, &SlotDialog::onSlotClick<4>, &SlotDialog::onSlotClick<5>};

SlotDialog::SlotDialog() : first(0), rows(0), columns(0), pageStep(0) {}

SlotDialog::~SlotDialog() = default;

void SlotDialog::addSlotData(TexturePtr texture, int id)
{
    thumbnails.push_back(texture);
    ids.push_back(id);
}

void SlotDialog::populateSlots()
{
    for (size_t i = 0; i < slotFaces.size(); ++i)
    {
        const size_t item = static_cast<size_t>(first) + i;
        // Faces past the end of the list show a fresh transparent picture.
        TexturePtr texture = item < thumbnails.size()
                                 ? thumbnails[item]
                                 : TexturePtr(new Texture(32, 32, PixelFormat::RGBA4444, true, 0));
        slotFaces[i]->setTexture(texture, 0);
    }
}

void SlotDialog::updateThumbnail(TexturePtr texture, int index)
{
    TOVRANE_ASSERT((index >= 0) && (index < getItemCount()) && "Invalid slot item");
    thumbnails[static_cast<size_t>(index)] = texture;
}

void SlotDialog::pageLeft()
{
    if (first <= 0)
        return;
    first -= pageStep;
    if (first < 0)
        first = 0;
    populateSlots();
}

void SlotDialog::pageRight()
{
    // The greatest first item that still fills the page.
    const int last = getItemCount() - rows * columns;
    if (last <= first)
        return;
    first = first + pageStep < last ? first + pageStep : last;
    populateSlots();
}

void SlotDialog::onLeftArrowButton(const ButtonEventArgs&) { pageLeft(); }

void SlotDialog::onRightArrowButton(const ButtonEventArgs&) { pageRight(); }

void SlotDialog::onSelect(int slot)
{
    if (selectEvent.getDelegateQuantity() == 0)
        return;
    const int item = first + slot;
    const int id = (slot >= 0 && item < getItemCount()) ? ids[static_cast<size_t>(item)] : -1;
    selectEvent(SlotDialogEventArgs(slot, id));
}
}
