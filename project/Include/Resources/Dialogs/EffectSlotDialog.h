#ifndef RESOURCES_EFFECTSLOTDIALOG_H
#define RESOURCES_EFFECTSLOTDIALOG_H

#include "Resources/Dialogs/PopUpSlotDialog.h"

namespace Tovrane
{
class EffectSlotDialog;
typedef boost::shared_ptr<EffectSlotDialog> EffectSlotDialogPtr;

// The studio's picker of the picture effects and symmetry modes: eighteen
// fixed entries on three pages.
class EffectSlotDialog : public PopUpSlotDialog
{
    TOVRANE_DECLARE_RTTI(EffectSlotDialog)

public:
    EffectSlotDialog();
    ~EffectSlotDialog() override;

    // Fills the list; called once by the constructor.
    void initialize();
};
}

#endif
