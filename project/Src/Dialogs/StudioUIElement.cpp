#include "Resources/Dialogs/StudioUIElement.h"

namespace Tovrane
{
// Toolbar buttons, colour screen and thumbnails; colour masks and pattern
// swatches; the pop-up pickers' frame, slots, arrows and close button.
const char* const StudioUIElement::SheetNames[] = {"studio.tex", "color_masks.tex", "file_dialog.tex"};
const int StudioUIElement::SheetCount = sizeof(SheetNames) / sizeof(SheetNames[0]);

std::int32_t StudioUIElement::elementCount = 0;
boost::shared_ptr<SpriteManager> StudioUIElement::spriteManagerInstance;

StudioUIElement::StudioUIElement() { ++elementCount; }

StudioUIElement::~StudioUIElement()
{
    // The last element gone: the sheets' textures go with the manager (a
    // texture a live sprite still shows goes with that sprite).
    if (--elementCount == 0)
        spriteManagerInstance.reset();
}

SpriteManager* StudioUIElement::getSpriteManager()
{
    if (!spriteManagerInstance)
    {
        spriteManagerInstance.reset(new SpriteManager);
        for (int i = 0; i < SheetCount; ++i)
            spriteManagerInstance->addSpriteInfo(SheetNames[i]);
    }
    return spriteManagerInstance.get();
}
}
