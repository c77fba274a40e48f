#ifndef RESOURCES_DIALOGBOX_H
#define RESOURCES_DIALOGBOX_H

#include "Resources/Dialogs/DialogEventArgs.h"
#include "Tovrane/ButtonEventArgs.h"
#include "Tovrane/Event.h"
#include "Tovrane/Node.h"

namespace Tovrane
{
class DialogBox;
class Geometry;
typedef boost::shared_ptr<DialogBox> DialogBoxPtr;
typedef boost::shared_ptr<Geometry> GeometryPtr;

// The spoken yes/no question: a panel of the "dialog_box" scene with Yes, No
// and close buttons, two overlays that mark Yes or No while the guide
// explains them, and an optional prompt picture. A click fires dialogEvent
// with the answer and then hides the box; the box never shows itself.
class DialogBox : public Node
{
    TOVRANE_DECLARE_RTTI(DialogBox)

public:
    typedef Event<void, const DialogEventArgs&> DialogEvent;

    explicit DialogBox(bool prompt);
    ~DialogBox() override;

    // Builds the panel; the answer is reset to 0 (none yet).
    void initialize(bool prompt);

    void onYesButton(const ButtonEventArgs& args);
    void onNoButton(const ButtonEventArgs& args);
    void onCancelButton(const ButtonEventArgs& args);
    // Tells the listeners the answer, then hides the box.
    void onClose();

    void showYesButtonHighlight();
    void showNoButtonHighlight();
    void hideButtonHighlights();

    DialogEvent dialogEvent;
    // The last answer: 0 none yet, 1 yes, 2 no, 3 cancel.
    int result;
    GeometryPtr yesHighlight;
    GeometryPtr noHighlight;
};
}

#endif
