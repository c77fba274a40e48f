#ifndef RESOURCES_MICROMODSSLOTDIALOG_H
#define RESOURCES_MICROMODSSLOTDIALOG_H

#include "Resources/Dialogs/MenuSlotDialog.h"

namespace Tovrane
{
class MicromodsSlotDialog;
typedef boost::shared_ptr<MicromodsSlotDialog> MicromodsSlotDialogPtr;

// The main menu's picker of downloadable extras: the stamps 16 to 23 and the
// picture frames 2 to 5, open or locked as downloads unlock them.
class MicromodsSlotDialog : public MenuSlotDialog
{
    TOVRANE_DECLARE_RTTI(MicromodsSlotDialog)

public:
    MicromodsSlotDialog();
    ~MicromodsSlotDialog() override;

    // Fills the list; called once by the constructor.
    void initialize();
};
}

#endif
