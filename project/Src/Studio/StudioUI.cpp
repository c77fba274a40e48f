// The studio's interface: the toolbars, the flipbook player, the colour
// screen, the four slot pickers and the question box with its four voices,
// built once and wired to the studio's handlers; and the small operations
// that show, hide and highlight the toolbars.
#include "Resources/Studio/Studio.h"

#include "Resources/Dialogs/AnimationSlotDialog.h"
#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Resources/Dialogs/EffectSlotDialog.h"
#include "Resources/Dialogs/ImageSlotDialog.h"
#include "Resources/Dialogs/StampSlotDialog.h"
#include "Resources/Studio/BrushToolbar.h"
#include "Resources/Studio/ColorWheelScreen.h"
#include "Resources/Studio/FileToolbar.h"
#include "Resources/Studio/FlipbookController.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Resources/Studio/MainToolbar.h"
#include "Resources/Studio/ShapeToolbar.h"

#include <initializer_list>

namespace Tovrane
{
namespace
{
// Prompt, answer A (No) and answer B (Yes) of the four questions: throw away
// for a load, overwrite a slot, throw away (new picture, mode), quit.
const char* const QuestionSpeech[4][3] = {
    {"h_SCRIVLET_AreYSrYWntTThrwAwyY_1.ogg", "h_SCRIVLET_TouchHrTKpYrCrrntPc_3.ogg",
     "h_SCRIVLET_TouchHrTLdYrPctr_3.ogg"},
    {"h_SCRIVLET_AreYSrYWntTOvrwrtTh_4.ogg", "h_SCRIVLET_TouchHrTKpYrSvdPctr_3.ogg",
     "h_SCRIVLET_TouchHrTOvrwrtYrSvd_3.ogg"},
    {"h_SCRIVLET_AreYSrYWntTThrwAwyY_4.ogg", "h_SCRIVLET_TouchHrTKpYrCrrntPc_3.ogg",
     "h_SCRIVLET_TouchHrTLdYrPctr_3.ogg"},
    {"h_SCRIVLET_AreYSrYWntTQtArtStd_4.ogg", "h_SCRIVLET_TouchHrTRtrnTArtStd_3.ogg",
     "h_SCRIVLET_TouchHrTThrwAwyYrPc_3.ogg"}};

template <class Args> typename Event<void, Args>::BaseDelegate* handler(Studio* studio, void (Studio::*method)(Args))
{
    return new typename Event<void, Args>::template MethodDelegate<Studio>(studio, method);
}

void setShown(const SpatialPtr& spatial, bool shown)
{
    if (spatial)
        spatial->cullingMode = shown ? CullingMode::Show : CullingMode::Hide;
}

// The picker, hidden, as the next child of `dialogs`, its choices going to
// the handlers in order; its child index.
int addPicker(Studio* studio, const NodePtr& dialogs, SlotDialog* made,
    std::initializer_list<void (Studio::*)(const SlotDialogEventArgs&)> handlers)
{
    SlotDialogPtr picker(made);
    setShown(picker, false);
    for (auto method : handlers)
        picker->selectEvent += handler(studio, method);
    return dialogs->addChild(picker);
}

template <class T> boost::shared_ptr<T> as(const SpatialPtr& spatial)
{
    return spatial && spatial->getType().isDerived(T::RuntimeType) ? boost::static_pointer_cast<T>(spatial)
                                                                    : boost::shared_ptr<T>();
}
}

bool Studio::isShown(const SpatialPtr& spatial) { return spatial && spatial->cullingMode != CullingMode::Hide; }

void Studio::showLook(const ToolbarPtr& toolbar, int button, int look)
{
    ButtonGroupPtr group = as<ButtonGroup>(toolbar->getButton(button));
    if (group)
        group->showGroup(look);
}

void Studio::initializeUI()
{
    uiRoot.reset(new Node);
    uiRoot->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)));

    mainToolbar.reset(new MainToolbar);
    uiRoot->addChild(mainToolbar);

    brushToolbar.reset(new BrushToolbar);
    brushToolbar->movePosition(Vector3<tFixed>(tFixed(0), tFixed(32), tFixed(0)));
    brushToolbar->toolEvent += handler(this, &Studio::toolCallback);
    brushToolbar->toolEvent += handler(this, &Studio::toolAudioCallback);
    brushToolbar->clickEvent += handler(this, &Studio::brushToolbarUICallback);
    mainToolbar->showOnButtonClicked(brushToolbar, MainToolbar::ToolsButton);

    shapeToolbar.reset(new ShapeToolbar);
    shapeToolbar->movePosition(Vector3<tFixed>(tFixed(64), tFixed(32), tFixed(0)));
    shapeToolbar->toolEvent += handler(this, &Studio::toolCallback);
    shapeToolbar->toolEvent += handler(this, &Studio::toolAudioCallback);
    shapeToolbar->clickEvent += handler(this, &Studio::shapeToolbarUICallback);
    mainToolbar->showOnButtonClicked(shapeToolbar, MainToolbar::ShapesButton);

    mainToolbar->getButton(MainToolbar::EraserButton)->releaseEvent += handler(this, &Studio::eraserButtonUICallback);
    mainToolbar->getButton(MainToolbar::ZoomButton)->releaseEvent += handler(this, &Studio::zoomButtonUICallback);

    fileToolbar.reset(new FileToolbar);
    fileToolbar->movePosition(Vector3<tFixed>(tFixed(224), tFixed(32), tFixed(0)));
    fileToolbar->fileEvent += handler(this, &Studio::fileCallback);
    fileToolbar->fileEvent += handler(this, &Studio::fileAudioCallback);
    mainToolbar->showOnButtonClicked(fileToolbar, MainToolbar::FileButton);

    // Every click is voiced before it acts.
    mainToolbar->clickEvent += handler(this, &Studio::mainToolbarAudioCallback);
    mainToolbar->clickEvent += handler(this, &Studio::mainToolbarCallback);

    flipbookToolbar.reset(new FlipbookToolbar);
    flipbookToolbar->movePosition(Vector3<tFixed>(tFixed(0), tFixed(226), tFixed(0)));
    flipbookToolbar->clickEvent += handler(this, &Studio::flipbookToolbarCallback);
    flipbookToolbar->clickEvent += handler(this, &Studio::flipbookToolbarUICallback);
    uiRoot->addChild(flipbookToolbar);

    flipbookController.reset(new FlipbookController);
    flipbookController->repeatType = RepeatType::Wrap;
    addController(flipbookController);

    dialogs.reset(new Node);
    uiRoot->addChild(dialogs);

    ColorWheelScreenPtr colorScreen(new ColorWheelScreen);
    colorScreen->toolSizeEvent += handler(this, &Studio::toolSizeCallback);
    colorScreen->toolSizeEvent += handler(this, &Studio::toolSizeUICallback);
    colorScreen->toolSizeEvent += handler(this, &Studio::toolSizeAudioCallback);
    colorScreen->closeEvent += handler(this, &Studio::colorWheelCloseCallback);
    colorScreen->patternEvent += handler(this, &Studio::toolPatternCallback);
    colorScreen->patternEvent += handler(this, &Studio::toolPatternAudioCallback);
    colorScreen->colorEvent += handler(this, &Studio::colorChangeCallback);
    colorScreenIndex = dialogs->addChild(colorScreen);

    stampDialogIndex = addPicker(this, dialogs, new StampSlotDialog, {&Studio::stampFileDialogCallback});
    // Speech first, then the effect, then its sound.
    effectDialogIndex = addPicker(this, dialogs, new EffectSlotDialog,
        {&Studio::effectSlotDialogAudioCallback, &Studio::effectSlotDialogCallback, &Studio::effectSlotDialogSfxCallback});
    // One handler for both slot pickers; the mode tells them apart.
    imageDialogIndex = addPicker(this, dialogs, new ImageSlotDialog, {&Studio::imageSlotDialogCallback});
    animationDialogIndex = addPicker(this, dialogs, new AnimationSlotDialog, {&Studio::imageSlotDialogCallback});

    dialogBox.reset(new DialogBox(true));
    setShown(dialogBox, false);
    dialogBox->dialogEvent += handler(this, &Studio::dialogBoxCallback);
    dialogs->addChild(dialogBox);

    for (int i = 0; i < 4; ++i)
    {
        questions[i].reset(new DialogBoxController);
        questions[i]->promptSpeech = QuestionSpeech[i][0];
        questions[i]->noSpeech = QuestionSpeech[i][1];
        questions[i]->yesSpeech = QuestionSpeech[i][2];
    }

    picker.addUIElements(uiRoot);
}

