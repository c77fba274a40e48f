#include "Resources/Dialogs/PopUpSlotDialog.h"

#include "Tovrane/Assert.h"
#include "Tovrane/Button.h"
#include "Tovrane/Plane.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, PopUpSlotDialog, SlotDialog);

namespace
{
typedef Button::ButtonEvent::MethodDelegate<SlotDialog> Delegate;

const PixelFormat::Type format = PixelFormat::RGBA4444;

ButtonPtr makeButton(const char* released, const char* pressed, SlotDialog* dialog, SlotDialog::SlotHandler handler)
{
    SpriteManager* sprites = StudioUIElement::getSpriteManager();
    ButtonPtr button(new Button(sprites->getSprite(released, format), sprites->getSprite(pressed, format)));
    button->releaseEvent += new Delegate(dialog, handler);
    return button;
}

NodePtr raisedNode()
{
    NodePtr node(new Node);
    node->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)));
    return node;
}
}

PopUpSlotDialog::PopUpSlotDialog(bool square, int rows, bool background, bool arrows)
{
    if (background)
        initializeBackground(arrows);
    if (square)
        initializeSquare(rows);
    else
        initializeRectangle(rows);
    columns = 3;
    pageStep = 3 * rows;
    this->rows = rows;
}

PopUpSlotDialog::~PopUpSlotDialog() = default;

void PopUpSlotDialog::initializeBackground(bool arrows)
{
    addChild(getSpriteManager()->getSprite("file_dialog/file_dialog_base.png", format));
    NodePtr container = raisedNode();
    ButtonPtr close = makeButton("file_dialog/close_up.png", "file_dialog/close_down.png", this,
                                 &SlotDialog::onSlotClick<-1>);
    close->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)));
    container->addChild(close);
    if (arrows)
    {
        container->addChild(makeButton("file_dialog/arrow_left_up.png", "file_dialog/arrow_left_down.png", this,
                                       &SlotDialog::onLeftArrowButton));
        container->addChild(makeButton("file_dialog/arrow_right_up.png", "file_dialog/arrow_right_down.png", this,
                                       &SlotDialog::onRightArrowButton));
    }
    addChild(container);
}

void PopUpSlotDialog::initializeRectangle(int rows)
{
    const SlotLook look = {"file_dialog/file_slot.png", "file_dialog/file_slot_highlight.png", 65, 26, 32, 17};
    initializeSlots(look, rows);
}

void PopUpSlotDialog::initializeSquare(int rows)
{
    const SlotLook look = {"file_dialog/stamp_slot.png", "file_dialog/stamp_slot_highlight.png", 74, 19, 25, 25};
    initializeSlots(look, rows);
}

void PopUpSlotDialog::initializeSlots(const SlotLook& look, int rows)
{
    TOVRANE_ASSERT((rows > 0) && (rows <= 2) && "Invalid number of rows");
    NodePtr container = raisedNode();
    const int top = rows == 2 ? 125 : 100;
    // Column by column, the upper slot of each column first.
    int slot = 0;
    for (int column = 0, x = look.firstX; column < 3; ++column, x += 64)
    {
        for (int row = 0; row < rows; ++row, ++slot)
        {
            ButtonPtr button = makeButton(look.released, look.pressed, this, slotClicks[slot]);
            button->movePosition(Vector3<tFixed>(tFixed(x), tFixed(top - 49 * row), tFixed(0)));
            GeometryPtr face(new Plane(tFixed(look.halfExtent), tFixed(look.halfExtent), 2, 2));
            face->movePosition(Vector3<tFixed>(tFixed(look.faceX), tFixed(look.faceY), tFixed(-0.5f)));
            button->addChild(face);
            slotFaces.push_back(face);
            container->addChild(button);
        }
    }
    addChild(container);
}
}
