#include "Resources/Dialogs/ImageSlotDialog.h"

#include "Resources/Profile/ScrivletPlayer.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, ImageSlotDialog, PopUpSlotDialog);

namespace
{
// A used slot's thumbnail, read from its file each time; the open face otherwise.
TexturePtr imageFace(int slot)
{
    const ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
    if (profile->hasImage(slot))
        return profile->loadImageThumbnail(slot);
    return StudioUIElement::getSpriteManager()->getTexture("studio/images/open.png");
}
}

ImageSlotDialog::ImageSlotDialog() : PopUpSlotDialog(false, 2, true, false) { initialize(); }

ImageSlotDialog::~ImageSlotDialog() = default;

void ImageSlotDialog::initialize()
{
    for (int slot = 0; slot < ScrivletPlayer::imageSlotCount; ++slot)
        addSlotData(imageFace(slot), slot);
    populateSlots();
}

void ImageSlotDialog::resetSlots()
{
    for (int slot = 0; slot < ScrivletPlayer::imageSlotCount; ++slot)
        updateThumbnail(imageFace(slot), slot);
    populateSlots();
}
}
