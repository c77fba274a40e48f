#ifndef RESOURCES_BADGESLOTDIALOG_H
#define RESOURCES_BADGESLOTDIALOG_H

#include "Resources/Dialogs/MenuSlotDialog.h"

namespace Tovrane
{
class BadgeSlotDialog;
typedef boost::shared_ptr<BadgeSlotDialog> BadgeSlotDialogPtr;

// The main menu's picker of badges: earned or locked faces of the 27 badges,
// then one blank entry of id -1 that fills the last page.
class BadgeSlotDialog : public MenuSlotDialog
{
    TOVRANE_DECLARE_RTTI(BadgeSlotDialog)

public:
    BadgeSlotDialog();
    ~BadgeSlotDialog() override;

    // Fills the list (27 badges and a blank entry); called once by the
    // constructor.
    void initialize();
    // Gives every badge its face again from the profile, the select look to
    // badge `badge` (none for a number outside the badges), and refreshes
    // the page.
    void highlightSlot(int badge);
};
}

#endif
