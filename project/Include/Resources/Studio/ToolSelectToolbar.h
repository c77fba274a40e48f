#ifndef RESOURCES_TOOLSELECTTOOLBAR_H
#define RESOURCES_TOOLSELECTTOOLBAR_H

#include "Resources/Drawing/ToolManager.h"
#include "Resources/Studio/Toolbar.h"

namespace Tovrane
{
class ToolSelectToolbar;
typedef boost::shared_ptr<ToolSelectToolbar> ToolSelectToolbarPtr;

// The tool chosen on a tool-select toolbar.
struct ToolEventArgs
{
    explicit ToolEventArgs(ToolType::Type tool = ToolType::Pencil) : tool(tool) {}
    ToolType::Type tool;
};

// A pop-up row whose buttons each stand for a tool. A release announces the
// tool through toolEvent first; then the row's own click runs (it hides
// itself and reports the index), so tool listeners still find it shown.
class ToolSelectToolbar : public Toolbar
{
    TOVRANE_DECLARE_RTTI(ToolSelectToolbar)

public:
    typedef Event<void, const ToolEventArgs&> ToolEvent;

    ~ToolSelectToolbar() override;

    ToolEvent toolEvent;

protected:
    ToolSelectToolbar();

    // Appends the button of the look (see makeButton) announcing `tool`.
    void addToolButton(const std::string& look, ToolType::Type tool);

private:
    template <ToolType::Type T> void onButtonClick(const ButtonEventArgs&) { onToolChange(T); }
    void onToolChange(ToolType::Type tool);

    typedef void (ToolSelectToolbar::*ClickHandler)(const ButtonEventArgs&);
    // By tool number; only the drawing tools and the shapes have a button.
    static const ClickHandler toolClicks[ToolType::Star + 1];
};
}

#endif
