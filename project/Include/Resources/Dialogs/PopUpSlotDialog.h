#ifndef RESOURCES_POPUPSLOTDIALOG_H
#define RESOURCES_POPUPSLOTDIALOG_H

#include "Resources/Dialogs/SlotDialog.h"
#include "Resources/Dialogs/StudioUIElement.h"

namespace Tovrane
{
class PopUpSlotDialog;
typedef boost::shared_ptr<PopUpSlotDialog> PopUpSlotDialogPtr;

// The studio's look of the slot picker: three columns of one or two rows of
// file slots (rectangle) or stamp slots (square) from "file_dialog.tex",
// filled column by column, optionally on a panel with a close button
// (reported as slot -1) and two paging arrows.
class PopUpSlotDialog : public SlotDialog, public StudioUIElement
{
    TOVRANE_DECLARE_RTTI(PopUpSlotDialog)

public:
    PopUpSlotDialog(bool square, int rows, bool background, bool arrows);
    ~PopUpSlotDialog() override;

    void initializeBackground(bool arrows);
    void initializeRectangle(int rows);
    void initializeSquare(int rows);

private:
    struct SlotLook
    {
        const char* released;
        const char* pressed;
        int firstX;
        int halfExtent;
        int faceX, faceY;
    };
    void initializeSlots(const SlotLook& look, int rows);
};
}

#endif
