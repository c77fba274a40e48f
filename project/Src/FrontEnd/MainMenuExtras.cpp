// The main menu's badges, downloaded extras and options pages: what choosing
// a badge or an extra says, the music volume slider, the new-game question
// and the credits.
#include "Resources/FrontEnd/MainMenuState.h"

#include "Resources/Dialogs/MicromodsSlotDialog.h"
#include "Resources/FrontEnd/CreditsState.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Button.h"
#include "Tovrane/Slider.h"

#include <algorithm>

namespace Tovrane
{
namespace
{
const PixelFormat::Type ExtrasFormat = PixelFormat::RGBA4444;

// What the guide says of each badge: earned, and what earns it.
const char* const BadgeSpeeches[ScrivletPlayer::badgeCount][2] = {
    {"h_SCRIVLET_YouHvDrwnAllOfUpprC_5.ogg", "h_SCRIVLET_DrawAllOfUpprCsLttr_3.ogg"},
    {"h_SCRIVLET_YouHvDrwnAllOfLwrCs_5.ogg", "h_SCRIVLET_DrawAllOfLwrCsLttrs_3.ogg"},
    {"h_SCRIVLET_YouHvDrwnAllOfNmbrs_5.ogg", "h_SCRIVLET_DrawAllOfNmbrsTErnT_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThFrhs_5.ogg", "h_SCRIVLET_FixThFrhsTErnThsBdg_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThLbrry_5.ogg", "h_SCRIVLET_FixLbrryTErnThsBdg_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThClrflFntn_5.ogg", "h_SCRIVLET_FixClrflFntnTErnThs_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThTwnHll_5.ogg", "h_SCRIVLET_FixTwnHllTErnThsBdg_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThClckTwr_5.ogg", "h_SCRIVLET_FixClckTwrTErnThsBd_3.ogg"},
    {"h_SCRIVLET_YouHvFxdPlytmPrk_5.ogg", "h_SCRIVLET_FixPlytmPrkTErnThsB_3.ogg"},
    {"h_SCRIVLET_YouHvFxdRskyRctrck_5.ogg", "h_SCRIVLET_FixRskyRctrckTErnTh_3.ogg"},
    {"h_SCRIVLET_YouHvFxdLghngOrchrd_5.ogg", "h_SCRIVLET_FixLghngOrchrdTErnT_3.ogg"},
    {"h_SCRIVLET_YouHvFxdMndlsFrrsWh_5.ogg", "h_SCRIVLET_FixMndlsFrrsWhlTErn_3.ogg"},
    {"h_SCRIVLET_YouHvFxdVskHppyLttl_5.ogg", "h_SCRIVLET_FixVskHppyLttlFrstT_3.ogg"},
    {"h_SCRIVLET_YouHvFxdSclptrGrdn_5.ogg", "h_SCRIVLET_FixSclptrGrdnTErnTh_3.ogg"},
    {"h_SCRIVLET_YouHvFxdGrvyTShrtSh_5.ogg", "h_SCRIVLET_FixGrvyTShrtShpTErn_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThTrnDpt_5.ogg", "h_SCRIVLET_FixTrnDptTErnThsBdg_3.ogg"},
    {"h_SCRIVLET_YouHaveFixedTheMill_5.ogg", "h_SCRIVLET_FixThMllTErnThsBdg_3.ogg"},
    {"h_SCRIVLET_YouHvFxdBfysGym_5.ogg", "h_SCRIVLET_FixBfysGymTErnThsBd_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThRsnShnCf_5.ogg", "h_SCRIVLET_FixRsnShnCfTErnThsB_3.ogg"},
    {"h_SCRIVLET_YouHvFxdLndlckdShp_5.ogg", "h_SCRIVLET_FixLndlckdShpTErnTh_3.ogg"},
    {"h_SCRIVLET_YouHvFxdSpnnngWhlDn_5.ogg", "h_SCRIVLET_FixSpnnngWhlDnrTErn_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThPrplPnd_5.ogg", "h_SCRIVLET_FixPrplPndTErnThsBd_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThRckyHkPth_5.ogg", "h_SCRIVLET_FixRckyHkPthTErnThs_3.ogg"},
    {"h_SCRIVLET_YouHvFxdThSpkyMnsn_5.ogg", "h_SCRIVLET_FixSpkyMnsnTErnThsB_3.ogg"},
    {"h_SCRIVLET_YouHvFxdAllOfTndlwd_5.ogg", "h_SCRIVLET_FixAllOfTndlwdTErnT_3.ogg"},
    {"h_SCRIVLET_YouHvAdddDrwngTArtG_5.ogg", "h_SCRIVLET_AddDrwngTArtGllryTE_3.ogg"},
    {"h_SCRIVLET_YouHvFlldThArtGllry_5.ogg", "h_SCRIVLET_FillArtGllryTErnThs_3.ogg"},
};

const char* const NotDownloaded = "h_VIDORIV_MicromodNtDwnlddCnnc_3.ogg";

// The stored volume runs from 30 to 60 on the slider's track.
const int QuietestVolume = 30;
const int VolumeRange = 30;
}

const char* MainMenuState::badgeSpeech(int badge, bool earned)
{
    TOVRANE_ASSERT(badge >= 0 && badge < ScrivletPlayer::badgeCount && "Invalid badge");
    return BadgeSpeeches[badge][earned ? 0 : 1];
}

void MainMenuState::initializeBadges()
{
    badgeSlotDialog.reset(new BadgeSlotDialog);
    badgesPage = buildPage("menu/badges_title.png", badgeSlotDialog, &MainMenuState::badgeSlotCallback);
}

void MainMenuState::initializeMicromods()
{
    micromodsPage = buildPage("menu/micro_title.png", SlotDialogPtr(new MicromodsSlotDialog),
                              &MainMenuState::micromodSlotCallback);
}

void MainMenuState::initializeOptions()
{
    typedef Button::ButtonEvent::MethodDelegate<MainMenuState> Delegate;
    optionsPage = buildPage("menu/options_title.png", SlotDialogPtr(), nullptr);
    // The page was hidden while it was built; its widgets join it hidden.
    ButtonPtr startNew(new Button(sceneManager.getSprite("menu/start_new_up.png", ExtrasFormat),
                                  sceneManager.getSprite("menu/start_new_down.png", ExtrasFormat)));
    startNew->releaseEvent += new Delegate(this, &MainMenuState::newGameCallback);
    optionsPage->addChild(startNew);

    volumeSlider.reset(new Slider(sceneManager.getSprite("menu/vol_slider_up.png", ExtrasFormat),
                                  sceneManager.getSprite("menu/vol_slider_down.png", ExtrasFormat)));
    volumeSlider->setType(Slider::Horizontal);
    volumeSlider->setPosition(Vector3<tFixed>(tFixed(45), tFixed(70), tFixed(0.5f)));
    volumeSlider->setMinMax(40, 185);
    // The knob shows the player's volume (begin hands it to the audio player)
    // on the scale its drag sets, so that a touch on the knob keeps the
    // volume; below 30 it waits at the left end.
    const float ratio = (player->musicVolume - QuietestVolume) / static_cast<float>(VolumeRange);
    volumeSlider->setRatio(std::min(std::max(ratio, 0.0f), 1.0f));
    volumeSlider->changedEvent += new Event<void, float>::MethodDelegate<MainMenuState>(this, &MainMenuState::volumeCallback);
    optionsPage->addChild(sceneManager.getSprite("menu/music_volume_title.png", ExtrasFormat));
    optionsPage->addChild(sceneManager.getSprite("menu/vol_slider_backdrop.png", ExtrasFormat));
    optionsPage->addChild(volumeSlider);

    ButtonPtr credits(new Button(sceneManager.getSprite("menu/credits_up.png", ExtrasFormat),
                                 sceneManager.getSprite("menu/credits_down.png", ExtrasFormat)));
    credits->releaseEvent += new Delegate(this, &MainMenuState::creditsCallback);
    optionsPage->addChild(credits);

    newGameDialogController.reset(new DialogBoxController);
    newGameDialogController->audioPlayer = audioPlayer;
    newGameDialogController->promptSpeech = "h_VIDORIV_AreYSrYWntTStrtNwGmA_3.ogg";
    newGameDialogController->noSpeech = "h_VIDORIV_SelectNTKpYrGm_3.ogg";
    newGameDialogController->yesSpeech = "h_VIDORIV_SelectYsTErsYrCrrntG_3.ogg";

    newGameDialog.reset(new DialogBox(false));
    newGameDialog->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(2)));
    newGameDialog->addController(newGameDialogController);
    show(newGameDialog, false);
    newGameDialog->dialogEvent +=
        new DialogBox::DialogEvent::MethodDelegate<MainMenuState>(this, &MainMenuState::dialogBoxCallback);
    GeometryPtr tornado = sceneManager.getSprite("menu/tornado_icon.png", ExtrasFormat);
    tornado->movePosition(Vector3<tFixed>(tFixed(42), tFixed(37), tFixed(1)));
    newGameDialog->addChild(tornado);
    optionsPage->addChild(newGameDialog);
}

