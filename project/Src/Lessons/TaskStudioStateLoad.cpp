// Loading the task studio: at every entry, on the loader thread, the studio
// with the task's picture, its background, overlays, pick-up pictures, line
// animations, guide dots and characters, the quit dialog and the colour pie.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/AudioPlayer.h"
#include "EscapeControls.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/SpriteManager.h"
#include "Tovrane/System.h"

#include <climits>
#include <iostream>

namespace Tovrane
{
const char* const TaskStudioState::ColorPieSprites[3] = {"color_pie/center_mask.png", "color_pie/color_wheel.png",
                                                          "studio/color_picker/color_cursor.png"};

namespace
{
const PixelFormat::Type spriteFormat = PixelFormat::RGBA4444;

// A scale read from a file, truncated toward zero; values beyond the 16.16
// range are held at its ends.
tFixed scaleOf(float value)
{
    const double raw = static_cast<double>(value) * 65536.0;
    if (!(raw > -2147483648.0))
        return tFixed::fromRaw(raw != raw ? 0 : INT32_MIN);
    if (raw >= 2147483647.0)
        return tFixed::fromRaw(INT32_MAX);
    return tFixed::fromRaw(static_cast<std::int32_t>(raw));
}

Vector3<tFixed> depth(float z) { return Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(z)); }

// Overlays larger than the limit are reported with the text and not shown.
bool fits(const GeometryPtr& overlay, const char* what)
{
    const TexturePtr texture = overlay->getTexture();
    if (!texture || (texture->getWidth() <= TaskStudioState::MaxOverlaySide &&
                     texture->getHeight() <= TaskStudioState::MaxOverlaySide))
        return true;
    std::cout << what << " has dimentions greaters than 512" << std::endl;
    return false;
}
}

void TaskStudioState::load()
{
    if (poppingAtEntry)
    {
        GameState::load();
        return;
    }
    task->audio = audioPlayer;
    lineSpeech.audioPlayer = audioPlayer;
    if (!downloadFolder.empty())
    {
        sceneManager.addMetadataPath(downloadFolder + "metadata/");
        sceneManager.addTexturePath(downloadFolder + "images/");
        audioPlayer->addAudioPath(downloadFolder + "audio/");
    }
    sceneManager.addSceneInfo(task->metadataID);
    if (!task->bgMusic.empty())
        audioPlayer->playMusic(task->bgMusic);

    TexturePtr background = sceneManager.getTexture(task->background);
    backgroundBroken = !background;
    if (backgroundBroken)
    {
        // Present but unreadable (a download's): the task cannot be shown.
        std::cout << "Refused task file " << escapeControls(taskPath) << ": its background "
                  << escapeControls(task->background) << " cannot be read" << std::endl;
        GameState::load();
        return;
    }
    if (task->canvasImage.empty())
        studio.reset(new Studio(background->getWidth(), background->getHeight(), true, false));
    else
        studio.reset(new Studio(sceneManager.getTexture(task->canvasImage), false));
    sceneManager.addSpriteInfo("studio.tex");
    setupUIElements();
    // A new studio is not zoomed, whatever the last line left.
    keepZoom = false;

    const LayerPtr layer = studio->canvas->getLayer();
    screenSize = Vector2<tFixed>(tFixed(layer->getWidth()), tFixed(layer->getHeight()));
    overlayRoot.reset(new Node);
    studio->canvas->addChild(overlayRoot);
    for (TaskLine& line : task->lines)
        loadLine(line);
    showFinishedLines();
    loadCharacters();

    backgroundBillboard.reset(new TiledBillboard(background, TileSize));
    backgroundBillboard->movePosition(depth(-0.9f));
    studio->canvas->addChild(backgroundBillboard);
    sceneRoot->addChild(studio->root);

    lessonCharacterTalkPose = true;
    hintSpeechPending = false;
    useGuideDots = false;
    loadBackupCanvas();
    GameState::load();
}

