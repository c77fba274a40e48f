#ifndef TOVRANE_GAMESTATE_H
#define TOVRANE_GAMESTATE_H

#include "Tovrane/Camera.h"
#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/Node.h"
#include "Tovrane/SceneManager.h"

#include "CButtonEventQueue.h"
#include "CTouchEventQueue.h"
#include "InputTypes.h"

#include <boost/shared_ptr.hpp>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace Tovrane
{
class AudioPlayer;
class GLES1Renderer;
class GameState;
typedef boost::shared_ptr<GameState> GameStatePtr;

// Base of every screen. It owns what a screen needs for one visit: renderer,
// camera, culler, scene manager, audio player, the scene root that derived
// states build under, the loading scene and the platform input queues.
//
// The handler enters a state when it becomes current and exits it when it
// stops being current; in between it calls idle once per frame. enter starts
// a loader thread that runs load; until load has finished (its last step is
// the base load, which sets the loaded flag) the frame shows the loading
// scene. The first loaded frame calls begin, every later one update. Input
// arrives only between begin (or resume) and exit (or suspend).
//
// Overrides of enter and begin call the base first; overrides of exit release
// their own members and call the base last; every override of load ends with
// the base load and must tolerate a second run on the same object (a state
// kept on the stack is entered again from scratch). The handler waits for a
// running loader before it calls exit, so exit never releases what a loader
// is still building.
class GameState
{
public:
    // The sprites every state may show besides its own: the loading picture
    // and the badge window.
    static const char* const LoadingSprite;
    static const char* const BadgeWindowSprite;

    GameState(bool showLoading, bool keepOnStack);
    // The state must have been exited (or never entered).
    virtual ~GameState();

    virtual void enter();
    // Runs on the loader thread. The base sets the loaded flag: the hand-over
    // to the main thread.
    virtual void load();
    // Every loaded frame after the first.
    virtual void update(unsigned int appTime);
    // Once, on the first loaded frame: registers the input listeners.
    virtual void begin();
    // Releases camera, pop-up, loading scene and scene root, stops all audio
    // and unregisters the input listeners. Harmless on an exited state.
    virtual void exit();
    virtual void suspend();
    virtual void resume();
    virtual void processTouchEvent(const Vantorel::Kelm::tTouchData& touch);
    virtual void processButtonEvent(const Vantorel::Kelm::tButtonData2& button);

    // The loader thread's entry: runs the state's load.
    static void* loadEntryPoint(void* state);
    // One frame: input, audio callbacks, begin or update (or the loading
    // scene), scene update and drawing.
    void idle(unsigned int appTime);
    // Asks for this state's removal, at most once per entry and never while
    // it is loading.
    void popGameState();
    // Switches the touch screen's drawing mode; the platform hears of it only
    // when it changes.
    void useDrawingMode(bool on);
    void registerEventListeners();
    void unregisterEventListeners();
    // The button step of idle: queued events, or a repeat of the held
    // buttons of the repeat mask when there are none.
    void processButtonEvents();
    // Every queued touch event to processTouchEvent, in order.
    void processTouchEvents();
    void showFPS(bool on);

    // Slides a window with the text onto the screen and away again, with the
    // achievement sound (usable from load). An earlier window goes at once.
    void showAchievementWindow(const std::string& text, bool fromBelow);
    bool isAchievementWindowVisible() const;

    // Waits until a loader thread of this state has finished.
    void waitForLoader();

    bool isExited() const { return exited; }
    bool isSuspended() const { return suspended; }
    bool isKeptOnStack() const { return keepOnStack; }
    bool isShowingLoading() const { return showLoading; }
    bool isLoaded() const { return loaded.load(std::memory_order_acquire); }
    bool hasBegun() const { return begun; }
    bool isPopped() const { return popped; }
    bool getTouchMode() const { return touchMode; }
    std::uint32_t getHeldButtons() const { return heldButtons; }
    std::uint32_t getRepeatMask() const { return repeatMask; }
    SceneManager& getSceneManager() { return sceneManager; }
    GLES1Renderer* getRenderer() const { return renderer; }
    CameraPtr getCamera() const { return camera; }
    AudioPlayer* getAudioPlayer() const { return audioPlayer; }
    NodePtr getSceneRoot() const { return sceneRoot; }
    NodePtr getLoadingRoot() const { return loadingRoot; }
    NodePtr getAchievementWindow() const { return achievementWindow; }
    // The class name, as the run trace shows it.
    std::string getStateName() const;

    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

protected:
    SceneManager sceneManager;
    GLES1Renderer* renderer;
    CameraPtr camera;
    GraphicsCuller culler;
    AudioPlayer* audioPlayer;
    NodePtr sceneRoot;
    NodePtr loadingRoot;
    NodePtr achievementWindow;
    bool exited;
    bool suspended;
    bool keepOnStack;
    bool showLoading;
    std::atomic<bool> loaded;
    bool begun;
    std::thread loaderThread;
    bool touchMode;
    std::uint32_t heldButtons;
    // Buttons whose holding is repeated every frame; derived states add bits
    // in their load.
    std::uint32_t repeatMask;
    Vantorel::Kelm::CTouchEventQueue touchQueue;
    Vantorel::Kelm::CButtonEventQueue buttonQueue;
    bool popped;
};
}

#endif
