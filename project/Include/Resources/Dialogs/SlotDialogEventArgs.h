#ifndef RESOURCES_SLOTDIALOGEVENTARGS_H
#define RESOURCES_SLOTDIALOGEVENTARGS_H

namespace Tovrane
{
// What a slot picker reports: the button's place on the page (0 to 5, -1 for
// the close button) and the id of the item shown there (-1 for the close
// button and for a slot past the end of the list).
struct SlotDialogEventArgs
{
    SlotDialogEventArgs() : slot(-1), id(-1) {}
    SlotDialogEventArgs(int slot, int id) : slot(slot), id(id) {}

    int slot;
    int id;
};
}

#endif
