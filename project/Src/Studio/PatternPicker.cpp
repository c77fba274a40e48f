#include "Resources/Studio/PatternPicker.h"

#include "Tovrane/Button.h"
#include "Tovrane/Geometry.h"

#include <cstdio>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, PatternPicker, Node);

namespace
{
const char* const StepSound = "h_SX_PatternPickedSfx_6.ogg";
}

PatternPicker::PatternPicker() : pattern(0) { initialize(); }

PatternPicker::~PatternPicker() {}

void PatternPicker::initialize()
{
    SpriteManager* sprites = getSpriteManager();
    typedef Button::ButtonEvent::MethodDelegate<PatternPicker> Delegate;
    const struct
    {
        const char* up;
        const char* down;
        void (PatternPicker::*step)(const ButtonEventArgs&);
    } arrows[2] = {{"studio/color_picker/left_arrow_up.png", "studio/color_picker/left_arrow_down.png",
                    &PatternPicker::onPrevButton},
                   {"studio/color_picker/right_arrow_up.png", "studio/color_picker/right_arrow_down.png",
                    &PatternPicker::onNextButton}};
    for (const auto& arrow : arrows)
    {
        ButtonPtr button(new Button(sprites->getSprite(arrow.up, PixelFormat::RGBA4444),
                                    sprites->getSprite(arrow.down, PixelFormat::RGBA4444)));
        button->setClickSound(StepSound);
        button->releaseEvent += new Delegate(this, arrow.step);
        addChild(button);
    }

    patternNode.reset(new Node);
    addChild(patternNode);
    pattern = 0;
    for (int i = 0; i < PatternCount; ++i)
    {
        char name[40];
        std::snprintf(name, sizeof(name), "color_masks/pattern_%02d.png", i);
        SpatialPtr swatch = sprites->getSprite(name, PixelFormat::RGBA4444);
        swatch->cullingMode = CullingMode::Hide;
        patternNode->setChild(swatch, i);
    }
    showSwatch(0, CullingMode::Show);
}

void PatternPicker::onPrevButton(const ButtonEventArgs&)
{
    onPatternChange(pattern <= 0 ? PatternCount - 1 : pattern - 1);
}

void PatternPicker::onNextButton(const ButtonEventArgs&)
{
    onPatternChange(pattern > PatternCount - 2 ? 0 : pattern + 1);
}

void PatternPicker::onPatternChange(int i)
{
    showSwatch(pattern, CullingMode::Hide);
    pattern = i;
    showSwatch(pattern, CullingMode::Show);
    patternEvent(PatternEventArgs(pattern));
}

void PatternPicker::showSwatch(int i, CullingMode::Type mode)
{
    // A number outside 0 to 14 names no swatch.
    SpatialPtr swatch = patternNode->getChild(i);
    if (swatch)
        swatch->cullingMode = mode;
}
}
