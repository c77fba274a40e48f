#include "Resources/Studio/ButtonGroup.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, ButtonGroup, Button);

ButtonGroup::ButtonGroup() { setClickSound("h_SX_SelectSfx_6.ogg"); }

ButtonGroup::~ButtonGroup()
{
    pressedGeos.clear();
    releasedGeos.clear();
}

void ButtonGroup::addGroup(SpatialPtr released, SpatialPtr pressed)
{
    releasedGeos.push_back(released);
    pressedGeos.push_back(pressed);
    if (releasedGeos.size() == 1)
        showGroup(0);
}

void ButtonGroup::showGroup(int index)
{
    if (index < 0 || index >= getGroupQuantity())
        return;
    // Both replace the shown picture and skip one already in place.
    setReleasedGeo(releasedGeos[static_cast<size_t>(index)]);
    setPressedGeo(pressedGeos[static_cast<size_t>(index)]);
}
}
