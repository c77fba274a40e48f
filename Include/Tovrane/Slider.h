#ifndef TOVRANE_SLIDER_H
#define TOVRANE_SLIDER_H

#include "Tovrane/Event.h"
#include "Tovrane/UIBase.h"

namespace Tovrane
{
class Slider;
typedef boost::shared_ptr<Slider> SliderPtr;

// A knob dragged along one axis between two limits, reporting its place as a
// fraction from 0 to 1. The widget is the knob: moving the slider moves the
// widget within its parent. Limits are whole pixels in the parent's
// coordinates.
class Slider : public UIBase
{
    TOVRANE_DECLARE_RTTI(Slider)

public:
    enum SliderType : int
    {
        Horizontal = 0,
        Vertical = 1 // any value but Horizontal moves along y
    };

    // Horizontal, from 0 to 100; the knob stays where it is.
    Slider(SpatialPtr released, SpatialPtr pressed);
    ~Slider() override;

    // The axis; the knob does not move.
    void setType(SliderType type) { this->type = type; }
    // Stores the limits and centres the knob between them. No event.
    void setMinMax(int min, int max);
    int getMin() const { return min; }
    int getMax() const { return max; }
    // Puts the knob at that fraction (clamped to 0..1) of the range. No event.
    void setRatio(float ratio);
    // Moves the knob to the touch (clamped to the limits) and reports the
    // fraction.
    void move(int x, int y);

    void onPress(int x, int y) override;
    void onRelease(int x, int y) override;
    void onRolloff(int x, int y) override;

    Event<void, float> changedEvent;

private:
    // The knob's coordinate on its axis, raw 16.16.
    void setCoordinate(tFixed value);

    SliderType type;
    int min;
    int max;
};
}

#endif
