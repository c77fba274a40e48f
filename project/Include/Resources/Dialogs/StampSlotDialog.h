#ifndef RESOURCES_STAMPSLOTDIALOG_H
#define RESOURCES_STAMPSLOTDIALOG_H

#include "Resources/Dialogs/PopUpSlotDialog.h"

#include <string>

namespace Tovrane
{
class StampSlotDialog;
typedef boost::shared_ptr<StampSlotDialog> StampSlotDialogPtr;

// The studio's picker of the 24 stamps; a locked stamp shows the locked face
// and still reports its number.
class StampSlotDialog : public PopUpSlotDialog
{
    TOVRANE_DECLARE_RTTI(StampSlotDialog)

public:
    StampSlotDialog();
    ~StampSlotDialog() override;

    // Fills the list; called once by the constructor.
    void initialize();
    // "stamp_ui_" and the stamp number with at least two digits, ".png".
    static std::string getFileName(int stamp);
};
}

#endif
