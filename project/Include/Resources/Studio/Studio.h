#ifndef RESOURCES_STUDIO_H
#define RESOURCES_STUDIO_H

#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Filter.h"
#include "Resources/Drawing/ToolManager.h"
#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Event.h"
#include "Tovrane/Node.h"
#include "Tovrane/Object.h"
#include "Tovrane/TiledBillboard.h"
#include "Tovrane/UIPicker.h"

#include <deque>

namespace Tovrane
{
class AudioPlayer;
class BrushToolbar;
struct AudioEventArgs;
struct ButtonEventArgs;
struct DialogEventArgs;
struct FileEventArgs;
struct PatternEventArgs;
struct SlotDialogEventArgs;
struct ToolEventArgs;
struct ToolSizeEventArgs;
struct ToolbarButtonEventArgs;
class DialogBox;
class DialogBoxController;
class Effect;
class FileToolbar;
class FlipbookController;
class FlipbookToolbar;
class MainToolbar;
class ShapeToolbar;
class Toolbar;
class Studio;
typedef boost::shared_ptr<Studio> StudioPtr;

// One picture (Art) or twelve 320 x 240 flipbook frames (Flipbook).
struct StudioMode
{
    enum Type : int
    {
        Art = 0,
        Flipbook = 1
    };
};

// The screens shown over the picture; the studio keeps them on a deque.
struct StudioState
{
    enum Type : int
    {
        Drawing = 0,
        QuitQuestion = 1,
        NewPictureQuestion = 2,
        ModeQuestion = 3,
        ColorScreen = 4,
        StampPicker = 5,
        EffectPicker = 6,
        SaveSlots = 7,
        LoadSlots = 8
    };
};

// The art slot just written.
struct ImageSaveEventArgs
{
    int savedSlot;
};

// The mode just set.
struct StudioModeEventArgs
{
    StudioMode::Type mode;
};

// The painting studio as one object: the picture or flipbook frames under
// `root`, the stroke filter, the tool with its colour, size, pattern and
// stamp, the screen states and, when built with its interface, the toolbars,
// pickers and questions. Its owner hands it touches and button masks, adds
// `root` (then `uiRoot`) to its scene and runs its controllers every frame.
// The fields are read and written by its owners and by its interface.
class Studio : public Object
{
public:
    // A blank picture of width x height, transparent or white.
    Studio(int width, int height, bool transparent, bool withUI);
    // The picture itself becomes the studio's (an empty one gives a blank
    // 320 x 240 picture and a message).
    Studio(TexturePtr picture, bool withUI);
    ~Studio() override;

    void initialize();
    // Rebuilds every frame for the current mode: blank pictures, empty undo.
    void initializeCanvas();
    void newImage(bool transparent);
    // A new blank picture on the current frame only.
    void resetCanvas(bool transparent);
    void setUndoStackSize(int n);

    void setToolType(ToolType::Type type);
    void setToolSize(ToolSize::Type size);
    void setToolPattern(int pattern);
    // Rebuilds the current tool; when no tool can be made (a missing image)
    // the previous one stays and false is returned (the setters then keep
    // their previous choice too).
    bool changeTool();
    void setForegroundColor(const ColorRGBA<unsigned char>& colour);
    void setSymmetryType(SymmetryType::Type type);
    void setTouchScreenDrawingMode(bool) {}
    // One undo step, then the effect on the current frame.
    void useEffect(boost::shared_ptr<Effect> effect);
    // One undo step on the current frame; the picture is no longer saved.
    void pushUndo();

    // Input: touches in screen pixels (y down), state 0 for a lift.
    void handleTouchEvent(int x, int y, int touchState);
    void handleTouchDownEvent(int x, int y);
    void handleTouchUpEvent(int x, int y);
    void updateShape(int x, int y);
    void handleButtonEvent(int buttonState);
    void panBy(int dx, int dy);
    void toggleZoom();

    // Pictures and frames: the player's art slots (Art) or animation slots (Flipbook).
    void saveImage(int slot);
    void loadImage(int slot);
    void setFrame(int frame);
    void showOnionSkin(bool show);
    void updateFrameCount();

    void setMode(StudioMode::Type newMode);
    void toggleMode();

    // Screen states: without the interface only Drawing is ever pushed.
    void pushState(StudioState::Type state, bool);
    void popState(bool stopSpeech);
    void enterState();
    int exitState();

    // The interface: built once when the studio has one; every operation
    // below leaves a studio without it alone.
    void initializeUI();
    void hideDialogs();
    void showDialogBox(boost::shared_ptr<DialogBoxController> question);
    void showToolbar(bool show);
    void toggleToolbar();
    void showPlayButtonHighlight(bool on);
    void showFlipbookToolbarHighlight(bool on);
    void showMainToolbarHighlight(bool on);
    void updateImageSlotDialogCallback();
    void updateAnimationSlotDialogCallback();

