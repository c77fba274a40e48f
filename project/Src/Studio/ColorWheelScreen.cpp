#include "Resources/Studio/ColorWheelScreen.h"

#include "Resources/Studio/ColorWheel.h"
#include "Tovrane/Button.h"
#include "Tovrane/Radiobox.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, ColorWheelScreen, Node);

namespace
{
GeometryPtr sprite(const char* name)
{
    return StudioUIElement::getSpriteManager()->getSprite(name, PixelFormat::RGBA4444);
}

Vector3<tFixed> offset(tFixed x, tFixed y, tFixed z) { return Vector3<tFixed>(x, y, z); }
}

ColorWheelScreen::ColorWheelScreen() { initialize(); }

ColorWheelScreen::~ColorWheelScreen() {}

void ColorWheelScreen::initialize()
{
    GeometryPtr backdrop = sprite("studio/color_picker/color_wheel_base.png");
    backdrop->movePosition(offset(0, 0, tFixed(-0.5f)));
    addChild(backdrop);

    ButtonPtr close(
        new Button(sprite("studio/color_picker/close_up.png"), sprite("studio/color_picker/close_down.png")));
    close->releaseEvent += new Button::ButtonEvent::MethodDelegate<ColorWheelScreen>(
        this, &ColorWheelScreen::closeButtonCallback);
    addChild(close);

    const struct
    {
        const char* up;
        const char* down;
        void (ColorWheelScreen::*callback)(bool);
    } sizes[3] = {{"studio/color_picker/brush_small_up.png", "studio/color_picker/brush_small_down.png",
                   &ColorWheelScreen::smallButtonCallback},
                  {"studio/color_picker/brush_medium_up.png", "studio/color_picker/brush_medium_down.png",
                   &ColorWheelScreen::mediumButtonCallback},
                  {"studio/color_picker/brush_large_up.png", "studio/color_picker/brush_large_down.png",
                   &ColorWheelScreen::largeButtonCallback}};
    Radiobox::RadioboxGroupPtr group(new Radiobox::RadioboxGroup);
    RadioboxPtr medium;
    for (const auto& size : sizes)
    {
        RadioboxPtr box(new Radiobox(sprite(size.up), sprite(size.down)));
        box->setClickSound("h_SX_SizePickedSfx_6.ogg");
        box->addToGroup(group);
        box->changedEvent += new Event<void, bool>::MethodDelegate<ColorWheelScreen>(this, size.callback);
        addChild(box);
        if (size.callback == &ColorWheelScreen::mediumButtonCallback)
            medium = box;
    }
    medium->activate();

    PatternPickerPtr patterns(new PatternPicker);
    patterns->patternEvent += new Event<void, const PatternEventArgs&>::MethodDelegate<ColorWheelScreen>(
        this, &ColorWheelScreen::patternCallback);
    addChild(patterns);

    GeometryPtr disc = sprite("color_masks/mask_color_wheel.png");
    disc->movePosition(offset(0, 0, tFixed(0.5f)));
    addChild(disc);

    ColorWheelPtr wheel(
        new ColorWheel(sprite("studio/color_picker/color_wheel.png"), sprite("studio/color_picker/color_cursor.png")));
    wheel->setCenter(disc);
    wheel->movePosition(offset(16, 69, 0));
    wheel->colorEvent += new Event<void, const Colour&>::MethodDelegate<ColorWheelScreen>(
        this, &ColorWheelScreen::colorChangeCallback);
    addChild(wheel);

    for (const char* mark : {"color_masks/mask_small_picker.png", "color_masks/mask_medium_picker.png",
                             "color_masks/mask_large_picker.png"})
        addChild(sprite(mark));

    NodePtr highlights(new Node);
    highlights->movePosition(offset(0, 0, tFixed(0.5f)));
    wheelHighlight = sprite("studio/color_picker/color_wheel_highlight.png");
    patternHighlight = sprite("studio/color_picker/pattern_picker_highlight.png");
    sizeHighlight = sprite("studio/color_picker/brush_size_highlight.png");
    for (const GeometryPtr& frame : {wheelHighlight, patternHighlight, sizeHighlight})
        highlights->addChild(frame);
    hideHighlights();
    addChild(highlights);
}

void ColorWheelScreen::smallButtonCallback(bool on)
{
    if (on)
        onToolSize(ToolSize::Small);
}

void ColorWheelScreen::mediumButtonCallback(bool on)
{
    if (on)
        onToolSize(ToolSize::Medium);
}

void ColorWheelScreen::largeButtonCallback(bool on)
{
    if (on)
        onToolSize(ToolSize::Large);
}

void ColorWheelScreen::onToolSize(ToolSize::Type size) { toolSizeEvent(ToolSizeEventArgs(size)); }

void ColorWheelScreen::closeButtonCallback(const ButtonEventArgs& args) { closeEvent(args); }

void ColorWheelScreen::patternCallback(const PatternEventArgs& args) { patternEvent(args); }

void ColorWheelScreen::colorChangeCallback(const Colour& colour) { colorEvent(colour); }

void ColorWheelScreen::showHighlight(ColorWheelScreenArea::Type area)
{
    GeometryPtr frame = area == ColorWheelScreenArea::Wheel      ? wheelHighlight
                        : area == ColorWheelScreenArea::Patterns ? patternHighlight
                                                                 : sizeHighlight;
    frame->cullingMode = CullingMode::Show;
}

void ColorWheelScreen::hideHighlights()
{
    for (const GeometryPtr& frame : {wheelHighlight, patternHighlight, sizeHighlight})
        frame->cullingMode = CullingMode::Hide;
}
}
