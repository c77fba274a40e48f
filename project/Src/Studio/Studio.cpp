#include "Resources/Studio/Studio.h"

#include "Resources/Drawing/Effects/Effect.h"
#include "Resources/Drawing/Eraser.h"
#include "Resources/Studio/FlipbookController.h"

#include <iostream>

namespace Tovrane
{
namespace
{
const int FrameWidth = 320;
const int FrameHeight = 240;
const int FlipbookFrames = 12;
}

bool Studio::firstToolActivation[16] = {true, true, true, true, true, true, true, true,
                                        true, true, true, true, true, true, true, true};

Studio::Studio(int width, int height, bool transparent, bool withUI)
    : root(new Node), currentFrame(0), transparent(transparent), width(width), height(height), frameCount(1),
      undoStackSize(1), toolType(ToolType::Pencil), toolSize(ToolSize::Medium), toolPattern(0), stampNumber(0),
      foregroundColor(0, 0, 0, 255), zoomed(false), strokeActive(false), framesUsed(1), loadSlot(-1), saveSlot(-1),
      saved(true), audioPlayer(nullptr), lastToolHint(-1), lastColorWheelHint(-1), mode(StudioMode::Art),
      quitRequested(false), withUI(withUI), colorScreenIndex(-1), stampDialogIndex(-1), effectDialogIndex(-1),
      imageDialogIndex(-1), animationDialogIndex(-1), selectedSlot(-1), dialogResult(1), patternHintDue(false),
      lastTouchX(0), lastTouchY(0), gameStatePopped(false)
{
    initialize();
}

Studio::Studio(TexturePtr picture, bool withUI)
    : Studio(picture ? picture->getWidth() : FrameWidth, picture ? picture->getHeight() : FrameHeight, false, withUI)
{
    if (!picture)
    {
        std::cout << "No picture for the studio; it starts on a blank one" << std::endl;
        return;
    }
    canvas->setTexture(toCanvasPicture(picture), TileSize);
}

Studio::~Studio() {}

TexturePtr Studio::toCanvasPicture(TexturePtr picture)
{
    if (picture->getFormat() == PixelFormat::Palette8)
    {
        // Palettes cannot be converted in place: the colours are copied out.
        TexturePtr expanded(new Texture(picture->getWidth(), picture->getHeight(), PixelFormat::RGBA5551));
        expanded->blitTexture(picture, 0, 0, 0, 0, 0, 0);
        return expanded;
    }
    if (picture->getFormat() != PixelFormat::RGBA5551)
        picture->convertTo(PixelFormat::RGBA5551);
    return picture;
}

void Studio::initialize()
{
    toolSize = ToolSize::Medium;
    toolType = ToolType::Pencil;
    toolPattern = 0;
    stampNumber = 0;
    foregroundColor = ColorRGBA<unsigned char>(0, 0, 0, 255);
    audioPlayer = nullptr;
    strokeActive = false;
    quitRequested = false;
    changeTool();
    if (withUI)
        initializeUI();
    shapeNode.reset(new Node);
    undoStackSize = 1;
    setMode(StudioMode::Art);
    pushState(StudioState::Drawing, true);
}

CanvasPtr Studio::getFrame(int i) const
{
    if (i < 0 || i >= frameCount)
        return CanvasPtr();
    return boost::static_pointer_cast<Canvas>(root->getChild(i));
}

void Studio::initializeCanvas()
{
    root->removeAllChildren();
    int frameWidth = width, frameHeight = height;
    bool blankClear = transparent;
    if (mode == StudioMode::Art)
    {
        if (onionSkin)
            detach(onionSkin);
        onionSkin.reset();
    }
    else
    {
        frameWidth = FrameWidth;
        frameHeight = FrameHeight;
        blankClear = true;
        if (!onionSkin)
        {
            TexturePtr veil(new Texture(FrameWidth, FrameHeight, PixelFormat::RGBA8888));
            for (int y = 0; y < FrameHeight; ++y)
                for (int x = 0; x < FrameWidth; ++x)
                    veil->setPixel(ColorRGBA<unsigned char>(127, 127, 127, 127), x, y);
            onionSkin.reset(new TiledBillboard(veil, TileSize));
            onionSkin->cullingMode = CullingMode::Show;
        }
        else
            detach(onionSkin);
    }
    for (int i = 0; i < frameCount; ++i)
    {
        CanvasPtr frame(new Canvas(frameWidth, frameHeight, blankClear, TileSize));
        frame->setMaxUndo(undoStackSize);
        if (i > 0)
            frame->cullingMode = CullingMode::Hide;
        root->setChild(frame, i);
    }
    canvas = getFrame(0);
    currentFrame = 0;
    moveShapeNode(canvas);
    filter.reset(new Filter(frameWidth, frameHeight));
    saved = true;
    framesUsed = 1;
    zoomed = false;
    showFrameHighlight(0);
    showButtonLooks();
}

void Studio::detach(const SpatialPtr& spatial)
{
    NodePtr parent = boost::dynamic_pointer_cast<Node>(spatial->getParent());
    if (parent)
        parent->removeChild(spatial);
}

void Studio::moveShapeNode(const CanvasPtr& frame)
{
    // Children are given in picture coordinates (y down from the top); the
    // node turns them into the Canvas's own (y up from the bottom), a quarter
    // unit in front of the picture.
    detach(shapeNode);
    Matrix<tFixed>& m = shapeNode->local;
    m[0] = tFixed(1);
    m[5] = tFixed(-1);
    m[10] = tFixed(1);
    m[12] = tFixed(0);
    m[13] = tFixed(frame->getLayer()->getHeight());
    m[14] = tFixed(0.25f);
    shapeNode->setTransformCurrent(false);
    frame->addChild(shapeNode);
}

void Studio::newImage(bool transparentPicture)
{
    transparent = transparentPicture;
    initializeCanvas();
}

void Studio::resetCanvas(bool transparentPicture)
{
    // The frame's own size: flipbook frames stay 320 x 240 whatever the studio's size.
    LayerPtr layer = canvas->getLayer();
    canvas->setLayer(LayerPtr(new Layer(layer->getWidth(), layer->getHeight(), transparentPicture, TileSize)));
}

void Studio::setUndoStackSize(int n)
{
    undoStackSize = n;
    for (int i = 0; i < frameCount; ++i)
        getFrame(i)->setMaxUndo(n);
}

void Studio::setToolType(ToolType::Type type)
{
    // A stamp is made again: its picture may have changed.
    if (type == toolType && type != ToolType::Stamp)
        return;
    const ToolType::Type before = toolType;
    toolType = type;
    if (!changeTool())
        toolType = before;
}

void Studio::setToolSize(ToolSize::Type size)
{
    if (size == toolSize)
        return;
    const ToolSize::Type before = toolSize;
    toolSize = size;
    if (!changeTool())
        toolSize = before;
}

void Studio::setToolPattern(int pattern)
{
    if (pattern == toolPattern)
        return;
    const int before = toolPattern;
    toolPattern = pattern;
    if (!changeTool())
        toolPattern = before;
}

bool Studio::changeTool()
{
    ToolPtr tool = toolType == ToolType::Stamp ? ToolPtr(toolManager.getStamp(stampNumber))
                                               : toolManager.getTool(toolType, toolSize, toolPattern);
    if (!tool)
        return false; // the tool manager has said which file is missing
    if (toolType == ToolType::Eraser && tool->getType().isDerived(Eraser::RuntimeType))
        static_cast<Eraser*>(tool.get())->setTransparency(mode == StudioMode::Flipbook);
    tool->setForegroundColor(foregroundColor);
    currentTool = tool;
    return true;
}

void Studio::setForegroundColor(const ColorRGBA<unsigned char>& colour)
{
    foregroundColor = colour;
    if (currentTool)
        currentTool->setForegroundColor(colour);
}

void Studio::setSymmetryType(SymmetryType::Type type) { filter->setSymmetryType(type); }

void Studio::useEffect(boost::shared_ptr<Effect> effect)
{
    if (!effect)
        return;
    pushUndo();
    canvas->useEffect(effect);
}

void Studio::pushUndo()
{
    canvas->pushUndo();
    saved = false;
}

void Studio::setMode(StudioMode::Type newMode)
{
    mode = newMode;
    if (flipbookController)
        flipbookController->stop();
    frameCount = mode == StudioMode::Art ? 1 : FlipbookFrames;
    initializeCanvas();
    showModeToolbars();
    if (toolType == ToolType::Eraser)
        changeTool();
    StudioModeEventArgs args = {mode};
    modeEvent(args);
}

void Studio::toggleMode() { setMode(mode == StudioMode::Art ? StudioMode::Flipbook : StudioMode::Art); }
}