SpatialPtr Studio::getDialog(int index) const
{
    if (!dialogs || index < 0 || index >= dialogs->getChildQuantity())
        return SpatialPtr();
    return dialogs->getChild(index);
}

void Studio::showToolbars(bool main, bool flipbook)
{
    if (!withUI)
        return;
    setShown(mainToolbar, main);
    setShown(flipbookToolbar, flipbook);
}

void Studio::showModeToolbars()
{
    if (!withUI)
        return;
    showToolbars(true, mode == StudioMode::Flipbook);
    // The mode button shows the mode it leads to.
    showLook(mainToolbar, MainToolbar::ModeButton, mode);
}

void Studio::showToolbar(bool show) { showToolbars(show, show && mode == StudioMode::Flipbook); }

void Studio::toggleToolbar()
{
    if (withUI)
        showToolbar(!isShown(mainToolbar));
}

void Studio::showFrameHighlight(int frame)
{
    if (withUI)
        flipbookToolbar->showButtonHighlight(frame);
}

void Studio::showButtonLooks()
{
    if (!withUI)
        return;
    showLook(mainToolbar, MainToolbar::ZoomButton, zoomed ? 1 : 0);
    showLook(flipbookToolbar, FlipbookToolbar::PlayButton, flipbookController->isPlaying() ? 1 : 0);
}

void Studio::showPlayButtonHighlight(bool on)
{
    if (withUI)
        flipbookToolbar->showButtonHighlight(on ? FlipbookToolbar::PlayButton : 0);
}

void Studio::showFlipbookToolbarHighlight(bool on)
{
    if (withUI)
        flipbookToolbar->showToolbarHighlight(on);
}

void Studio::showMainToolbarHighlight(bool on)
{
    if (withUI)
        mainToolbar->showToolbarHighlight(on);
}

void Studio::updateImageSlotDialogCallback()
{
    ImageSlotDialogPtr images = as<ImageSlotDialog>(getDialog(imageDialogIndex));
    if (images)
        images->resetSlots();
}

void Studio::updateAnimationSlotDialogCallback()
{
    AnimationSlotDialogPtr animations = as<AnimationSlotDialog>(getDialog(animationDialogIndex));
    if (animations)
        animations->resetSlots();
}
}
