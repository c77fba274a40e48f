#ifndef RESOURCES_IMAGESLOTDIALOG_H
#define RESOURCES_IMAGESLOTDIALOG_H

#include "Resources/Dialogs/PopUpSlotDialog.h"

namespace Tovrane
{
class ImageSlotDialog;
typedef boost::shared_ptr<ImageSlotDialog> ImageSlotDialogPtr;

// The studio's picker of the six saved-picture slots: a slot's thumbnail,
// or the open face when it holds no picture.
class ImageSlotDialog : public PopUpSlotDialog
{
    TOVRANE_DECLARE_RTTI(ImageSlotDialog)

public:
    ImageSlotDialog();
    ~ImageSlotDialog() override;

    // Fills the list; called once by the constructor.
    void initialize();
    // Every face again from the profile, keeping the page shown.
    void resetSlots();
};
}

#endif
