#include "Resources/Dialogs/MicromodsSlotDialog.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/SpriteManager.h"

#include <cstdio>
#include <string>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, MicromodsSlotDialog, MenuSlotDialog);

MicromodsSlotDialog::MicromodsSlotDialog() : MenuSlotDialog(true) { initialize(); }

MicromodsSlotDialog::~MicromodsSlotDialog() = default;

void MicromodsSlotDialog::initialize()
{
    // Stamps 0-15 and frames 0-1 come with the title; only the ones that
    // downloads unlock are listed.
    const ScrivletPlayer* profile = ScrivletPlayer::getCurrentPlayerData();
    SpriteManager* sprites = getSpriteManager();
    for (int stamp = 16; stamp < ScrivletPlayer::stampCount; ++stamp)
    {
        const std::string number = std::to_string(stamp);
        addSlotData(sprites->getTexture(profile->isStampUnlocked(stamp) ? "menu/stamp_" + number + ".png"
                                                                        : "menu/stamp_locked_" + number + ".png"),
                    stamp);
    }
    for (int frame = 2; frame < ScrivletPlayer::frameCount; ++frame)
    {
        char number[16];
        std::snprintf(number, sizeof number, "%02d", frame);
        addSlotData(sprites->getTexture(profile->isFrameUnlocked(frame) ? std::string("menu/frame_") + number + ".png"
                                                                        : std::string("menu/frame_locked_") + number +
                                                                              ".png"),
                    frame);
    }
    populateSlots();
}
}
