#include "Resources/Dialogs/LessonSlotDialog.h"

#include "Tovrane/SpriteManager.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, LessonSlotDialog, MenuSlotDialog);

LessonSlotDialog::LessonSlotDialog() : MenuSlotDialog(true) { initialize(); }

LessonSlotDialog::~LessonSlotDialog() = default;

void LessonSlotDialog::initialize()
{
    static const struct
    {
        int id;
        const char* icon;
    } lessons[] = {{0, "lesson_menu/writing.png"},        {1, "lesson_menu/lines.png"},
                   {5, "lesson_menu/shapes.png"},         {10, "lesson_menu/seeing_shapes.png"},
                   {11, "lesson_menu/organic_shape.png"}, {14, "lesson_menu/color_lesson.png"},
                   {15, "lesson_menu/warm_cool.png"},     {16, "lesson_menu/wild_calm.png"},
                   {17, "lesson_menu/perspective.png"},   {18, "lesson_menu/animation.png"}};
    SpriteManager* sprites = getSpriteManager();
    for (const auto& lesson : lessons)
        addSlotData(sprites->getTexture(lesson.icon), lesson.id);
    populateSlots();
}
}
