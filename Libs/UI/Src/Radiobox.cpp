#include "Tovrane/Radiobox.h"

#include "Tovrane/Assert.h"

#include <algorithm>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Radiobox, UIBase);

namespace
{
// Takes every listing of the box out of the group, and the group's active box
// with it, so that the group never points at the box again.
void leave(Radiobox::RadioboxGroup& group, Radiobox* box)
{
    while (std::find(group.boxes.begin(), group.boxes.end(), box) != group.boxes.end() || group.activeBox == box)
        group.removeRadiobox(box);
}
}

Radiobox::Radiobox(SpatialPtr released, SpatialPtr pressed) : UIBase(released, pressed), active(false) {}

Radiobox::~Radiobox()
{
    if (group)
        leave(*group, this);
    group.reset();
}

void Radiobox::addToGroup(RadioboxGroupPtr newGroup)
{
    // A box belongs to one group; an earlier group lets go of it, or it would
    // point at the box after its death.
    if (group && group != newGroup)
        leave(*group, this);
    if (newGroup)
        newGroup->addRadiobox(this);
    group = newGroup;
}

void Radiobox::activate()
{
    TOVRANE_ASSERT(group && "The radio box is not in a group");
    // The group is kept alive for the whole change, whatever the delegates do.
    RadioboxGroupPtr keep = group;
    active = true;
    Radiobox* previous = keep->activeBox;
    if (previous && previous != this)
        previous->switchOff();
    keep->activeBox = this;
    showDownImage();
    changedEvent(true);
}

void Radiobox::deactivate() { switchOff(); }

void Radiobox::switchOff()
{
    active = false;
    showUpImage();
    changedEvent(false);
}

void Radiobox::onPress(int, int) {}

void Radiobox::onRolloff(int, int) {}

void Radiobox::onRelease(int, int)
{
    if (!active)
        activate();
}
}
