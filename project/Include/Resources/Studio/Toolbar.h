#ifndef RESOURCES_TOOLBAR_H
#define RESOURCES_TOOLBAR_H

#include "Resources/Dialogs/StudioUIElement.h"
#include "Resources/Studio/ButtonGroup.h"
#include "Tovrane/Button.h"
#include "Tovrane/Event.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Node.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace Tovrane
{
class Toolbar;
typedef boost::shared_ptr<Toolbar> ToolbarPtr;

// The index of the toolbar button clicked, 0 to 12.
struct ToolbarButtonEventArgs
{
    explicit ToolbarButtonEventArgs(std::int32_t index = 0) : index(index) {}
    std::int32_t index;
};

// Base of the studio's toolbars: a row of up to 13 bound buttons laid out
// left to right, reporting clicks by index through clickEvent. Before the
// report a click shows the click marker registered for its button and hides
// the others (the main toolbar opens its pop-up rows so), or, without
// markers, hides the whole row when hideOnClick is set (the pop-up rows close
// after a choice). One button may carry a highlight, and a highlight may lie
// over the whole row.
class Toolbar : public Node, public StudioUIElement
{
    TOVRANE_DECLARE_RTTI(Toolbar)

public:
    typedef Event<void, const ToolbarButtonEventArgs&> ToolbarEvent;

    // Buttons beyond this many are placed but report no clicks.
    static const int MaxBoundButtons = 13;

    ~Toolbar() override;

    // Moves the button by the running offset, binds its release to the click
    // of its index, adds it to the row and advances the offset by `spacing`.
    void addButton(ButtonPtr button, tFixed spacing);
    // Button `index` of the row; empty outside the row.
    ButtonPtr getButton(int index) const;
    int getButtonQuantity() const { return buttonNode->getChildQuantity(); }

    // The click of button `index`: markers or hiding, then clickEvent.
    void buttonClick(int index);
    // Highlights button `index` alone; an index outside the row hides all.
    void showButtonHighlight(int index);
    // Shows `marker` when button `index` is clicked and hides it on any other
    // click. Ignored for an empty marker or a button that does not exist.
    void showOnButtonClicked(SpatialPtr marker, int index);
    // Replaces the highlight over the whole row (empty: none), half a unit in
    // front of the buttons; its visibility is left as it is.
    void setToolbarHighlight(GeometryPtr highlight);
    void showToolbarHighlight(bool show);
    GeometryPtr getToolbarHighlight() const { return toolbarHighlight; }

    bool getHideOnClick() const { return hideOnClick; }

    ToolbarEvent clickEvent;

protected:
    // Built only by the toolbars themselves.
    Toolbar();

    // Building aids of the toolbars: a sprite of the shared studio sheets in
    // 16-bit 4-4-4-4, placed where its sheet places it; a button of the
    // sprites "studio/toolbar/" + look + "_up.png" and "_down.png"; a group
    // of such looks, the first one shown; a highlight sprite given to a
    // button as its hidden highlight child.
    static GeometryPtr getSprite(const std::string& name);
    static ButtonPtr makeButton(const std::string& look);
    static ButtonGroupPtr makeGroup(std::initializer_list<const char*> looks);
    static void addButtonHighlight(const ButtonPtr& button, const std::string& name);
    static std::string upSprite(const std::string& look) { return "studio/toolbar/" + look + "_up.png"; }
    static std::string downSprite(const std::string& look) { return "studio/toolbar/" + look + "_down.png"; }

    Vector3<tFixed> buttonOffset;
    bool hideOnClick;
    NodePtr buttonNode;
    GeometryPtr toolbarHighlight;
    NodePtr showOnClickNode;

private:
    template <int N> void onButtonClick(const ButtonEventArgs&) { buttonClick(N); }

    typedef void (Toolbar::*ClickHandler)(const ButtonEventArgs&);
    static const ClickHandler toolbarClicks[MaxBoundButtons];
};
}

#endif
