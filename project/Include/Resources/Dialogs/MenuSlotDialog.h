#ifndef RESOURCES_MENUSLOTDIALOG_H
#define RESOURCES_MENUSLOTDIALOG_H

#include "Resources/Dialogs/MainMenuUIElement.h"
#include "Resources/Dialogs/SlotDialog.h"

namespace Tovrane
{
class MenuSlotDialog;
typedef boost::shared_ptr<MenuSlotDialog> MenuSlotDialogPtr;

// The main menu's look of the slot picker: three columns of two slots from
// "menu_slot.tex", filled column by column (slot 1 under slot 0), and
// optionally a left and a right arrow that page by six.
class MenuSlotDialog : public SlotDialog, public MainMenuUIElement
{
    TOVRANE_DECLARE_RTTI(MenuSlotDialog)

public:
    explicit MenuSlotDialog(bool arrows);
    ~MenuSlotDialog() override;

    void initialize(bool arrows);
};
}

#endif
