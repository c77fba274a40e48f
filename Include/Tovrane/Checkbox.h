#ifndef TOVRANE_CHECKBOX_H
#define TOVRANE_CHECKBOX_H

#include "Tovrane/Event.h"
#include "Tovrane/UIBase.h"

namespace Tovrane
{
class Checkbox;
typedef boost::shared_ptr<Checkbox> CheckboxPtr;

// On/off toggle: each release flips it, shows the down picture while checked
// and reports the new state.
class Checkbox : public UIBase
{
    TOVRANE_DECLARE_RTTI(Checkbox)

public:
    Checkbox(SpatialPtr released, SpatialPtr pressed, bool checked);
    ~Checkbox() override;

    void onPress(int x, int y) override;
    void onRelease(int x, int y) override;
    void onRolloff(int x, int y) override;

    Event<void, bool> changedEvent;
    bool checked;
};
}

#endif
