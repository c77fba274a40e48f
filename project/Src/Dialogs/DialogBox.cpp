#include "Resources/Dialogs/DialogBox.h"

#include "Tovrane/Button.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/SceneManager.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, DialogBox, Node);

DialogBox::DialogBox(bool prompt) : result(0) { initialize(prompt); }

DialogBox::~DialogBox() = default;

void DialogBox::initialize(bool prompt)
{
    typedef Button::ButtonEvent::MethodDelegate<DialogBox> Delegate;
    const PixelFormat::Type format = PixelFormat::RGBA4444;
    const Vector3<tFixed> above(tFixed(0), tFixed(0), tFixed(0.5f));
    result = 0;
    // A manager for this call only: the sprites keep their textures.
    SceneManager sprites;
    sprites.addSceneInfo("dialog_box");

    addChild(sprites.getSprite("dialog_box/dialog_box_base.png", format));
    const struct
    {
        const char* up;
        const char* down;
        Delegate::Method handler;
    } buttons[] = {{"dialog_box/yes_up.png", "dialog_box/yes_down.png", &DialogBox::onYesButton},
                   {"dialog_box/no_up.png", "dialog_box/no_down.png", &DialogBox::onNoButton},
                   {"dialog_box/close_up.png", "dialog_box/close_down.png", &DialogBox::onCancelButton}};
    for (const auto& entry : buttons)
    {
        ButtonPtr button(new Button(sprites.getSprite(entry.up, format), sprites.getSprite(entry.down, format)));
        button->releaseEvent += new Delegate(this, entry.handler);
        addChild(button);
    }

    yesHighlight = sprites.getSprite("dialog_box/yes_highlight.png", format);
    noHighlight = sprites.getSprite("dialog_box/no_highlight.png", format);
    for (const GeometryPtr& highlight : {yesHighlight, noHighlight})
    {
        highlight->movePosition(above);
        highlight->cullingMode = CullingMode::Hide;
        addChild(highlight);
    }
    if (prompt)
    {
        GeometryPtr picture = sprites.getSprite("dialog_box/prompt.png", format);
        picture->movePosition(above);
        addChild(picture);
    }
}

void DialogBox::onYesButton(const ButtonEventArgs&)
{
    result = DialogEventArgs::Yes;
    onClose();
}

void DialogBox::onNoButton(const ButtonEventArgs&)
{
    result = DialogEventArgs::No;
    onClose();
}

void DialogBox::onCancelButton(const ButtonEventArgs&)
{
    result = DialogEventArgs::Cancel;
    onClose();
}

void DialogBox::onClose()
{
    if (dialogEvent.getDelegateQuantity() > 0)
        dialogEvent(DialogEventArgs(result));
    cullingMode = CullingMode::Hide;
}

void DialogBox::showYesButtonHighlight()
{
    yesHighlight->cullingMode = CullingMode::Show;
    noHighlight->cullingMode = CullingMode::Hide;
}

void DialogBox::showNoButtonHighlight()
{
    yesHighlight->cullingMode = CullingMode::Hide;
    noHighlight->cullingMode = CullingMode::Show;
}

void DialogBox::hideButtonHighlights()
{
    yesHighlight->cullingMode = CullingMode::Hide;
    noHighlight->cullingMode = CullingMode::Hide;
}
}
