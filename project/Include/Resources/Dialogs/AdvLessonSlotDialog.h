#ifndef RESOURCES_ADVLESSONSLOTDIALOG_H
#define RESOURCES_ADVLESSONSLOTDIALOG_H

#include "Resources/Dialogs/MenuSlotDialog.h"

namespace Tovrane
{
class AdvLessonSlotDialog;
typedef boost::shared_ptr<AdvLessonSlotDialog> AdvLessonSlotDialogPtr;

// The main menu's picker of the lessons of one lesson group: at most four
// entries on one page, so it has no arrows.
class AdvLessonSlotDialog : public MenuSlotDialog
{
    TOVRANE_DECLARE_RTTI(AdvLessonSlotDialog)

public:
    explicit AdvLessonSlotDialog(int group);
    ~AdvLessonSlotDialog() override;

    // Fills the list of group 1, 2 or 3 (any other group stays empty);
    // called once by the constructor.
    void initialize(int group);
};
}

#endif
