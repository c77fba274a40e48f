#ifndef RESOURCES_TASKSTUDIOSTATE_H
#define RESOURCES_TASKSTUDIOSTATE_H

#include "Resources/Dialogs/AudioList.h"
#include "Resources/Dialogs/DialogEventArgs.h"
#include "Resources/Lessons/DoodleCharacterController2.h"
#include "Resources/Lessons/Task.h"
#include "Resources/Lessons/TaskType.h"
#include "Resources/Profile/LocationName.h"
#include "Resources/Profile/TaskDownload.h"
#include "Resources/Studio/ColorPieArgs.h"

#include "Tovrane/BlinkController.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"
#include "Tovrane/Event.h"
#include "Tovrane/EventController.h"
#include "Tovrane/GameState.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector2.h"
#include "Tovrane/SpriteManager.h"
#include "Tovrane/Texture.h"
#include "Tovrane/TiledBillboard.h"
#include "Tovrane/UIPicker.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Tovrane
{
class Canvas;
class ColorPie;
class DialogBox;
class DialogBoxController;
class FlipbookController;
class FlipbookToolbar;
class ScrivletPlayer;
class Studio;
struct ToolbarButtonEventArgs;

// The game state in which every guided drawing activity runs: writing lessons,
// location tasks (built in or downloaded), letter tasks, writing sub-lessons
// and advanced lessons. The task file is read when the state is made; every
// entry loads the studio, the task's pictures and characters and the quit
// dialog again, and the state steps through its phases frame by frame.
//
// A refused task file, a missing picture or sprite sheet, like a pending
// skip, makes the state pop itself at its entry without loading anything.
class TaskStudioState : public GameState
{
public:
    // The phases; the state-change log prints their names.
    enum eState : int
    {
        Prologue = 0,
        TaskIntro = 1,
        TaskHelp = 2,
        TaskDraw = 3,
        TaskSubLesson = 4,
        TaskPickup = 5,
        TaskPickColor = 6,
        TaskFillArea = 7,
        TaskOutro = 8,
        Epilogue = 9,
        Exit = 10,
        FreeFormPrologue = 11,
        FreeFormTaskIntro = 12,
        FreeFormTaskHelp = 13,
        FreeFormTaskDraw = 14,
        FreeFormTaskOutro = 15,
        FreeFormEpilogue = 16,
        LessonPrologue = 17,
        LessonIntro = 18,
        LessonAnim = 19,
        LessonOutro = 20,
        LessonEpilogue = 21,
        LessonHelp = 22
    };

    static const int WritingLessonCount = 62;
    // Task-file stems of the writing lessons by lesson id: column 0 the UK
    // letter forms, column 1 the US forms.
    static const char* const writingLessons[WritingLessonCount][2];
    // Overlays larger than this on either side are not shown.
    static const int MaxOverlaySide = 512;

    // A mended town location: its task-file stem, badge and badge window text.
    struct TownLocation
    {
        LocationName::Type location;
        const char* stem;
        int badge;
        const char* text;
    };
    static const int TownLocationCount = 21;
    static const TownLocation townLocations[TownLocationCount];
    // The town location of a task-file stem, or null.
    static const TownLocation* findTownLocation(const std::string& stem);

    // A writing lesson, letter task or writing sub-lesson by lesson id (0-61).
    TaskStudioState(const eTaskType& type, int id, LocationName::Type location);
    // A task file relative to the title folder.
    TaskStudioState(const eTaskType& type, const std::string& path, LocationName::Type location);
    // A downloaded location task: the folder holds "dlc.task".
    explicit TaskStudioState(const std::string& folder);
    ~TaskStudioState() override;

    void enter() override;
    void load() override;
    void begin() override;
    void update(unsigned int ms) override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& buttons) override;

    void setState(const eState& newState, const int& newStep);
    void setCurrentStep(int line);
    void debugLog_StateChanged();
    // The most texture memory the state's renderer has held so far, in
    // bytes, as one debug line ("TEXTURE PEAK=n"); written at each exit.
    void debugLog_TexturePeak();
    // The description of a line whose intro has ended.
    void debugLog_TaskIntro(TaskLine& line);
    // The description of a traced line: its kind and the ends of its path.
    void debugLog_LinePath(TaskLine& line);
    // The advanced-lesson guide turns to its talk pose.
    bool advanceLessonStartTalk();
    // The guide says the pending speech with its mouth moving: true when
    // talking may go on, false while it still turns. Without a guide the
    // speech is played once at once.
    bool advanceLessonDoTalk();
    // The mouth stops and the guide turns back; the pending speech is dropped.
    bool advanceLessonShutup();

    // How an art lesson is staged: the scenes loaded, the guide's id (null for
    // none) and up to two characters that only idle and blink.
    struct LessonStaging
    {
        struct Extra
        {
            const char* id;
            const char* idle;
            const char* blink;
            // The blink animation is set before the idle one.
            bool blinkFirst;
        };
        int location;
        const char* scenes[2];
        const char* guide;
        Extra extras[2];
    };
    // The staging of an art lesson's location (27-47), or null.
    static const LessonStaging* findLessonStaging(int location);

    // Whether a colour pick (0-6) meets a line's colour requirement.
    static bool isRightColor(int requirement, int pick);
    // Counts the white mask pixels in the box that the picture has in the
    // colour (red, green and blue) and those it has not; pixels outside the
    // mask or the picture are not read.
    static void countColorFill(const Texture& mask, const Texture& picture, int x0, int y0, int w, int h,
                               const ColorRGBA<unsigned char>& colour, int& coloured, int& white);
    // The marked area of the current line is coloured enough; prints the counts.
    bool verifyColorFill();
    void processTouchEvent_FillArea(const Vantorel::Kelm::tTouchData& touch);

    // Callbacks of the quit dialog, the colour pie, the flipbook toolbar and
    // the lesson timer.
    void dialogBoxCallback(const DialogEventArgs& result);
    bool colorPickerCallback(const ColorPieArgs& args);
    void flipbookToolbarCallback(const ToolbarButtonEventArgs& button);
    void timerCallback(VOID);

    // The canvas zooms in on the current line's zoom point, and out again.
    void zoomIn(const bool& force);
    void zoomOut();
    // Zooms the canvas `times` steps in and centres the view on the picture
    // point (16.16) as far as the picture allows.
    static void zoomCanvas(Canvas& canvas, int times, const Vector2<tFixed>& point);
    // After a judged stroke: zoom out from a finished line, take a wrong stroke back.
    void verifyAnswer();

    // Progress when a task ends, and the art lesson a line names.
    void saveFile_Lessons(const int& lessonIndex);
    void saveFile_Tasks();
    void launchAdvancedLesson();
    // The child's picture, kept while another state covers this one.
    void saveBackupCanvas();
    void loadBackupCanvas();
    void saveOverlays();

    // Task characters: talking and listening around the quit dialog, shown and hidden.
    void stopLipflap();
    void resumeLipflap();
    void showCharacters();
    void hideCharacters();
    void loadDizavoDuv();

    eTaskType getTaskType() const { return taskType; }
    LocationName::Type getLocation() const { return location; }
    Task* getTask() const { return task.get(); }
    eState getState() const { return state; }
    int getStep() const { return step; }
    bool isStateChanged() const { return stateChanged; }
    unsigned int getStateStartTime() const { return stateStartTime; }
    const std::string& getDownloadFolder() const { return downloadFolder; }
    // The task file the state read.
    const std::string& getTaskPath() const { return taskPath; }

    // Set by a lesson launcher left unfinished and by quitting a writing
    // sub-lesson: the next task studio entered pops itself.
    static bool skip;
    // Width and height of the picture, 16.16; set when a task studio loads.
    static Vector2<tFixed> screenSize;
    static int nextLessonID;
    static bool completedLastLocation;
    // The invitation of the last letter drawn freely, kept for the whole run.
    static int freeFormInvitation;

    bool quitDialogOpen;
    bool quitConfirmed;
    NodePtr quitDialogRoot;
    boost::shared_ptr<DialogBox> quitDialogBox;
    boost::shared_ptr<DialogBoxController> quitDialogController;
    UIPicker uiPicker;
    int currentLine;
    bool activityOpen;
    int activityExitReason;
    bool showDebugDots;
    bool drawingModeOn;
    bool canvasRestored;
    std::string interruptedSpeech;
    ScrivletPlayer* playerData;
    boost::shared_ptr<Studio> studio;
    boost::shared_ptr<FlipbookToolbar> flipbookToolbar;
    boost::shared_ptr<FlipbookController> flipbookController;
    NodePtr overlayRoot;
    TiledBillboardPtr backgroundBillboard;
    NodePtr colorPieRoot;
    boost::shared_ptr<ColorPie> colorPie;
    CharacterPtr dizavoDuv;
    DoodleCharacterController2Ptr dizavoDuvController;
    AudioList lineSpeech;
    TexturePtr backupTexture;

    int lastTouchState;
    bool keepZoom;
    bool frameTapped;
    bool playTapped;
    int flipbookFrame;
    bool hintRequested;
    int wrongCount;
    int touchStage;
    int blinkCount;
    std::uint32_t pauseStartTime;
    int speechIndex;
    bool useGuideDots;
    eState lessonReturnState;
    int lessonStep;
    int chosenColorNumber;
    ColorRGBA<unsigned char> chosenColor;
    bool colorChosen;
    bool fillStrokeOpen;
    Vector2<short> lastFillPoint;
    // The writing lesson the id constructor was given; -1 for a task file.
    int lessonID;
    // The advanced-lesson guide and the speech it is to say next.
    CharacterPtr lessonCharacter;
    // The animation lesson: the flashing second-frame and play buttons, the
    // timer that ends the lesson, and the instruction the hint repeats.
    BlinkControllerPtr frameButtonBlinker;
    BlinkControllerPtr playButtonBlinker;
    boost::shared_ptr<EventController> exitTimer;
    std::string lessonHelpSpeech;
    CharacterControllerPtr lessonCharacterController;
    bool lessonCharacterTalkPose;
    std::string pendingHintSpeech;
    bool hintSpeechPending;

    // What load needs and cannot do without: false, with one line, when the
    // background, the task's sprite sheet or any picture the task names is
    // missing or cannot be looked up, or when a download's own sprite sheets
    // or characters name a picture outside its folder or a missing one, or
    // a picture of its own that is not whole or that the PNG reader would
    // refuse, or an animation with a frame count out of range, or when a
    // picture that load and play make into textures, whatever its name, is
    // not whole, or when the download's screen needs more texture memory
    // (screenTextureBytes) than GraphicsRenderer::TextureBudget. Decides,
    // with a refused task file, whether the state pops at entry.
    bool hasAssets() const;
    // The most texture memory the task's screen can hold: every texture that
    // load and play make from the task's pictures, the download's or the
    // title's (each sprite picture once, at two bytes a pixel; the background
    // in its tiles at the bytes a pixel it has when they are made; the canvas
    // in tiles, CanvasCopies times; the flipbook's frames), and
    // TaskDownload::ScreenReserve for what every task screen holds besides.
    // A picture that is missing or cannot be read counts nothing.
    std::uint64_t screenTextureBytes() const;

private:
    // The colour pie's sprites: its centre, wheel and cursor.
    static const char* const ColorPieSprites[3];
    // The side of the square tiles the background and the canvas are shown in.
    static constexpr int TileSize = 128;
    // How many canvases play holds in texture memory at once: a stroke taken
    // back puts the canvas back from its undo copy while the tiles of the
    // layer it replaces are still made.
    static constexpr int CanvasCopies = 2;
    // The animation lesson's frames, each a flipbook frame of the screen's
    // size; the studio shows them over an onion skin of that size.
    static constexpr int AnimationFrames = 7;
    static constexpr int FlipbookWidth = 320, FlipbookHeight = 240;
    // The steps all constructors share once the task file is known.
    void construct(const std::string& file);
    // The per-run reset and the debug line.
    void initialize();
    // The usage-log game area of a writing lesson or a location task: opened
    // at the first frame the task runs, so that a refused task writes none,
    // and closed when the state goes.
    void openGameArea();
    void closeGameArea();
    // The file (relative to a title folder, such as "images/x.png") in the
    // download folder or the title, or empty. A name that cannot be looked up
    // (too long, in a folder that may not be searched) gives empty too, with
    // the reason in `failure`. The shared sheet's picture is the title's.
    std::string findAsset(const std::string& file, std::string* failure = nullptr) const;
    // Reads the title's shared sheet into `sheets`, which must search the
    // title alone, as the game state does at every entry before load adds the
    // download's folders, and notes the picture of its loading sprite: that
    // picture is made then, from the title, and every later use of its name
    // takes the cached texture.
    void addTitleSharedSheet(SceneManager& sheets) const;
    // "images/" and that picture's name, or empty.
    mutable std::string sharedSheetPicture;
    // How a picture is made into textures: a sprite (16-bit 4-4-4-4, whole)
    // made by load, which turns the cached picture to 16 bits before the
    // background's tiles are cut from it, or one made outside load (the
    // loading picture before it; the badge window, guides and letter
    // character in play); the background (in tiles of the pixel bytes its
    // picture has then, with the canvas drawn over it when the task has no
    // picture of its own); or the task's picture (the canvas itself, in tiles
    // of two bytes a pixel, which turns the cached picture to 16 bits too).
    // An overlay is a sprite load makes but shows only when its texture is at
    // most MaxOverlaySide on each side: a larger one is never made on the GPU.
    enum class Shown : int
    {
        Sprite,
        Overlay,
        OtherSprite,
        Background,
        Canvas
    };
    // A picture load makes into textures: its file under "images/", how it
    // is shown, and what shows it, for the refusal line ("sprite" and its
    // name, "character" and the character's).
    struct LoadedPicture
    {
        std::string picture;
        Shown shown;
        const char* what;
        std::string name;
    };
    // Why the file cannot be read ("is missing", "cannot be looked up
    // (...)", for a download's own picture "cannot be read (...)" from its
    // chunks), or empty when it is there.
    std::string lookupFault(const std::string& file) const;
    // True when `path`, as findAsset gives it, is a file the download brings.
    bool isOwn(const std::string& path) const;
    // Why the picture at `path` would not load, from its chunks (empty when
    // it is whole), and its shape: each picture is walked once in an entry
    // check, however many uses check and count it.
    typedef std::pair<std::string, TaskDownload::PictureShape> Walked;
    const Walked& walk(const std::string& path) const;
    mutable std::map<std::string, Walked> walkedPictures;
    // findAsset of a file, looked once in an entry check however many uses
    // ask: its path (empty when missing), and why it could not be looked up.
    typedef std::pair<std::string, std::string> Found;
    const Found& lookUp(const std::string& file) const;
    mutable std::map<std::string, Found> foundFiles;
    // Why load could not show the task whole, as hasAssets says it, or empty.
    std::string assetFault() const;
    // A download's own sheets and characters, as assetFault checks them: the
    // sheets of those names (and the characters of the scenes) that the
    // download brings name pictures inside its folder that are there; a
    // character frame is a sprite of `sprites`, or else a picture itself.
    std::string ownSheetFault(const std::vector<std::string>& sheetNames,
                              const std::map<std::string, SpriteManager::SpriteInfo>& sprites,
                              const std::vector<std::string>& scenes) const;
    // The description of that name (under "metadata/") that load reads, the
    // download's first, read into `into`; false when there is none (with
    // `ownOnly`, when the download brings none). A character animation the
    // reader refuses (its frame count) goes to `refused`, when given.
    bool readDescription(const std::string& file, SceneManager& into, std::string* refused = nullptr,
                         bool ownOnly = false) const;
    // Every picture load and play make into textures through the state's
    // scene manager, by the sheets and characters they read, in that order.
    std::vector<LoadedPicture> loadedPictures() const;
    // The texture memory the task's pictures take on its screen, as
    // screenTextureBytes counts it without the reserve, into `bytes`; or why
    // a picture of the download's among them cannot be made (not whole).
    std::string countPictures(std::uint64_t& bytes) const;
    // Why the loaded pictures cannot all be made: one of the download's that
    // is not whole, or a screen past GraphicsRenderer::TextureBudget; or empty.
    std::string textureFault() const;
    void setupUIElements();
    void loadLine(TaskLine& line);
    void loadCharacters();
    // Finished lines look finished again after a re-entry.
    void showFinishedLines();

    void updatePrologue();
    void updateTaskIntro();
    void updateTaskHelp();
    void updateTaskDraw();
    void updateTaskSubLesson();
    void updateTaskOutro();
    void updateTaskPickup();
    void updateLessonPrologue();
    void updateLessonIntro();
    void updateAnimationLesson();
    void updateLessonHelp();
    void stageAnimationLesson();
    // The guide turns to the picture (p2) or to the child (p1).
    void turnGuide(bool toPicture);
    bool guideIdle() const;
    // The guide's mouth starts (again) or stops moving; a change writes a debug line.
    void moveGuideMouth(bool moving);
    CharacterPtr makeLessonExtra(const LessonStaging::Extra& extra);
    // Back to the lesson script's phase without a new step.
    void stayInLesson();
    // Pops the state unless it has asked for that already.
    void popOnce();
    void updateTaskPickColor();
    void updateTaskFillArea();
    // A new step of the phase, its clock restarted.
    void setStep(int newStep);
    void updateEpilogue();
    void updateExit();
    void updateFreeFormPrologue();
    void updateFreeFormTaskIntro();
    void updateFreeFormTaskHelp();
    void updateFreeFormTaskDraw();
    void updateFreeFormTaskOutro();
    void updateFreeFormEpilogue();
    // The next line of the prologue or epilogue, said by the idle talking
    // characters (or directly when none can say it); true when one started.
    bool sayNextLine(const std::vector<std::string>& lines);
    // Task characters: the talker turns to talk, the other to listen.
    void talk(DoodleStruct& character, bool talking);
    bool isIdle(const DoodleStruct& character) const;
    // Guide dots are used: writing tasks, or a lesson that asks for them.
    bool guideDotsInUse() const;
    void setGuideDot(int index, CullingMode::Type mode);
    void playSpeech(const std::string& name);
    // The current line, or null past the last.
    TaskLine* currentTaskLine();

    void processStroke(const Vantorel::Kelm::tTouchData& touch);
    void processDrag(const Vantorel::Kelm::tTouchData& touch);
    void openQuitDialog();
    // An emptied prologue and silence: the child heard it before.
    void skipPrologue();

    eTaskType taskType;
    LocationName::Type location;
    std::unique_ptr<Task> task;
    std::string taskPath;
    std::string downloadFolder;
    eState state;
    int step;
    bool stateChanged;
    std::uint32_t stateStartTime;
    std::uint32_t currentTime;
    // This entry pops the state (a skip, a refused task or a missing
    // picture), decided by enter before the loader starts.
    bool poppingAtEntry;
    // The background could not be read: nothing was built, and the state
    // pops itself at its first loaded frame.
    bool backgroundBroken;
    // The state has asked to be popped; later requests are ignored.
    bool popRequested;
    bool gameAreaOpen;
};
}

#endif
