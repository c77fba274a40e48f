#ifndef TOVRANE_BUTTON_H
#define TOVRANE_BUTTON_H

#include "Tovrane/ButtonEventArgs.h"
#include "Tovrane/Event.h"
#include "Tovrane/UIBase.h"

namespace Tovrane
{
class Button;
typedef boost::shared_ptr<Button> ButtonPtr;

// Push button: shows its down picture while the finger is on it and reports
// press, release (the click) and rolloff with the touch position. The picture
// changes before the delegates run. A button is switched off by hiding it or
// an ancestor.
class Button : public UIBase
{
    TOVRANE_DECLARE_RTTI(Button)

public:
    typedef Event<void, const ButtonEventArgs&> ButtonEvent;

    Button();
    Button(SpatialPtr released, SpatialPtr pressed);
    ~Button() override;

    void onPress(int x, int y) override;
    void onRelease(int x, int y) override;
    void onRolloff(int x, int y) override;
    // A click by buttons: releaseEvent with -1, -1; pictures unchanged.
    void onSelect() override;

    ButtonEvent pressEvent;
    ButtonEvent releaseEvent;
    ButtonEvent rolloffEvent;
};
}

#endif
