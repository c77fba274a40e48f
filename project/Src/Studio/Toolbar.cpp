#include "Resources/Studio/Toolbar.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Toolbar, Node);

const Toolbar::ClickHandler Toolbar::toolbarClicks[Toolbar::MaxBoundButtons] = {
    &Toolbar::onButtonClick<0>, &Toolbar::onButtonClick<1>,  &Toolbar::onButtonClick<2>,
    &Toolbar::onButtonClick<3>, &Toolbar::onButtonClick<4>,  &Toolbar::onButtonClick<5>,
    &Toolbar::onButtonClick<6>, &Toolbar::onButtonClick<7>,  &Toolbar::onButtonClick<8>,
    &Toolbar::onButtonClick<9>, &Toolbar::onButtonClick<10>, &Toolbar::onButtonClick<11>,
    &Toolbar::onButtonClick<12>};

Toolbar::Toolbar() : hideOnClick(true), buttonNode(new Node), showOnClickNode(new Node)
{
    addChild(buttonNode);
    addChild(showOnClickNode);
}

Toolbar::~Toolbar() {}

GeometryPtr Toolbar::getSprite(const std::string& name)
{
    return getSpriteManager()->getSprite(name, PixelFormat::RGBA4444);
}

ButtonPtr Toolbar::makeButton(const std::string& look)
{
    return ButtonPtr(new Button(getSprite(upSprite(look)), getSprite(downSprite(look))));
}

ButtonGroupPtr Toolbar::makeGroup(std::initializer_list<const char*> looks)
{
    ButtonGroupPtr group(new ButtonGroup);
    for (const char* look : looks)
        group->addGroup(getSprite(upSprite(look)), getSprite(downSprite(look)));
    return group;
}

void Toolbar::addButtonHighlight(const ButtonPtr& button, const std::string& name)
{
    button->highlight = getSprite(name);
    button->addChild(button->highlight);
    button->hideHighlight();
}

void Toolbar::addButton(ButtonPtr button, tFixed spacing)
{
    button->movePosition(buttonOffset);
    button->setTransformCurrent(false);
    const int slot = buttonNode->getChildQuantity();
    if (slot < MaxBoundButtons)
        button->releaseEvent += new Button::ButtonEvent::MethodDelegate<Toolbar>(this, toolbarClicks[slot]);
    buttonNode->setChild(button, slot);
    buttonOffset.x += spacing;
}

ButtonPtr Toolbar::getButton(int index) const
{
    SpatialPtr child = buttonNode->getChild(index);
    if (!child || !child->getType().isDerived(Button::RuntimeType))
        return ButtonPtr();
    return boost::static_pointer_cast<Button>(child);
}

void Toolbar::buttonClick(int index)
{
    const int markers = showOnClickNode->getChildQuantity();
    if (markers > 0)
    {
        for (int i = 0; i < markers; ++i)
            if (SpatialPtr marker = showOnClickNode->getChild(i))
                marker->cullingMode = CullingMode::Hide;
        if (SpatialPtr marker = showOnClickNode->getChild(index))
            marker->cullingMode = CullingMode::Show;
    }
    else if (hideOnClick)
        cullingMode = CullingMode::Hide;
    // Listeners see the row as the click left it.
    clickEvent(ToolbarButtonEventArgs(index));
}

void Toolbar::showButtonHighlight(int index)
{
    for (int i = 0; i < buttonNode->getChildQuantity(); ++i)
        if (ButtonPtr button = getButton(i))
        {
            if (i == index)
                button->onHighlight();
            else
                button->onUnHighlight();
        }
}

void Toolbar::showOnButtonClicked(SpatialPtr marker, int index)
{
    if (!marker || index < 0 || index >= MaxBoundButtons || !getButton(index))
        return;
    showOnClickNode->setChild(marker, index);
    marker->cullingMode = CullingMode::Hide;
}

void Toolbar::setToolbarHighlight(GeometryPtr highlight)
{
    if (toolbarHighlight)
        removeChild(toolbarHighlight);
    toolbarHighlight = highlight;
    if (!toolbarHighlight)
        return;
    toolbarHighlight->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(0.5f)));
    toolbarHighlight->setTransformCurrent(false);
    addChild(toolbarHighlight);
}

void Toolbar::showToolbarHighlight(bool show)
{
    if (toolbarHighlight)
        toolbarHighlight->cullingMode = show ? CullingMode::Show : CullingMode::Hide;
}
}
