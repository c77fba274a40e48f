#include "Resources/Dialogs/MenuSlotDialog.h"

#include "Tovrane/Button.h"
#include "Tovrane/Plane.h"
#include "Tovrane/SpriteManager.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, MenuSlotDialog, SlotDialog);

MenuSlotDialog::MenuSlotDialog(bool arrows) { initialize(arrows); }

MenuSlotDialog::~MenuSlotDialog() = default;

void MenuSlotDialog::initialize(bool arrows)
{
    typedef Button::ButtonEvent::MethodDelegate<SlotDialog> Delegate;
    SpriteManager* sprites = getSpriteManager();
    const PixelFormat::Type format = PixelFormat::RGBA4444;
    NodePtr container(new Node);
    container->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)));

    if (arrows)
    {
        ButtonPtr left(new Button(sprites->getSprite("menu_slot/slot_arrow_left.png", format),
                                  sprites->getSprite("menu_slot/slot_arrow_left_down.png", format)));
        left->releaseEvent += new Delegate(this, &SlotDialog::onLeftArrowButton);
        container->addChild(left);
        ButtonPtr right(new Button(sprites->getSprite("menu_slot/slot_arrow_right.png", format),
                                   sprites->getSprite("menu_slot/slot_arrow_right_down.png", format)));
        right->releaseEvent += new Delegate(this, &SlotDialog::onRightArrowButton);
        container->addChild(right);
    }

    // Column by column, the upper slot of each column first.
    int slot = 0;
    for (int column = 0; column < 3; ++column)
    {
        for (int row = 0; row < 2; ++row, ++slot)
        {
            ButtonPtr button(new Button(sprites->getSprite("menu_slot/slot.png", format),
                                        sprites->getSprite("menu_slot/slot_highlight.png", format)));
            button->movePosition(Vector3<tFixed>(tFixed(35 + 55 * column), tFixed(125 - 65 * row), tFixed(0)));
            button->releaseEvent += new Delegate(this, slotClicks[slot]);
            GeometryPtr face(new Plane(tFixed(19), tFixed(19), 2, 2));
            face->movePosition(Vector3<tFixed>(tFixed(26), tFixed(25), tFixed(-0.5f)));
            button->addChild(face);
            slotFaces.push_back(face);
            container->addChild(button);
        }
    }
    addChild(container);

    rows = 2;
    columns = 3;
    pageStep = 6;
}
}
