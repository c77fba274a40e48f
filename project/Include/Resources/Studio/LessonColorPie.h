#ifndef RESOURCES_LESSONCOLORPIE_H
#define RESOURCES_LESSONCOLORPIE_H

#include "Resources/Studio/ColorPie.h"

namespace Tovrane
{
class LessonColorPie;
typedef boost::shared_ptr<LessonColorPie> LessonColorPiePtr;

// A colour pie that lets a lesson judge every step: pressEvent is asked as
// soon as a colour is touched (refused: no drop, no colour), and releaseEvent
// only for drops closer than 10 pixels to the middle. No colour (number 6,
// also after a refused press) is ever dropped. An accepted drop keeps its
// colour number, so the next accepted one plays the mixing sound.
class LessonColorPie : public ColorPie
{
    TOVRANE_DECLARE_RTTI(LessonColorPie)

public:
    LessonColorPie(GeometryPtr pie, GeometryPtr pointer);
    ~LessonColorPie() override;

    void onPress(int x, int y) override;
    void onRelease(int x, int y) override;

    PieEvent pressEvent;
};
}

#endif
