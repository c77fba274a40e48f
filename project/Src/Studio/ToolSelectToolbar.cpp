#include "Resources/Studio/ToolSelectToolbar.h"

#include "Tovrane/Assert.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, ToolSelectToolbar, Toolbar);

const ToolSelectToolbar::ClickHandler ToolSelectToolbar::toolClicks[ToolType::Star + 1] = {
    &ToolSelectToolbar::onButtonClick<ToolType::Pencil>,
    &ToolSelectToolbar::onButtonClick<ToolType::Brush>,
    &ToolSelectToolbar::onButtonClick<ToolType::Fill>,
    &ToolSelectToolbar::onButtonClick<ToolType::Chalk>,
    &ToolSelectToolbar::onButtonClick<ToolType::Marker>,
    &ToolSelectToolbar::onButtonClick<ToolType::Crayon>,
    &ToolSelectToolbar::onButtonClick<ToolType::Airbrush>,
    nullptr, // eraser, stamp and zoom are main-toolbar buttons
    nullptr,
    nullptr,
    nullptr,
    &ToolSelectToolbar::onButtonClick<ToolType::Line>,
    &ToolSelectToolbar::onButtonClick<ToolType::Rectangle>,
    &ToolSelectToolbar::onButtonClick<ToolType::Circle>,
    &ToolSelectToolbar::onButtonClick<ToolType::Triangle>,
    &ToolSelectToolbar::onButtonClick<ToolType::Star>};

ToolSelectToolbar::ToolSelectToolbar() {}

ToolSelectToolbar::~ToolSelectToolbar() {}

void ToolSelectToolbar::addToolButton(const std::string& look, ToolType::Type tool)
{
    TOVRANE_ASSERT(tool >= 0 && tool <= ToolType::Star && toolClicks[tool] && "No tool button for this tool");
    ButtonPtr button = makeButton(look);
    // Bound before the row's own click, so the tool is announced first.
    button->releaseEvent += new Button::ButtonEvent::MethodDelegate<ToolSelectToolbar>(this, toolClicks[tool]);
    addButton(button, tFixed(32));
}

void ToolSelectToolbar::onToolChange(ToolType::Type tool) { toolEvent(ToolEventArgs(tool)); }
}
