#include "Resources/Dialogs/EffectSlotDialog.h"

#include <string>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, EffectSlotDialog, PopUpSlotDialog);

EffectSlotDialog::EffectSlotDialog() : PopUpSlotDialog(true, 2, true, true) { initialize(); }

EffectSlotDialog::~EffectSlotDialog() = default;

void EffectSlotDialog::initialize()
{
    // By id; what each one does is the studio's business.
    static const char* const icons[] = {"brick_texture",   "wicker_texture", "parchment_texture", "brush_texture",
                                        "invert",          "grayscale",      "rgb_rotate",        "saturate",
                                        "desaturate",      "blur",           "pixelate",          "grid_swap",
                                        "horizontal_flip", "vertical_flip",  "non_symmetrical",   "x_symmetrical",
                                        "y_symmetrical",   "symmetrical"};
    SpriteManager* sprites = getSpriteManager();
    for (int id = 0; id < static_cast<int>(sizeof icons / sizeof icons[0]); ++id)
        addSlotData(sprites->getTexture(std::string("studio/effects/") + icons[id] + ".png"), id);
    populateSlots();
}
}
