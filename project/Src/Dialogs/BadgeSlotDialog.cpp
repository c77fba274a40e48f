#include "Resources/Dialogs/BadgeSlotDialog.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/SpriteManager.h"
#include "Tovrane/Texture.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, BadgeSlotDialog, MenuSlotDialog);

namespace
{
const char* badgeIcon(bool earned, bool selected)
{
    if (earned)
        return selected ? "menu/badge_select.png" : "menu/badge.png";
    return selected ? "menu/badge_locked_select.png" : "menu/badge_locked.png";
}
}

BadgeSlotDialog::BadgeSlotDialog() : MenuSlotDialog(true) { initialize(); }

BadgeSlotDialog::~BadgeSlotDialog() = default;

void BadgeSlotDialog::initialize()
{
    const ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
    SpriteManager* sprites = getSpriteManager();
    for (int badge = 0; badge < ScrivletPlayer::badgeCount; ++badge)
        addSlotData(sprites->getTexture(badgeIcon(profile->hasBadge(static_cast<BadgeName::Type>(badge)), false)),
                    badge);
    // A blank entry, so that the last page is not shifted back by one.
    addSlotData(TexturePtr(new Texture(32, 32, PixelFormat::RGBA4444, true, 0)), -1);
    populateSlots();
}

void BadgeSlotDialog::highlightSlot(int badge)
{
    const ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
    SpriteManager* sprites = getSpriteManager();
    for (int i = 0; i < ScrivletPlayer::badgeCount; ++i)
        updateThumbnail(
            sprites->getTexture(badgeIcon(profile->hasBadge(static_cast<BadgeName::Type>(i)), i == badge)), i);
    populateSlots();
}
}
