#ifndef RESOURCES_LESSONSLOTDIALOG_H
#define RESOURCES_LESSONSLOTDIALOG_H

#include "Resources/Dialogs/MenuSlotDialog.h"

namespace Tovrane
{
class LessonSlotDialog;
typedef boost::shared_ptr<LessonSlotDialog> LessonSlotDialogPtr;

// The main menu's picker of lessons: ten fixed entries, the lesson groups
// among them, known by their lesson numbers.
class LessonSlotDialog : public MenuSlotDialog
{
    TOVRANE_DECLARE_RTTI(LessonSlotDialog)

public:
    LessonSlotDialog();
    ~LessonSlotDialog() override;

    // Fills the list; called once by the constructor.
    void initialize();
};
}

#endif
