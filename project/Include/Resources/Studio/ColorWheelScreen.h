#ifndef RESOURCES_COLORWHEELSCREEN_H
#define RESOURCES_COLORWHEELSCREEN_H

#include "Resources/Drawing/ToolManager.h"
#include "Resources/Studio/PatternPicker.h"
#include "Resources/Dialogs/StudioUIElement.h"
#include "Tovrane/ButtonEventArgs.h"
#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Event.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Node.h"

namespace Tovrane
{
class ColorWheelScreen;
typedef boost::shared_ptr<ColorWheelScreen> ColorWheelScreenPtr;

// The brush size chosen on the colour screen.
struct ToolSizeEventArgs
{
    explicit ToolSizeEventArgs(ToolSize::Type size = ToolSize::Medium) : size(size) {}
    ToolSize::Type size;
};

// The parts of the colour screen the spoken hint points at.
struct ColorWheelScreenArea
{
    // A fixed type: any int is a value (beyond 1 the sizes).
    enum Type : int
    {
        Wheel = 0,
        Patterns = 1,
        Sizes = 2
    };
};

// The studio's colour screen: the colour wheel with its centre disc, three
// brush sizes (medium at first), the pattern picker, a close button and three
// highlight frames. It decides nothing: every choice is passed on through one
// of its four events. A colour with alpha 0 (a mixture the wheel refused) is
// passed on like any other. Children, in order: backdrop, close button, the
// small, medium and large size boxes, pattern picker, centre disc, wheel, the
// three size marks and the node of highlights.
class ColorWheelScreen : public Node, public StudioUIElement
{
    TOVRANE_DECLARE_RTTI(ColorWheelScreen)

public:
    typedef ColorRGBA<unsigned char> Colour;

    ColorWheelScreen();
    ~ColorWheelScreen() override;

    void initialize();

    // A size box switched on reports its size; switched off, nothing.
    void smallButtonCallback(bool on);
    void mediumButtonCallback(bool on);
    void largeButtonCallback(bool on);
    void onToolSize(ToolSize::Type size);
    void closeButtonCallback(const ButtonEventArgs& args);
    void patternCallback(const PatternEventArgs& args);
    void colorChangeCallback(const Colour& colour);

    // Shows one more frame (areas beyond 1 are the sizes); hideHighlights
    // hides all three.
    void showHighlight(ColorWheelScreenArea::Type area);
    void hideHighlights();

    Event<void, const ToolSizeEventArgs&> toolSizeEvent;
    Event<void, const ButtonEventArgs&> closeEvent;
    Event<void, const PatternEventArgs&> patternEvent;
    Event<void, const Colour&> colorEvent;
    GeometryPtr wheelHighlight;
    GeometryPtr patternHighlight;
    GeometryPtr sizeHighlight;
};
}

#endif
