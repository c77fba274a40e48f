#include "Resources/Dialogs/AdvLessonSlotDialog.h"

#include "Tovrane/SpriteManager.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, AdvLessonSlotDialog, MenuSlotDialog);

AdvLessonSlotDialog::AdvLessonSlotDialog(int group) : MenuSlotDialog(false) { initialize(group); }

AdvLessonSlotDialog::~AdvLessonSlotDialog() = default;

void AdvLessonSlotDialog::initialize(int group)
{
    static const struct
    {
        int group;
        int id;
        const char* icon;
    } lessons[] = {{1, 2, "lesson_menu/horizontal_line.png"}, {1, 3, "lesson_menu/curved_line.png"},
                   {1, 4, "lesson_menu/diagonal_line.png"},   {2, 6, "lesson_menu/triangle.png"},
                   {2, 7, "lesson_menu/rectangle.png"},       {2, 8, "lesson_menu/circle.png"},
                   {2, 9, "lesson_menu/hexagon.png"},         {3, 12, "lesson_menu/organic_shapes.png"},
                   {3, 13, "lesson_menu/drawing_objects.png"}};
    SpriteManager* sprites = getSpriteManager();
    for (const auto& lesson : lessons)
        if (lesson.group == group)
            addSlotData(sprites->getTexture(lesson.icon), lesson.id);
    populateSlots();
}
}