    // Handlers of the toolbars, the colour screen, the pickers and the question box.
    void mainToolbarCallback(const ToolbarButtonEventArgs& args);
    void brushToolbarUICallback(const ToolbarButtonEventArgs& args);
    void shapeToolbarUICallback(const ToolbarButtonEventArgs& args);
    void eraserButtonUICallback(const ButtonEventArgs& args);
    void zoomButtonUICallback(const ButtonEventArgs& args);
    void toolSizeUICallback(const ToolSizeEventArgs& args);
    void flipbookToolbarUICallback(const ToolbarButtonEventArgs& args);
    void toolCallback(const ToolEventArgs& args);
    void toolSizeCallback(const ToolSizeEventArgs& args);
    void toolPatternCallback(const PatternEventArgs& args);
    void colorChangeCallback(const ColorRGBA<unsigned char>& colour);
    void colorWheelCloseCallback(const ButtonEventArgs& args);
    void fileCallback(const FileEventArgs& args);
    void flipbookToolbarCallback(const ToolbarButtonEventArgs& args);
    void stampFileDialogCallback(const SlotDialogEventArgs& args);
    void imageSlotDialogCallback(const SlotDialogEventArgs& args);
    void effectSlotDialogCallback(const SlotDialogEventArgs& args);
    void dialogBoxCallback(const DialogEventArgs& args);

    // The voice: speech and sounds through the owner's audio player.
    void setAudioPlayer(AudioPlayer* player);
    void toolAudioCallback(const ToolEventArgs& args);
    void mainToolbarAudioCallback(const ToolbarButtonEventArgs& args);
    void fileAudioCallback(const FileEventArgs& args);
    void effectSlotDialogAudioCallback(const SlotDialogEventArgs& args);
    void effectSlotDialogSfxCallback(const SlotDialogEventArgs& args);
    void toolSizeAudioCallback(const ToolSizeEventArgs& args);
    void toolPatternAudioCallback(const PatternEventArgs& args);
    void colorWheelAudioHintCallback(const AudioEventArgs& args);
    void toolAudioHint();
    void playToolbarAudio();
    void drawingStudioHint();
    void colorWheelAudioHint();
    void stampSlotDialogAudioHint();
    void effectSlotDialogAudioHint();
    void playToolSfx();
    void stopToolSfx();

    // The frame Canvas i (0 to frameCount - 1), or empty.
    CanvasPtr getFrame(int i) const;

    NodePtr root;
    int currentFrame;
    CanvasPtr canvas;
    bool transparent;
    int width;
    int height;
    int frameCount;
    int undoStackSize;
    ToolManager toolManager;
    ToolPtr currentTool;
    ToolType::Type toolType;
    ToolSize::Type toolSize;
    int toolPattern;
    int stampNumber;
    ColorRGBA<unsigned char> foregroundColor;
    FilterPtr filter;
    NodePtr shapeNode;
    bool zoomed;
    bool strokeActive;
    boost::shared_ptr<FlipbookController> flipbookController;
    int framesUsed;
    TiledBillboardPtr onionSkin;
    Event<void, const ImageSaveEventArgs&> saveEvent;
    int loadSlot;
    int saveSlot;
    bool saved;
    AudioPlayer* audioPlayer;
    int lastToolHint;
    int lastColorWheelHint;
    Event<void, const StudioModeEventArgs&> modeEvent;
    StudioMode::Type mode;
    std::deque<StudioState::Type> states;
    bool quitRequested;
    bool withUI;
    NodePtr uiRoot;
    UIPicker picker;
    boost::shared_ptr<MainToolbar> mainToolbar;
    boost::shared_ptr<BrushToolbar> brushToolbar;
    boost::shared_ptr<ShapeToolbar> shapeToolbar;
    boost::shared_ptr<FileToolbar> fileToolbar;
    boost::shared_ptr<FlipbookToolbar> flipbookToolbar;
    NodePtr dialogs;
    int colorScreenIndex;
    int stampDialogIndex;
    int effectDialogIndex;
    int imageDialogIndex;
    int animationDialogIndex;
    int selectedSlot;
    boost::shared_ptr<DialogBoxController> questions[4];
    boost::shared_ptr<DialogBox> dialogBox;
    int dialogResult;
    bool patternHintDue;

    // Per tool type: the long hint is still due (spoken the first time only).
    static bool firstToolActivation[16];

    // Pictures larger than this on either side are not taken from files.
    static const int MaxPictureSide = 1024;
    // A picture as the frames keep it: RGBA5551, palettes expanded into a
    // new texture, other formats converted in place.
    static TexturePtr toCanvasPicture(TexturePtr picture);

private:
    // The side of the square tiles the canvas and the frames are shown in.
    static constexpr int TileSize = 128;
    static void detach(const SpatialPtr& spatial);
    // The object is there and not hidden.
    static bool isShown(const SpatialPtr& spatial);
    // A toolbar button made of several looks shows the one given.
    static void showLook(const boost::shared_ptr<Toolbar>& toolbar, int button, int look);
    // The flipbook toolbar marks the frame shown (interface only).
    void showFrameHighlight(int frame);
    // The toolbars follow the mode (interface only).
    void showModeToolbars();
    // The frame's picture from a file read by the profile: false, with a
    // message, when it is missing, too large, or not of the size asked for
    // (0 for any).
    bool setFramePicture(const CanvasPtr& frame, TexturePtr picture, const std::string& what, int requiredWidth,
                         int requiredHeight);
    void moveShapeNode(const CanvasPtr& frame);
    // The zoom button shows whether the frames are zoomed, the play button
    // whether the flipbook plays (interface only).
    void showButtonLooks();
    // Main and flipbook toolbars shown or hidden (interface only).
    void showToolbars(bool main, bool flipbook);
    // The screen under `dialogs` at the index, or empty.
    SpatialPtr getDialog(int index) const;

    // Where the last stroke point was, to end a stroke that a screen cuts short.
    int lastTouchX;
    int lastTouchY;
    // The owning game state has been asked to go (once per studio).
    bool gameStatePopped;
};
}

#endif
