// The studio's input: touches offered to the widgets first, then strokes on
// the current frame; button masks for toolbars, screens, hints and panning.
#include "Resources/Studio/Studio.h"

#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Fill.h"
#include "Resources/Drawing/Shape.h"
#include "Resources/Drawing/Stamp.h"
#include "Resources/Drawing/Zoom.h"
#include "Tovrane/AudioPlayer.h"

namespace Tovrane
{
namespace
{
bool isA(const ToolPtr& tool, const Rtti& type) { return tool && tool->getType().isDerived(type); }
}

void Studio::handleTouchEvent(int x, int y, int touchState)
{
    // After a confirmed quit the studio only waits to be released.
    if (quitRequested)
        return;
    // A stroke that slides onto a widget ends where the widget took it.
    if (picker.doPick(x, y, touchState))
    {
        handleTouchUpEvent(x, y);
        return;
    }
    if (states.empty() || states.back() != StudioState::Drawing)
        return;
    if (touchState != 0)
        handleTouchDownEvent(x, y);
    else
        handleTouchUpEvent(x, y);
}

void Studio::handleTouchDownEvent(int x, int y)
{
    if (!currentTool)
        return;
    lastTouchX = x;
    lastTouchY = y;
    const bool brush = isA(currentTool, Brush::RuntimeType);
    const bool shape = isA(currentTool, Shape::RuntimeType);
    if (!strokeActive)
    {
        if (brush)
        {
            pushUndo();
            filter->begin(x, y);
        }
        else if (isA(currentTool, Stamp::RuntimeType) || isA(currentTool, Fill::RuntimeType))
            pushUndo();
    }
    else if (!currentTool->getRepeatWhileDragged())
        return;

    if (brush)
    {
        filter->useTool(canvas, currentTool, x, y);
        playToolSfx();
    }
    else if (shape)
        updateShape(x, y);
    else
    {
        canvas->useTool(currentTool, x, y);
        stopToolSfx();
        playToolSfx();
    }
    strokeActive = true;
}

void Studio::updateShape(int x, int y)
{
    tFixed px, py;
    canvas->actualXY(x, y, px, py);
    Shape* shape = static_cast<Shape*>(currentTool.get());
    shape->update(px, py);
    shapeNode->setChild(shape->getOutline(), 0);
}

void Studio::handleTouchUpEvent(int x, int y)
{
    if (isA(currentTool, Shape::RuntimeType))
    {
        if (shapeNode->getChildQuantity() > 0)
        {
            pushUndo();
            canvas->useTool(currentTool, x, y);
            shapeNode->removeAllChildren();
        }
    }
    else if (isA(currentTool, Brush::RuntimeType) && strokeActive)
        stopToolSfx();
    strokeActive = false;
}

void Studio::handleButtonEvent(int buttonState)
{
    if (quitRequested)
        return;
    const StudioState::Type state = states.empty() ? StudioState::Drawing : states.back();
    if (buttonState & 0xD0)
    {
        // Over a picker or a question the toolbars stay as the screen wants them.
        if (state == StudioState::Drawing)
        {
            toggleToolbar();
            playToolbarAudio();
        }
    }
    else if (buttonState & 0x20)
    {
        if (state != StudioState::Drawing)
        {
            dialogResult = 3;
            popState(true);
        }
        else
            pushState(StudioState::QuitQuestion, true);
    }
    else if (buttonState & 0x200)
    {
        if (!audioPlayer)
            return;
        switch (state)
        {
        case StudioState::Drawing: drawingStudioHint(); break;
        case StudioState::ColorScreen: colorWheelAudioHint(); break;
        case StudioState::StampPicker: stampSlotDialogAudioHint(); break;
        case StudioState::EffectPicker: effectSlotDialogAudioHint(); break;
        case StudioState::SaveSlots: audioPlayer->playSpeech("h_SCRIVLET_PickASltTSvYrDrwng_3.ogg"); break;
        case StudioState::LoadSlots: audioPlayer->playSpeech("h_SCRIVLET_PickAPictureToLoad_3.ogg"); break;
        default: break;
        }
    }
    else if (buttonState & 0x100)
        pushState(StudioState::QuitQuestion, true);

    if (buttonState & 0x8)
        panBy(-2, 0);
    if (buttonState & 0x4)
        panBy(2, 0);
    if (buttonState & 0x1)
        panBy(0, -2);
    if (buttonState & 0x2)
        panBy(0, 2);
}

void Studio::panBy(int dx, int dy)
{
    for (int i = 0; i < frameCount; ++i)
        getFrame(i)->panBy(dx, dy);
}

void Studio::toggleZoom()
{
    ToolPtr zoom(new Zoom(zoomed ? ZoomToolState::ZoomOut : ZoomToolState::ZoomIn));
    for (int i = 0; i < frameCount; ++i)
        getFrame(i)->useTool(zoom, 160, 120);
    zoomed = !zoomed;
}
}
