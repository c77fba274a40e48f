#ifndef RESOURCES_ANIMATIONSLOTDIALOG_H
#define RESOURCES_ANIMATIONSLOTDIALOG_H

#include "Resources/Dialogs/PopUpSlotDialog.h"

namespace Tovrane
{
class AnimationSlotDialog;
typedef boost::shared_ptr<AnimationSlotDialog> AnimationSlotDialogPtr;

// The studio's picker of the three saved-flipbook slots: a used or an open
// face (flipbooks show no thumbnail).
class AnimationSlotDialog : public PopUpSlotDialog
{
    TOVRANE_DECLARE_RTTI(AnimationSlotDialog)

public:
    AnimationSlotDialog();
    ~AnimationSlotDialog() override;

    // Fills the list; called once by the constructor.
    void initialize();
    // Every face again from the profile, keeping the page shown.
    void resetSlots();
};
}

#endif
