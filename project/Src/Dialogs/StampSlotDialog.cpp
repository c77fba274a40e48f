#include "Resources/Dialogs/StampSlotDialog.h"

#include "Resources/Profile/ScrivletPlayer.h"

#include <cstdio>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, StampSlotDialog, PopUpSlotDialog);

StampSlotDialog::StampSlotDialog() : PopUpSlotDialog(true, 2, true, true) { initialize(); }

StampSlotDialog::~StampSlotDialog() = default;

void StampSlotDialog::initialize()
{
    const ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
    SpriteManager* sprites = getSpriteManager();
    for (int stamp = 0; stamp < ScrivletPlayer::stampCount; ++stamp)
        addSlotData(sprites->getTexture(profile->isStampUnlocked(stamp) ? "studio/stamps/" + getFileName(stamp)
                                                                        : std::string("studio/stamps/locked.png")),
                    stamp);
    populateSlots();
}

std::string StampSlotDialog::getFileName(int stamp)
{
    char name[32];
    std::snprintf(name, sizeof name, "stamp_ui_%02d.png", stamp);
    return name;
}
}