void MainMenuState::badgeSlotCallback(const SlotDialogEventArgs& args)
{
    // The empty item after the last badge.
    if (args.id < 0 || args.id >= ScrivletPlayer::badgeCount)
        return;
    badgeSlotDialog->highlightSlot(args.id);
    speak(badgeSpeech(args.id, player->hasBadge(static_cast<BadgeName::Type>(args.id))));
}

void MainMenuState::micromodSlotCallback(const SlotDialogEventArgs& args)
{
    if (args.id < 0)
        return;
    // Frames are numbered below 16, stamps from 16.
    if (args.id <= 15)
        speak(player->isFrameUnlocked(args.id) ? "h_VIDORIV_CustomPictureFrame_3.ogg" : NotDownloaded);
    else
        speak(player->isStampUnlocked(args.id) ? "h_VIDORIV_CustomStamp_3.ogg" : NotDownloaded);
}

void MainMenuState::volumeCallback(float ratio)
{
    const unsigned char volume = static_cast<unsigned char>(static_cast<unsigned int>(ratio * VolumeRange + QuietestVolume));
    player->musicVolume = volume;
    audioPlayer->setMusicVolume(volume);
}

void MainMenuState::newGameCallback(const ButtonEventArgs&)
{
    show(newGameDialog, true);
    newGameDialogController->restart();
    picker.elements.clear();
    dialogPending = true;
    dialogDelayFrames = 0;
}

void MainMenuState::dialogBoxCallback(const DialogEventArgs& args)
{
    picker.elements.clear();
    newGameDialogController->stop();
    audioPlayer->stopSpeech();
    if (args.result == DialogEventArgs::Yes)
    {
        player->reset();
        player->save();
        speak("h_VIDORIV_Yes_3.ogg");
    }
    else if (args.result == DialogEventArgs::No)
        speak("h_VIDORIV_No_3.ogg");
    picker.addUIElements(sceneRoot);
}

void MainMenuState::creditsCallback(const ButtonEventArgs&)
{
    Application::PushGameState(new CreditsState);
    returnToOptions = 1;
}
}
