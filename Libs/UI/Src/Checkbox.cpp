#include "Tovrane/Checkbox.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Checkbox, UIBase);

Checkbox::Checkbox(SpatialPtr released, SpatialPtr pressed, bool checked) : UIBase(released, pressed), checked(checked)
{
    if (checked)
        showDownImage();
    else
        showUpImage();
}

Checkbox::~Checkbox() {}

void Checkbox::onPress(int, int) {}

void Checkbox::onRolloff(int, int) {}

void Checkbox::onRelease(int, int)
{
    checked = !checked;
    if (checked)
        showDownImage();
    else
        showUpImage();
    changedEvent(checked);
}
}