void TaskStudioState::loadLine(TaskLine& line)
{
    const CanvasPtr canvas = studio->canvas;
    if (line.pickup.present)
    {
        PickupData& pickup = line.pickup;
        // A line may lack its begin or end picture.
        auto sprite = [&](const std::string& name) {
            return name.empty() ? GeometryPtr() : sceneManager.getSprite(name, spriteFormat);
        };
        pickup.iconSprite = sprite(pickup.icon);
        pickup.beginSprite = sprite(pickup.begin);
        pickup.endSprite = sprite(pickup.end);
        const struct
        {
            SpatialPtr sprite;
            float z;
            CullingMode::Type mode;
        } pictures[] = {{pickup.iconSprite, -0.4f, CullingMode::Hide},
                        {pickup.beginSprite, -0.5f, CullingMode::Show},
                        {pickup.endSprite, -0.5f, CullingMode::Hide}};
        for (const auto& picture : pictures)
        {
            if (!picture.sprite)
                continue;
            picture.sprite->movePosition(depth(picture.z));
            picture.sprite->cullingMode = picture.mode;
            canvas->addChild(picture.sprite);
        }
    }

    // Each overlay: its image, depth, whether its size is checked, its cull
    // mode, its label and whether it hangs under the overlay root.
    const struct
    {
        const std::string& image;
        SpatialPtr& sprite;
        float z;
        const char* check;
        CullingMode::Type mode;
        const char* label;
        bool shown;
    } overlays[] = {
        {line.solidOverlayImage, line.solidOverlay, -0.8f, nullptr, CullingMode::Inherit, "Solid Overlay: ", true},
        {line.solidOverlay2Image, line.solidOverlay2, -0.8f, nullptr, CullingMode::Inherit, "Solid Overlay 2: ", true},
        {line.dashedOverlayImage, line.dashedOverlay, -0.6f, "Dashed Overlay", CullingMode::Hide, "Dashed Overlay: ",
         true},
        {line.fixedOverlayImage, line.fixedOverlay, -0.65f, "Fixed Overlay", CullingMode::Hide, "Fixed Overlay: ", true},
        {line.fillMaskImage, line.fillMask, 0.0f, nullptr, CullingMode::Hide, "Fill Mask: ", false},
        {line.fillOverlayImage, line.fillOverlay, 0.8f, "Fill Overlay", CullingMode::Show, "Fill Overlay: ", true},
    };
    for (const auto& overlay : overlays)
    {
        if (overlay.image.empty())
            continue;
        GeometryPtr sprite = sceneManager.getSprite(overlay.image, spriteFormat);
        if (overlay.check && !fits(sprite, overlay.check))
            continue;
        sprite->setName(overlay.label + overlay.image);
        sprite->cullingMode = overlay.mode;
        overlay.sprite = sprite;
        if (!overlay.shown)
            continue;
        sprite->movePosition(depth(overlay.z));
        overlayRoot->addChild(sprite);
    }

    if (!line.fillMaskImage.empty())
        line.fillMaskTexture = Texture::fromFile(findAsset("images/" + line.fillMaskImage));

    line.addDebugDots(sceneManager, canvas);
    if (line.animation.present)
    {
        AnimationData& animation = line.animation;
        animation.character = sceneManager.getCharacter(animation.characterName);
        if (animation.character)
        {
            animation.characterController.reset(new CharacterController);
            animation.character->movePosition(depth(-0.8f));
            animation.character->addController(animation.characterController);
            animation.character->cullingMode = CullingMode::Hide;
            animation.characterController->setIdleAnimation(animation.animationID);
            animation.characterController->play();
            canvas->addChild(animation.character);
        }
    }
    if (task->debugDraw == 0 || task->debugDraw == 1)
        line.toggleDebugDots(false);
    line.initGuideDots(sceneManager);
    for (const GeometryPtr& dot : line.guideDots)
        if (dot)
            canvas->addChild(dot);
}

void TaskStudioState::showFinishedLines()
{
    for (int i = 0; i < currentLine && i < static_cast<int>(task->lines.size()); ++i)
    {
        TaskLine& line = task->lines[i];
        const struct
        {
            SpatialPtr sprite;
            CullingMode::Type mode;
        } looks[] = {{line.pickup.iconSprite, CullingMode::Hide},   {line.pickup.beginSprite, CullingMode::Hide},
                     {line.pickup.endSprite, CullingMode::Show},    {line.solidOverlay, CullingMode::Hide},
                     {line.solidOverlay2, CullingMode::Hide},       {line.dashedOverlay, CullingMode::Hide},
                     {line.fixedOverlay, CullingMode::Show},        {line.animation.character, CullingMode::Show}};
        for (const auto& look : looks)
            if (look.sprite)
                look.sprite->cullingMode = look.mode;
    }
}

