// The studio's answers to its toolbars, colour screen and pickers: tool
// changes, screens opened, effects, frames and the looks of the buttons
// that show the current choice.
#include "Resources/Studio/Studio.h"

#include "Resources/Dialogs/SlotDialogEventArgs.h"
#include "Resources/Drawing/Effects/BlurEffect.h"
#include "Resources/Drawing/Effects/EightbitEffect.h"
#include "Resources/Drawing/Effects/GrayscaleEffect.h"
#include "Resources/Drawing/Effects/GridShuffleEffect.h"
#include "Resources/Drawing/Effects/HFlipEffect.h"
#include "Resources/Drawing/Effects/HSLEffect.h"
#include "Resources/Drawing/Effects/InvertEffect.h"
#include "Resources/Drawing/Effects/RGBRotateEffect.h"
#include "Resources/Drawing/Effects/TexturizeEffect.h"
#include "Resources/Drawing/Effects/VFlipEffect.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/ColorWheelScreen.h"
#include "Resources/Studio/FileToolbar.h"
#include "Resources/Studio/FlipbookController.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Resources/Studio/MainToolbar.h"
#include "Resources/Studio/ToolSelectToolbar.h"

namespace Tovrane
{
namespace
{
// The effect picker's first fourteen entries; the last four are mirror modes.
EffectPtr makeEffect(int id)
{
    switch (id)
    {
    case 0: return EffectPtr(new TexturizeEffect(TextureEffect::Brick));
    case 1: return EffectPtr(new TexturizeEffect(TextureEffect::Wicker));
    case 2: return EffectPtr(new TexturizeEffect(TextureEffect::Parchment));
    case 3: return EffectPtr(new TexturizeEffect(TextureEffect::BrushStrokes));
    case 4: return EffectPtr(new InvertEffect);
    case 5: return EffectPtr(new GrayscaleEffect);
    case 6: return EffectPtr(new RGBRotateEffect);
    case 7: return EffectPtr(new HSLEffect(HSLSpaceEffect::Saturate));
    case 8: return EffectPtr(new HSLEffect(HSLSpaceEffect::Desaturate));
    case 9: return EffectPtr(new BlurEffect);
    case 10: return EffectPtr(new EightbitEffect);
    case 11: return EffectPtr(new GridShuffleEffect);
    case 12: return EffectPtr(new HFlipEffect);
    case 13: return EffectPtr(new VFlipEffect);
    default: return EffectPtr();
    }
}

const int EffectCount = 14;
const int MirrorModeCount = 4;
}

void Studio::mainToolbarCallback(const ToolbarButtonEventArgs& args)
{
    switch (args.index)
    {
    case MainToolbar::ColorButton: pushState(StudioState::ColorScreen, true); break;
    case MainToolbar::StampButton: pushState(StudioState::StampPicker, true); break;
    case MainToolbar::EffectButton: pushState(StudioState::EffectPicker, true); break;
    case MainToolbar::EraserButton:
        setToolType(ToolType::Eraser);
        toolAudioCallback(ToolEventArgs(ToolType::Eraser));
        break;
    case MainToolbar::UndoButton: canvas->undo(); break;
    case MainToolbar::ZoomButton: toggleZoom(); break;
    case MainToolbar::ModeButton: pushState(StudioState::ModeQuestion, true); break;
    default: break; // the tools, shapes and file buttons open their rows themselves
    }
}

void Studio::brushToolbarUICallback(const ToolbarButtonEventArgs& args)
{
    mainToolbar->showButtonHighlight(MainToolbar::ToolsButton);
    showLook(mainToolbar, MainToolbar::ToolsButton, args.index);
}

void Studio::shapeToolbarUICallback(const ToolbarButtonEventArgs& args)
{
    mainToolbar->showButtonHighlight(MainToolbar::ShapesButton);
    showLook(mainToolbar, MainToolbar::ShapesButton, args.index);
}

void Studio::eraserButtonUICallback(const ButtonEventArgs&) { mainToolbar->showButtonHighlight(MainToolbar::EraserButton); }

void Studio::zoomButtonUICallback(const ButtonEventArgs&) { showLook(mainToolbar, MainToolbar::ZoomButton, zoomed ? 1 : 0); }

void Studio::toolSizeUICallback(const ToolSizeEventArgs& args)
{
    showLook(mainToolbar, MainToolbar::ColorButton, args.size);
}

void Studio::flipbookToolbarUICallback(const ToolbarButtonEventArgs&)
{
    if (flipbookController)
        showLook(flipbookToolbar, FlipbookToolbar::PlayButton, flipbookController->isPlaying() ? 1 : 0);
}

void Studio::toolCallback(const ToolEventArgs& args) { setToolType(args.tool); }

void Studio::toolSizeCallback(const ToolSizeEventArgs& args) { setToolSize(args.size); }

void Studio::toolPatternCallback(const PatternEventArgs& args) { setToolPattern(args.pattern); }

void Studio::colorChangeCallback(const ColorRGBA<unsigned char>& colour)
{
    // Alpha 0: a mixture the wheel refused; the drawing colour stays.
    if (colour.a != 0)
        setForegroundColor(colour);
}

void Studio::colorWheelCloseCallback(const ButtonEventArgs&) { popState(true); }

void Studio::fileCallback(const FileEventArgs& args)
{
    switch (args.action)
    {
    case FileAction::New: pushState(StudioState::NewPictureQuestion, true); break;
    case FileAction::Save: pushState(StudioState::SaveSlots, true); break;
    case FileAction::Load: pushState(StudioState::LoadSlots, true); break;
    }
}

void Studio::flipbookToolbarCallback(const ToolbarButtonEventArgs& args)
{
    if (!flipbookController)
        return;
    if (args.index >= 0 && args.index < FlipbookToolbar::FrameCount)
    {
        flipbookController->stop();
        showOnionSkin(true);
        setFrame(args.index);
    }
    else if (args.index == FlipbookToolbar::PlayButton && flipbookController->isPlaying())
    {
        flipbookController->stop();
        showOnionSkin(true);
    }
    else if (args.index == FlipbookToolbar::PlayButton)
    {
        updateFrameCount();
        showOnionSkin(false);
        flipbookController->setFrameCount(framesUsed);
        flipbookController->restart();
    }
}

void Studio::stampFileDialogCallback(const SlotDialogEventArgs& args)
{
    if (args.id == -1)
    {
        popState(true);
        return;
    }
    // A locked stamp: the picker stays open and nothing changes.
    if (!ScrivletPlayer::getCurrentPlayerData()->isStampUnlocked(args.id))
        return;
    stampNumber = args.id;
    setToolType(ToolType::Stamp);
    mainToolbar->showButtonHighlight(MainToolbar::StampButton);
    popState(true);
}

void Studio::imageSlotDialogCallback(const SlotDialogEventArgs& args)
{
    selectedSlot = args.id;
    if (args.id == -1)
    {
        popState(true);
        return;
    }
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    const bool used = mode == StudioMode::Flipbook ? player->hasAnimation(args.id) : player->hasImage(args.id);
    if (states.empty())
        return;
    if (states.back() == StudioState::SaveSlots)
    {
        saveSlot = args.id;
        if (used)
            showDialogBox(questions[1]);
        else
            popState(true);
    }
    else if (states.back() == StudioState::LoadSlots)
    {
        loadSlot = args.id;
        if (!used)
            selectedSlot = -1; // an empty slot: nothing happens, and nothing is remembered
        else if (saved)
            popState(true);
        else
            showDialogBox(questions[0]);
    }
}

void Studio::effectSlotDialogCallback(const SlotDialogEventArgs& args)
{
    if (args.id >= 0 && args.id < EffectCount)
        useEffect(makeEffect(args.id));
    else if (args.id >= EffectCount && args.id < EffectCount + MirrorModeCount)
        setSymmetryType(static_cast<SymmetryType::Type>(args.id - EffectCount));
    // The effect's name, started by the speech handler, goes on.
    popState(false);
}
}
