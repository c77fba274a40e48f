#include "Resources/FrontEnd/CreditsState.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Button.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/TiledBillboard.h"

#include <algorithm>
#include <cstdint>

namespace Tovrane
{
namespace
{
const char* const Reminder = "h_VIDORIV_PressBBttnTRtrnTOptn_3.ogg";
const std::uint32_t DirectionButtons = 0xF;
const std::uint32_t BackButtons = 0x120;

// Where the scroll node stands for a scroll offset: the list's centre is at
// y offset - 2009.5, above the pop-up frame.
Vector3<tFixed> scrollPosition(tFixed offset)
{
    return Vector3<tFixed>(tFixed(159), offset - tFixed(2009.5f), tFixed(1));
}
}

CreditsState::CreditsState() : GameState(false, true), scrollOffset(0) {}

CreditsState::~CreditsState()
{
    picker.elements.clear();
    scrollNode.reset();
}

void CreditsState::load()
{
    const PixelFormat::Type format = PixelFormat::RGBA4444;
    auto lift = [](tFixed dz) { return Vector3<tFixed>(tFixed(0), tFixed(0), dz); };
    picker.elements.clear();
    sceneManager.addSceneInfo("credits");

    sceneRoot->addChild(sceneManager.getSprite("credits/background.png", format));

    scrollNode.reset(new Node);
    scrollNode->setPosition(scrollPosition(tFixed(0)));
    sceneRoot->addChild(scrollNode);
    // Cut in tiles no texture of the renderer is too tall for; the list's
    // centre stands on the scroll node.
    TiledBillboardPtr list(new TiledBillboard(sceneManager.getTexture("credits/credits_list.png"), 256));
    list->setPosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(0.5f)));
    scrollNode->addChild(list);

    // The frame below the list, the mask over it: the list shows only
    // through the mask's window.
    GeometryPtr frame = sceneManager.getSprite("credits/pop_up_base.png", format);
    frame->movePosition(lift(tFixed(1)));
    sceneRoot->addChild(frame);
    GeometryPtr mask = sceneManager.getSprite("credits/credits_mask.png", format);
    mask->movePosition(lift(tFixed(2)));
    sceneRoot->addChild(mask);

    ButtonPtr close(new Button(sceneManager.getSprite("credits/slot_close_up.png", format),
                               sceneManager.getSprite("credits/slot_close_down.png", format)));
    close->releaseEvent += new Button::ButtonEvent::MethodDelegate<CreditsState>(this, &CreditsState::exitCallback);
    close->movePosition(lift(tFixed(2.5f)));
    sceneRoot->addChild(close);

    // A held direction comes again every frame.
    repeatMask |= DirectionButtons;
    scrollOffset = tFixed(0);

    audioPlayer->playMusic("h_MUSIC_ArtGalleryMusicLooping_6.ogg");
    audioPlayer->playSpeech(Reminder);
    // No audio player: the close button clicks silently.
    picker.addUIElements(sceneRoot);
    GameState::load();
}

void CreditsState::update(unsigned int appTime) { GameState::update(appTime); }

void CreditsState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    picker.doPick(touch.x, touch.y, touch.touchState);
}

void CreditsState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    const std::uint32_t held = button.buttonState;
    if (held & Vantorel::Kelm::kButtonUp)
        scrollBy(-ScrollStep);
    else if (held & Vantorel::Kelm::kButtonDown)
        scrollBy(ScrollStep);
    if (held & BackButtons)
        popGameState();
    if ((held & Vantorel::Kelm::kButtonHint) && !audioPlayer->isSpeechPlaying())
        audioPlayer->playSpeech(Reminder);
}

void CreditsState::scrollBy(int units)
{
    // Whole units added and clamped in 64 bits, so no argument can wrap.
    const std::int64_t raw = static_cast<std::int64_t>(scrollOffset.getRaw()) + static_cast<std::int64_t>(units) * 65536;
    const std::int64_t limit = static_cast<std::int64_t>(ScrollLimit) * 65536;
    scrollOffset = tFixed::fromRaw(static_cast<std::int32_t>(std::min(std::max<std::int64_t>(raw, 0), limit)));
    if (scrollNode)
        scrollNode->setPosition(scrollPosition(scrollOffset));
}

void CreditsState::exitCallback(const ButtonEventArgs&) { popGameState(); }
}
