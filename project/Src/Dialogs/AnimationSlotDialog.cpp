#include "Resources/Dialogs/AnimationSlotDialog.h"

#include "Resources/Profile/ScrivletPlayer.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, AnimationSlotDialog, PopUpSlotDialog);

namespace
{
TexturePtr animationFace(int slot)
{
    const bool used = ScrivletPlayer::getCurrentPlayerData()->hasAnimation(slot);
    return StudioUIElement::getSpriteManager()->getTexture(used ? "studio/images/used.png" : "studio/images/open.png");
}
}

AnimationSlotDialog::AnimationSlotDialog() : PopUpSlotDialog(false, 1, true, false) { initialize(); }

AnimationSlotDialog::~AnimationSlotDialog() = default;

void AnimationSlotDialog::initialize()
{
    for (int slot = 0; slot < ScrivletPlayer::animationSlotCount; ++slot)
        addSlotData(animationFace(slot), slot);
    populateSlots();
}

void AnimationSlotDialog::resetSlots()
{
    for (int slot = 0; slot < ScrivletPlayer::animationSlotCount; ++slot)
        updateThumbnail(animationFace(slot), slot);
    populateSlots();
}
}
