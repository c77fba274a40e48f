#ifndef TOVRANE_RADIOBOX_H
#define TOVRANE_RADIOBOX_H

#include "Tovrane/Event.h"
#include "Tovrane/UIBase.h"

#include <vector>

namespace Tovrane
{
class Radiobox;
typedef boost::shared_ptr<Radiobox> RadioboxPtr;

// One of a group of mutually exclusive choices: releasing a box makes it the
// group's active one (down picture) and switches the previous one off; every
// change is reported with the box's new state, the box switched off first.
// Boxes share ownership of their group; the group only points at its boxes.
class Radiobox : public UIBase
{
    TOVRANE_DECLARE_RTTI(Radiobox)

public:
    class RadioboxGroup
    {
    public:
        RadioboxGroup();
        ~RadioboxGroup();

        // Appends (a box may be listed twice).
        void addRadiobox(Radiobox* box);
        // Removes the first occurrence. A group never keeps pointing at a box
        // that left it: removing the active box clears the active box.
        void removeRadiobox(Radiobox* box);
        // Switches the active box (if any) off, reporting false, then records
        // `box` without changing it.
        void setActiveBox(Radiobox* box);
        Radiobox* getActiveBox() const { return activeBox; }

        std::vector<Radiobox*> boxes; // not owning
        Radiobox* activeBox;          // not owning; null when none

        RadioboxGroup(const RadioboxGroup&) = delete;
        RadioboxGroup& operator=(const RadioboxGroup&) = delete;
    };
    typedef boost::shared_ptr<RadioboxGroup> RadioboxGroupPtr;

    Radiobox(SpatialPtr released, SpatialPtr pressed);
    // Leaves its group.
    ~Radiobox() override;

    // Joins a group, leaving the one it was in before.
    void addToGroup(RadioboxGroupPtr group);
    RadioboxGroupPtr getGroup() const { return group; }

    // Makes this box the group's active one; the box must be in a group.
    void activate();
    // Switches this box off and reports false; the group is not told.
    void deactivate();

    void onPress(int x, int y) override;
    // Activates the box unless it is already active.
    void onRelease(int x, int y) override;
    void onRolloff(int x, int y) override;

    Event<void, bool> changedEvent;
    bool active;

private:
    // Switched off on behalf of the group: up picture, false reported.
    void switchOff();

    RadioboxGroupPtr group;
};
}

#endif
