#ifndef RESOURCES_LESSONCOLORWHEEL_H
#define RESOURCES_LESSONCOLORWHEEL_H

#include "Resources/Studio/ColorWheel.h"
#include "Resources/Studio/ColorWheelArgs.h"

namespace Tovrane
{
class LessonColorWheel;
typedef boost::shared_ptr<LessonColorWheel> LessonColorWheelPtr;

// A colour wheel whose every release is submitted to mixEvent (the last
// listener decides; none means refused). A refused release takes back the
// mixture's indices and the centre's colour; the colour event has already
// been fired.
class LessonColorWheel : public ColorWheel
{
    TOVRANE_DECLARE_RTTI(LessonColorWheel)

public:
    LessonColorWheel(GeometryPtr wheel, GeometryPtr pointer);
    ~LessonColorWheel() override;

    // The next drag starts a new mixture; the centre keeps its colour.
    void reset();

    void onRelease(int x, int y) override;

    Event<bool, const ColorWheelArgs&> mixEvent;
};
}

#endif
