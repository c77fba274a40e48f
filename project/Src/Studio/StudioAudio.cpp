// The studio's voice: tool names and first-time hints, the toolbar buttons'
// announcements, effect names and sounds, the colour screen's lines, the
// hint button's help for each screen and the sound of the tool in use. All
// of it goes through the owner's audio player; without one it is silent.
#include "Resources/Studio/Studio.h"

#include "Resources/Dialogs/DialogBoxController.h"
#include "Resources/Dialogs/SlotDialogEventArgs.h"
#include "Resources/Studio/BrushToolbar.h"
#include "Resources/Studio/ColorWheel.h"
#include "Resources/Studio/ColorWheelScreen.h"
#include "Resources/Studio/FileToolbar.h"
#include "Resources/Studio/MainToolbar.h"
#include "Resources/Studio/ShapeToolbar.h"
#include "Resources/Studio/ToolSelectToolbar.h"
#include "Tovrane/AudioEventArgs.h"
#include "Tovrane/AudioPlayer.h"

#include <cstdlib>

namespace Tovrane
{
namespace
{
const int ToolCount = 16;

// By tool type: the name, and the long hint for choice 1 and choice 0 (the
// same file where the tool has one hint). Empty: nothing to say.
const char* const ToolNames[ToolCount] = {"h_SCRIVLET_PencilAnnncdAsTtl_3.ogg",
    "h_SCRIVLET_BrushAnnncdAsTtl_3.ogg", "h_SCRIVLET_FillTlAnnncdAsTtl_3.ogg", "h_SCRIVLET_ChalkAnnncdAsTtl_3.ogg",
    "h_SCRIVLET_MarkerAnnncdAsTtl_3.ogg", "h_SCRIVLET_CrayonAnnncdAsTtl_3.ogg",
    "h_SCRIVLET_AirbrushAnnncdAsTtl_3.ogg", "h_SCRIVLET_EraserAnnncdAsTtl_3.ogg", "", "", "",
    "h_SCRIVLET_LineTlAnnncdAsTtl_3.ogg", "h_SCRIVLET_RectangleTlAnnncdAs_3.ogg",
    "h_SCRIVLET_CircleTlAnnncdAsTtl_3.ogg", "h_SCRIVLET_TriangleTlAnnncdAsT_3.ogg",
    "h_SCRIVLET_StarTlAnnncdAsTtl_3.ogg"};

const char* const ShapeHint = "h_SCRIVLET_UseShpTlTDrwRctngls_3.ogg";
const char* const StampHint = "h_REVAD_StampEvrybdyStmpEvrybd_3.ogg";

const char* const ToolHints[ToolCount][2] = {
    {"h_SCRIVLET_UseThPnclTlTDrw_3.ogg", "h_SCRIVLET_UseThPnclTlTDrw_3.ogg"},
    {"h_SCRIVLET_UseBrshTlTPntBtflPn_3.ogg", "h_SCRIVLET_UseBrshTlTPntBtflPn_3.ogg"},
    {"h_SCRIVLET_UseFllTlTFllAnArWth_3.ogg", "h_SCRIVLET_UseFllTlTFllAnArWth_3.ogg"},
    {"h_SCRIVLET_UseThChlkTlTDrw_3.ogg", "h_SCRIVLET_UseThChlkTlTDrw_3.ogg"},
    {"h_REVAD_UseThMrkrTlTDrwThckLns_3.ogg", "h_REVAD_YoMrkrTlIsPhtYCnDrwRll_3.ogg"},
    {"h_SCRIVLET_UseThCrynTlTClr_3.ogg", "h_SCRIVLET_UseThCrynTlTClr_3.ogg"},
    {"h_SCRIVLET_UseArbrshTlTSpryClr_3.ogg", "h_REVAD_TheArbrshTlIsOnOfFnrTl_5.ogg"},
    {"h_SCRIVLET_UseErsrTlTErsPrtOfY_3.ogg", "h_SCRIVLET_UseErsrTlTErsPrtOfY_3.ogg"},
    {"h_SCRIVLET_UseStmpTlTStmpFnDsg_3.ogg", StampHint},
    {"", ""},
    {"", ""},
    {ShapeHint, ShapeHint},
    {ShapeHint, ShapeHint},
    {ShapeHint, ShapeHint},
    {ShapeHint, ShapeHint},
    {ShapeHint, ShapeHint}};

// By main-toolbar button; button 9 names the mode it leads to (art mode
// leads to the flipbook).
const char* const MainToolbarSpeech[10] = {"h_SCRIVLET_ToolsAnnncdAsTtl_3.ogg",
    "h_SCRIVLET_ColorsAndSzsAnnncdA_3.ogg", "h_SCRIVLET_ShapesAnnncdAsTtl_3.ogg",
    "h_SCRIVLET_StampsAnnncdAsTtl_3.ogg", "h_SCRIVLET_FiltersAndEffctsAnn_3.ogg",
    "h_SCRIVLET_EraserAnnncdAsTtl_3.ogg", "", "", "h_SCRIVLET_FilesAnnncdAsTtl_3.ogg",
    "h_SCRIVLET_FlipBkAnnncdAsTtl_3.ogg"};
const char* const ArtModeSpeech = "h_ROZ_ArtStdAnnncdAsTtl_3.ogg";

// By effect picker id: the name, then the sound after the effect.
const char* const EffectSpeech[18][2] = {{"h_SCRIVLET_Brickify_5.ogg", "h_SX_BrickTextureSfx_6.ogg"},
    {"h_SCRIVLET_WickerIt_5.ogg", "h_SX_WickerTextureSfx_6.ogg"},
    {"h_SCRIVLET_SketchyPaper_5.ogg", "h_SX_ParchmentTextureSfx_6.ogg"},
    {"h_SCRIVLET_Tindlewoodify_5.ogg", "h_SX_TindlewoodCrynTxtrSfx_6.ogg"},
    {"h_SCRIVLET_ReversifyColors_5.ogg", "h_SX_InvertSfx_6.ogg"},
    {"h_SCRIVLET_DeColor_5.ogg", "h_SX_BlackAndWhiteSfx_6.ogg"},
    {"h_SCRIVLET_ShiftTheColors_5.ogg", "h_SX_ColorShiftSfx_6.ogg"},
    {"h_SCRIVLET_BoostTheColor_5.ogg", "h_SX_SaturateSfx_6.ogg"},
    {"h_SCRIVLET_DrainTheColor_5.ogg", "h_SX_DesaturateSfx_6.ogg"},
    {"h_SCRIVLET_Blur_5.ogg", "h_SX_BlurSfx_6.ogg"},
    {"h_SCRIVLET_Blockify_5.ogg", "h_SX_EightBitBlocksSfx_6.ogg"},
    {"h_SCRIVLET_JigsawPuzzle_5.ogg", "h_SX_GridSwapSfx_6.ogg"},
    {"h_SCRIVLET_FlipFlop_5.ogg", "h_SX_HorizontalFlipSfx_6.ogg"},
    {"h_SCRIVLET_GoTopsyTurvey_5.ogg", "h_SX_VerticalFlipSfx_6.ogg"},
    {"h_SCRIVLET_TurnOffSymmetry_5.ogg", "h_SX_SymmetryOffSfx_6.ogg"},
    {"h_SCRIVLET_MirrorImage_5.ogg", "h_SX_2WayHorizontalSymmetrySfx_6.ogg"},
    {"h_SCRIVLET_PondReflection_5.ogg", "h_SX_2WayVerticalSymmetrySfx_6.ogg"},
    {"h_SCRIVLET_FunhouseMirrors_5.ogg", "h_SX_4WaySymmetrySfx_6.ogg"}};

// The colour screen's lines, by the area each speaks of.
const char* const ColorWheelHints[3] = {"h_VIDORIV_ChooseClrByTppngItOr_3.ogg",
    "h_VIDORIV_SelectPttrnTUsWhlPnt_3.ogg", "h_VIDORIV_SelectBrshSzYdLkTUsH_3.ogg"};

// By tool type up to the stamp.
const char* const ToolSounds[9] = {"h_SX_UsePencilSfx_6.ogg", "h_SX_UseBrushSfx_6.ogg", "h_SX_UseFillToolSfx_6.ogg",
    "h_SX_UseChalkSfx_6.ogg", "h_SX_UseMarkerSfx_6.ogg", "h_SX_UseCrayonSfx_6.ogg", "h_SX_UseAirbrushSfx_6.ogg",
    "h_SX_UseEraserSfx_6.ogg", "h_SX_UseStampSfx_6.ogg"};

bool inRange(int index, int count) { return index >= 0 && index < count; }

// A choice from 0 to count - 1 other than the last one.
int drawOtherThan(int last, int count)
{
    int choice = std::rand() % count;
    while (choice == last)
        choice = std::rand() % count;
    return choice;
}
}

void Studio::setAudioPlayer(AudioPlayer* player)
{
    audioPlayer = player;
    if (!player || !withUI)
        return;
    for (const DialogBoxControllerPtr& question : questions)
        question->audioPlayer = player;
    SpatialPtr colorScreen = getDialog(colorScreenIndex);
    if (colorScreen && colorScreen->getType().isDerived(ColorWheelScreen::RuntimeType))
    {
        // The wheel is the colour screen's child 7.
        NodePtr screen = boost::static_pointer_cast<Node>(colorScreen);
        SpatialPtr wheel = screen->getChildQuantity() > 7 ? screen->getChild(7) : SpatialPtr();
        if (wheel && wheel->getType().isDerived(ColorWheel::RuntimeType))
            static_cast<ColorWheel*>(wheel.get())->audioPlayer = player;
    }
    picker.setAudioPlayer(player);
}

void Studio::toolAudioCallback(const ToolEventArgs& args)
{
    if (!audioPlayer || !inRange(args.tool, ToolCount))
        return;
    if (firstToolActivation[args.tool])
    {
        toolAudioHint();
        firstToolActivation[args.tool] = false;
        // One long hint covers every shape tool.
        if (args.tool >= ToolType::Line)
            for (int shape = ToolType::Line; shape <= ToolType::Star; ++shape)
                firstToolActivation[shape] = false;
    }
    else
        audioPlayer->playSpeech(ToolNames[args.tool]);
}

void Studio::toolAudioHint()
{
    if (!audioPlayer)
        return;
    lastToolHint = drawOtherThan(lastToolHint, 2);
    // Choice 1 takes the first file of the two, choice 0 the second.
    audioPlayer->playSpeech(inRange(toolType, ToolCount) ? ToolHints[toolType][lastToolHint == 1 ? 0 : 1] : "");
}

void Studio::mainToolbarAudioCallback(const ToolbarButtonEventArgs& args)
{
    if (!audioPlayer)
        return;
    const char* speech = inRange(args.index, 10) ? MainToolbarSpeech[args.index] : "";
    if (args.index == MainToolbar::ModeButton && mode == StudioMode::Flipbook)
        speech = ArtModeSpeech;
    audioPlayer->playSpeech(speech);
    const char* sound = "";
    if (args.index == MainToolbar::UndoButton)
        sound = "h_SX_UndoSfx_6.ogg";
    else if (args.index == MainToolbar::ZoomButton)
        // Read before the zoom toggles.
        sound = zoomed ? "h_SX_ZoomInSfx_6.ogg" : "h_SX_ZoomOutSfx_6.ogg";
    audioPlayer->playSfx(sound);
}

void Studio::fileAudioCallback(const FileEventArgs& args)
{
    if (!audioPlayer)
        return;
    if (args.action == FileAction::Save)
        audioPlayer->playSpeech("h_SCRIVLET_PickASltTSvYrDrwng_3.ogg");
    else if (args.action == FileAction::Load)
        audioPlayer->playSpeech("h_SCRIVLET_PickAPictureToLoad_3.ogg");
}

void Studio::effectSlotDialogAudioCallback(const SlotDialogEventArgs& args)
{
    if (audioPlayer)
        audioPlayer->playSpeech(inRange(args.id, 18) ? EffectSpeech[args.id][0] : "");
}

void Studio::effectSlotDialogSfxCallback(const SlotDialogEventArgs& args)
{
    if (audioPlayer)
        audioPlayer->playSfx(inRange(args.id, 18) ? EffectSpeech[args.id][1] : "");
}

void Studio::toolSizeAudioCallback(const ToolSizeEventArgs&)
{
    if (audioPlayer)
        audioPlayer->playSpeech(ColorWheelHints[ColorWheelScreenArea::Sizes]);
}

void Studio::toolPatternAudioCallback(const PatternEventArgs&)
{
    if (!audioPlayer || !patternHintDue)
        return;
    audioPlayer->playSpeech(ColorWheelHints[ColorWheelScreenArea::Patterns]);
    patternHintDue = false;
}

void Studio::colorWheelAudioHint()
{
    if (!audioPlayer)
        return;
    lastColorWheelHint = drawOtherThan(lastColorWheelHint, 3);
    audioPlayer->playSpeech(ColorWheelHints[lastColorWheelHint],
        new AudioPlayer::AudioEvent::MethodDelegate<Studio>(this, &Studio::colorWheelAudioHintCallback));
    // The area the line speaks of lights up until the line ends or is cut.
    SpatialPtr screen = getDialog(colorScreenIndex);
    if (screen && screen->getType().isDerived(ColorWheelScreen::RuntimeType))
        static_cast<ColorWheelScreen*>(screen.get())
            ->showHighlight(static_cast<ColorWheelScreenArea::Type>(lastColorWheelHint));
}

void Studio::colorWheelAudioHintCallback(const AudioEventArgs&)
{
    SpatialPtr screen = getDialog(colorScreenIndex);
    if (screen && screen->getType().isDerived(ColorWheelScreen::RuntimeType))
        static_cast<ColorWheelScreen*>(screen.get())->hideHighlights();
}

void Studio::drawingStudioHint()
{
    if (!audioPlayer)
        return;
    if (withUI && isShown(brushToolbar))
        audioPlayer->playSpeech("h_SCRIVLET_ChooseAnArtTlTUs_3.ogg");
    else if (withUI && isShown(shapeToolbar))
        audioPlayer->playSpeech("h_SCRIVLET_ChooseAShapeTool_3.ogg");
    else if (withUI && isShown(fileToolbar))
        audioPlayer->playSpeech("h_SCRIVLET_SaveLdOrDltYrDrwng_3.ogg");
    else
        toolAudioHint();
}

void Studio::stampSlotDialogAudioHint()
{
    if (audioPlayer)
        audioPlayer->playSpeech(StampHint);
}

void Studio::effectSlotDialogAudioHint()
{
    if (audioPlayer)
        audioPlayer->playSpeech("h_SCRIVLET_ChooseClEffctFrYrDr_3.ogg");
}

void Studio::playToolbarAudio()
{
    if (audioPlayer)
        audioPlayer->playSfx(withUI && mainToolbar->cullingMode == CullingMode::Show ? "h_SX_ToolBarOpenSfx_6.ogg"
                                                                                     : "h_SX_ToolBarCloseSfx_6.ogg");
}

void Studio::playToolSfx()
{
    if (!audioPlayer || audioPlayer->isSfxPlaying())
        return;
    audioPlayer->playSfx(inRange(toolType, 9) ? ToolSounds[toolType] : "");
}

void Studio::stopToolSfx()
{
    if (audioPlayer)
        audioPlayer->stopSfx();
}
}
