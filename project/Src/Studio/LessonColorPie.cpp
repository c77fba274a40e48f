#include "Resources/Studio/LessonColorPie.h"

#include "Tovrane/Texture.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, LessonColorPie, ColorPie);

namespace
{
// Only a drop right on the middle counts.
const tFixed DropDistanceSq(100);
}

LessonColorPie::LessonColorPie(GeometryPtr pie, GeometryPtr pointer) : ColorPie(pie, pointer) {}

LessonColorPie::~LessonColorPie() {}

void LessonColorPie::onPress(int x, int y)
{
    if (!pressed)
    {
        pick(x, y);
        if (!isBrightEnough(pickedColor))
            selectedColor = PieColor::None;
        else
        {
            setSelectedColorEnum(pickedColor);
            if (pressEvent(ColorPieArgs(selectedColor, pickedColor)))
            {
                setPointerColor(pickedColor);
                pointer->cullingMode = CullingMode::Show;
            }
            else
                selectedColor = PieColor::None;
        }
        pressed = true;
    }
    movePointer(x, y);
}

void LessonColorPie::onRelease(int x, int y)
{
    pointer->cullingMode = CullingMode::Hide;
    // The listeners hear of every drop on the middle, but a colour refused at
    // the press (number 6) is never dropped, whatever they answer.
    if (squaredDistanceFromCenter(x, y) < DropDistanceSq &&
        releaseEvent(ColorPieArgs(selectedColor, pickedColor)) && selectedColor != PieColor::None)
    {
        playSFX();
        setCenterColor(pickedColor);
    }
    else
        selectedColor = PieColor::None;
    pressed = false;
}
}
