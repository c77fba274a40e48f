#ifndef RESOURCES_WRITINGLESSONSLOTDIALOG_H
#define RESOURCES_WRITINGLESSONSLOTDIALOG_H

#include "Resources/Dialogs/MenuSlotDialog.h"

namespace Tovrane
{
class WritingLessonSlotDialog;
typedef boost::shared_ptr<WritingLessonSlotDialog> WritingLessonSlotDialogPtr;

// The main menu's picker of writing lessons: each capital before its small
// letter, A to z, then the digits. The ids are the profile's writing-lesson
// numbers: 0-9 the digits, 10-35 the capitals, 36-61 the small letters.
class WritingLessonSlotDialog : public MenuSlotDialog
{
    TOVRANE_DECLARE_RTTI(WritingLessonSlotDialog)

public:
    WritingLessonSlotDialog();
    ~WritingLessonSlotDialog() override;

    // Fills the list; called once by the constructor.
    void initialize();
};
}

#endif
