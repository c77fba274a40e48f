#include "Resources/Studio/LessonColorWheel.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, LessonColorWheel, ColorWheel);

LessonColorWheel::LessonColorWheel(GeometryPtr wheel, GeometryPtr pointer) : ColorWheel(wheel, pointer) {}

LessonColorWheel::~LessonColorWheel() {}

void LessonColorWheel::reset()
{
    firstIndex = ColorIndex::None;
    secondIndex = ColorIndex::None;
}

void LessonColorWheel::onRelease(int x, int y)
{
    const int savedFirst = firstIndex, savedSecond = secondIndex;
    const Colour savedColor = centerColor;
    ColorWheel::onRelease(x, y);
    if (mixEvent(ColorWheelArgs(centerColor, firstIndex, secondIndex, angle)))
        return;
    firstIndex = savedFirst;
    secondIndex = savedSecond;
    setCenterColor(savedColor);
    centerColor = savedColor;
}
}
