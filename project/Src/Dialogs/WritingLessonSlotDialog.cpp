#include "Resources/Dialogs/WritingLessonSlotDialog.h"

#include "Tovrane/SpriteManager.h"

#include <string>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, WritingLessonSlotDialog, MenuSlotDialog);

WritingLessonSlotDialog::WritingLessonSlotDialog() : MenuSlotDialog(true) { initialize(); }

WritingLessonSlotDialog::~WritingLessonSlotDialog() = default;

void WritingLessonSlotDialog::initialize()
{
    SpriteManager* sprites = getSpriteManager();
    // The icons do not follow the locale: small letters are named doubled
    // ("aa.png") so that they differ from the capitals on any file system.
    for (int k = 0; k < 26; ++k)
    {
        const char capital = static_cast<char>('A' + k), small = static_cast<char>('a' + k);
        addSlotData(sprites->getTexture(std::string("lesson_menu/") + capital + ".png"), 10 + k);
        addSlotData(sprites->getTexture(std::string("lesson_menu/") + small + small + ".png"), 36 + k);
    }
    for (int digit = 0; digit < 10; ++digit)
        addSlotData(sprites->getTexture("lesson_menu/0" + std::to_string(digit) + ".png"), digit);
    populateSlots();
}
}
