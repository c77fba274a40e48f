#include "Tovrane/Slider.h"

#include <cstdint>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Slider, UIBase);

Slider::Slider(SpatialPtr released, SpatialPtr pressed) : UIBase(released, pressed), type(Horizontal), min(0), max(100)
{
}

Slider::~Slider() {}

void Slider::setCoordinate(tFixed value)
{
    if (type == Horizontal)
        local[12] = value;
    else
        local[13] = value;
    setTransformCurrent(false);
}

void Slider::setMinMax(int newMin, int newMax)
{
    min = newMin;
    max = newMax;
    const std::int64_t centre = static_cast<std::int64_t>(min) + (static_cast<std::int64_t>(max) - min) / 2;
    setCoordinate(tFixed(static_cast<int>(centre)));
}

void Slider::setRatio(float ratio)
{
    if (ratio > 1)
        ratio = 1;
    if (!(ratio >= 0)) // below 0, or not a number
        ratio = 0;
    const float range = static_cast<float>(static_cast<std::int64_t>(max) - min);
    setCoordinate(tFixed(static_cast<float>(min) + ratio * range));
}

void Slider::move(int x, int y)
{
    const int c = type == Horizontal ? x : y;
    const int v = c > max ? max : (c < min ? min : c);
    setCoordinate(tFixed(v));
    // Limits that meet leave no range: the knob stands at the start.
    const float range = static_cast<float>(max) - static_cast<float>(min);
    const float ratio = range != 0 ? (static_cast<float>(v) - static_cast<float>(min)) / range : 0.0f;
    changedEvent(ratio);
}

void Slider::onPress(int x, int y)
{
    showDownImage();
    move(x, y);
}

void Slider::onRelease(int, int) { showUpImage(); }

void Slider::onRolloff(int x, int y) { move(x, y); }
}
