// The studio's pictures in the player's slots, and the flipbook frames shown
// one at a time with a grey veil over the frame before.
#include "Resources/Studio/Studio.h"

#include "Resources/Profile/ScrivletPlayer.h"

#include <algorithm>
#include <iostream>
#include <utility>
#include <vector>

namespace Tovrane
{
namespace
{
// Drawn on since it became current: undo lists are emptied at every frame change.
bool holdsDrawing(const CanvasPtr& frame) { return frame->getUndoCount() > 0 || frame->getRedoCount() > 0; }

void setDepth(const CanvasPtr& frame, tFixed z)
{
    Vector3<tFixed> position = frame->getPosition();
    position.z = z;
    frame->setPosition(position);
}
}

void Studio::updateFrameCount()
{
    if (holdsDrawing(canvas))
        framesUsed = std::max(framesUsed, currentFrame + 1);
}

void Studio::setFrame(int frame)
{
    if (frame == currentFrame)
        return;
    if (frame < 0 || frame >= frameCount)
    {
        std::cout << "No flipbook frame " << frame << std::endl;
        return;
    }
    updateFrameCount();
    for (int j = 0; j < frameCount; ++j)
    {
        CanvasPtr other = getFrame(j);
        other->clearUndo();
        other->cullingMode = CullingMode::Hide;
    }
    canvas = getFrame(frame);
    currentFrame = frame;
    canvas->cullingMode = CullingMode::Show;
    setDepth(canvas, tFixed(0));
    moveShapeNode(canvas);
    if (onionSkin && onionSkin->cullingMode != CullingMode::Hide)
    {
        CanvasPtr previous = getFrame(frame - 1);
        if (previous)
        {
            previous->cullingMode = CullingMode::Show;
            setDepth(previous, tFixed(-1));
        }
        detach(onionSkin);
        if (previous)
            previous->addChild(onionSkin);
    }
    showFrameHighlight(frame);
}

void Studio::showOnionSkin(bool show)
{
    if (onionSkin)
        onionSkin->cullingMode = show ? CullingMode::Show : CullingMode::Hide;
}

bool Studio::setFramePicture(const CanvasPtr& frame, TexturePtr picture, const std::string& what, int requiredWidth,
                             int requiredHeight)
{
    if (!picture)
    {
        std::cout << "Could not load " << what << std::endl;
        return false;
    }
    const int w = picture->getWidth(), h = picture->getHeight();
    if (w < 1 || h < 1 || w > MaxPictureSide || h > MaxPictureSide ||
        (requiredWidth && (w != requiredWidth || h != requiredHeight)))
    {
        std::cout << "Could not load " << what << ": a picture of " << w << " x " << h << " does not fit" << std::endl;
        return false;
    }
    frame->setTexture(toCanvasPicture(picture), TileSize);
    return true;
}

void Studio::saveImage(int slot)
{
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    if (mode == StudioMode::Art)
    {
        if (!player->saveImage(canvas->getLayer()->getTexture(), slot))
            return;
        saved = true;
        ImageSaveEventArgs args = {slot};
        saveEvent(args);
        if (withUI)
            updateImageSlotDialogCallback();
        return;
    }
    // The frame being drawn on counts as soon as it is saved.
    updateFrameCount();
    // Every frame and the frame count in place together, or the slot as it was.
    std::vector<TexturePtr> pictures;
    for (int f = 0; f < frameCount; ++f)
        pictures.push_back(getFrame(f)->getLayer()->getTexture());
    const bool written = player->saveAnimation(std::move(pictures), slot, framesUsed);
    if (withUI)
        updateAnimationSlotDialogCallback();
    if (written)
        saved = true;
}

void Studio::loadImage(int slot)
{
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    if (mode == StudioMode::Art)
    {
        if (!player->hasImage(slot))
            return;
        if (!setFramePicture(canvas, player->loadImage(slot), "picture slot " + std::to_string(slot), 0, 0))
            return;
        // The studio takes the loaded picture's size; the mirror mode stays.
        const int w = canvas->getLayer()->getWidth(), h = canvas->getLayer()->getHeight();
        if (w != width || h != height)
        {
            width = w;
            height = h;
            const SymmetryType::Type symmetry = filter->getSymmetryType();
            filter.reset(new Filter(w, h));
            filter->setSymmetryType(symmetry);
            moveShapeNode(canvas);
        }
    }
    else
    {
        if (slot < 0 || slot >= ScrivletPlayer::animationSlotCount || !player->hasAnimation(slot))
            return;
        for (int f = 0; f < frameCount; ++f)
        {
            CanvasPtr frame = getFrame(f);
            const std::string what = "frame " + std::to_string(f) + " of animation slot " + std::to_string(slot);
            if (!setFramePicture(frame, player->loadAnimationFrame(slot, f), what, frame->getLayer()->getWidth(),
                                 frame->getLayer()->getHeight()))
                frame->setLayer(LayerPtr(new Layer(frame->getLayer()->getWidth(), frame->getLayer()->getHeight(),
                                                   true, TileSize)));
        }
        framesUsed = std::min(std::max(player->frameCounts[slot], 1), frameCount);
    }
    // Every loaded frame is fitted to the screen again.
    zoomed = false;
    saved = true;
    showButtonLooks();
}
}