void TaskStudioState::loadCharacters()
{
    for (DoodleStruct& record : task->characters)
    {
        record.character.reset();
        if (findAsset("metadata/" + record.directory + ".tex").empty())
        {
            std::cout << "Could not load character scene " << escapeControls(record.directory) << " of "
                      << escapeControls(record.name) << std::endl;
            continue;
        }
        sceneManager.addSceneInfo(record.directory);
        CharacterPtr character = sceneManager.getCharacter(record.name);
        if (!character)
            continue;
        character->addController(record.controller);
        Matrix<tFixed>& local = character->local;
        // x and y are halved (odd values give half pixels), z is not.
        local[12] = tFixed::fromRaw(static_cast<std::int32_t>((static_cast<std::int64_t>(record.pos[0]) * 65536) >> 1));
        local[13] = tFixed::fromRaw(static_cast<std::int32_t>((static_cast<std::int64_t>(record.pos[1]) * 65536) >> 1));
        local[14] = tFixed(record.pos[2]);
        for (int axis = 0; axis < 3; ++axis)
            local[axis * 5] = scaleOf(record.scale[axis]);
        character->setTransformCurrent(false);
        sceneRoot->addChild(character);
        record.character = character;

        record.controller->setMood(record.initialMood);
        if (record.talkerPrologue)
        {
            record.controller->setPose(record.talkPose);
            record.controller->playMouthAction("talk");
        }
        else
            record.controller->setPose(record.listenPose);
        record.talking = record.talkerPrologue;
        record.controller->talking = record.talking;
        record.controller->play();
        if (state != Prologue)
            character->cullingMode = CullingMode::Hide;
    }
}

void TaskStudioState::setupUIElements()
{
    sceneManager.addSpriteInfo("color_masks.tex");
    quitDialogRoot.reset(new Node);
    colorPieRoot.reset(new Node);

    quitDialogController.reset(new DialogBoxController);
    quitDialogController->audioPlayer = audioPlayer;
    quitDialogController->promptSpeech = "h_SCRIVLET_AreYSrYWntTQt_4.ogg";
    quitDialogBox.reset(new DialogBox(true));
    quitDialogBox->movePosition(depth(2.0f));
    quitDialogBox->addController(quitDialogController);
    quitDialogBox->cullingMode = CullingMode::Show;
    quitDialogBox->dialogEvent += new DialogBox::DialogEvent::MethodDelegate<TaskStudioState>(
        this, &TaskStudioState::dialogBoxCallback);
    quitDialogRoot->cullingMode = CullingMode::Hide;
    quitDialogRoot->addChild(quitDialogBox);
    sceneRoot->addChild(quitDialogRoot);

    GeometryPtr centre = sceneManager.getSprite(ColorPieSprites[0], spriteFormat);
    GeometryPtr wheel = sceneManager.getSprite(ColorPieSprites[1], spriteFormat);
    GeometryPtr cursor = sceneManager.getSprite(ColorPieSprites[2], spriteFormat);
    colorPie.reset(new ColorPie(wheel, cursor));
    colorPie->movePosition(depth(0.9f));
    colorPie->setCenter(centre);
    colorPie->audioPlayer = audioPlayer;
    colorPie->releaseEvent += new ColorPie::PieEvent::MethodDelegate<TaskStudioState>(
        this, &TaskStudioState::colorPickerCallback);
    colorPieRoot->cullingMode = CullingMode::Hide;
    colorPieRoot->addChild(colorPie);
    sceneRoot->addChild(colorPieRoot);
}

void TaskStudioState::loadDizavoDuv()
{
    if (findAsset("metadata/dizavo_duv.tex").empty())
    {
        std::cout << "Could not load character scene dizavo_duv of lr" << std::endl;
        return;
    }
    sceneManager.addSceneInfo("dizavo_duv");
    dizavoDuv = sceneManager.getCharacter("lr");
    if (!dizavoDuv)
        return;
    dizavoDuvController.reset(new DoodleCharacterController2);
    dizavoDuv->addController(dizavoDuvController);
    dizavoDuv->local[0] = tFixed::fromRaw(49152);
    dizavoDuv->local[5] = tFixed::fromRaw(49152);
    dizavoDuv->local[10] = tFixed(1);
    dizavoDuv->setTransformCurrent(false);
    dizavoDuv->movePosition(Vector3<tFixed>(tFixed(0), tFixed(-2), tFixed(0)));
    sceneRoot->addChild(dizavoDuv);
    dizavoDuvController->setMood("happy");
    dizavoDuvController->setPose("p1");
    dizavoDuvController->play();
}
}
