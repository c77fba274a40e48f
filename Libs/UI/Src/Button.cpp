#include "Tovrane/Button.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Button, UIBase);

Button::Button() {}

Button::Button(SpatialPtr released, SpatialPtr pressed) : UIBase(released, pressed) {}

Button::~Button() {}

void Button::onPress(int x, int y)
{
    showDownImage();
    pressEvent(ButtonEventArgs(x, y));
}

void Button::onRelease(int x, int y)
{
    showUpImage();
    releaseEvent(ButtonEventArgs(x, y));
}

void Button::onRolloff(int x, int y)
{
    showUpImage();
    rolloffEvent(ButtonEventArgs(x, y));
}

void Button::onSelect() { releaseEvent(ButtonEventArgs(-1, -1)); }
}
