#include "Tovrane/GameState.h"

#include "Tovrane/AlphaState.h"
#include "Tovrane/Application.h"
#include "Tovrane/Assert.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BadgePopUpController.h"
#include "Tovrane/DadUzoFont.h"
#include "Tovrane/GLES1Renderer.h"
#include "Tovrane/Geometry.h"

#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "HostTrace.h"
#include "HostWork.h"

#include <GLES/gl.h>
#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>
#include <vector>

namespace Tovrane
{
const char* const GameState::LoadingSprite = "shared/loading.png";
const char* const GameState::BadgeWindowSprite = "shared/badge_pop_up.png";

namespace
{
const int ScreenWidth = 320;
const int ScreenHeight = 240;
}

GameState::GameState(bool showLoadingPicture, bool keepOnStackFlag)
    : renderer(nullptr), audioPlayer(nullptr), exited(true), suspended(false), keepOnStack(keepOnStackFlag),
      showLoading(showLoadingPicture), loaded(false), begun(false), touchMode(false), heldButtons(0),
      repeatMask(0), popped(false)
{
}

GameState::~GameState()
{
    TOVRANE_ASSERT(exited && "The GameState's exit routine was not called before destruction");
    waitForLoader();
    delete renderer;
    delete audioPlayer;
}

void GameState::enter()
{
    // A loader of the previous entry must not build into the new scene or
    // set the new entry's loaded flag.
    waitForLoader();

    popped = false;
    exited = false;
    suspended = false;
    loaded.store(false, std::memory_order_relaxed);
    begun = false;

    if (!renderer)
        renderer = new GLES1Renderer;

    // Drawing order, not depth, decides what is on top.
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);

    // 320 x 240 scene units, x to the right, y upwards from the bottom edge.
    camera.reset(new Camera);
    camera->setViewport(tFixed(0), tFixed(1), tFixed(1), tFixed(0));
    camera->setFrustum(tFixed(0), tFixed(ScreenWidth), tFixed(ScreenHeight), tFixed(0), tFixed(-10), tFixed(1));
    camera->setPerspective(false);
    renderer->setCamera(camera);

    // Premultiplied blending; pixels of alpha 0 are not drawn at all.
    AlphaStatePtr alpha(new AlphaState);
    alpha->blendEnabled = true;
    alpha->sourceBlend = BlendFactor::One;
    alpha->destinationBlend = BlendFactor::InverseSourceAlpha;
    alpha->testEnabled = true;
    alpha->testFunction = TestFunction::Greater;
    alpha->reference = tFixed(0);
    renderer->setAlphaState(alpha);

    if (!audioPlayer)
        audioPlayer = new AudioPlayer;

    sceneManager.addSceneInfo("shared");

    sceneRoot.reset(new Node);
    loadingRoot.reset(new Node);
    if (showLoading)
        loadingRoot->addChild(sceneManager.getSprite(LoadingSprite, PixelFormat::RGBA4444));

    HostTrace::write("enter", getStateName());
    HostWork::begin();
    loaderThread = std::thread(loadEntryPoint, this);
}

void GameState::load() { loaded.store(true, std::memory_order_release); }

void* GameState::loadEntryPoint(void* state)
{
    static_cast<GameState*>(state)->load();
    HostWork::end();
    return nullptr;
}

void GameState::update(unsigned int) {}

void GameState::begin()
{
    registerEventListeners();
    begun = true;
}

void GameState::exit()
{
    waitForLoader();
    const bool wasEntered = !exited;
    camera.reset();
    achievementWindow.reset();
    loadingRoot.reset();
    sceneRoot.reset();
    if (audioPlayer)
        audioPlayer->stopAllAudio();
    unregisterEventListeners();
    exited = true;
    if (wasEntered)
        HostTrace::write("exit", getStateName());
}

void GameState::suspend()
{
    suspended = true;
    unregisterEventListeners();
}

void GameState::resume()
{
    if (begun)
        registerEventListeners();
    suspended = false;
}

void GameState::processTouchEvent(const Vantorel::Kelm::tTouchData&) {}

void GameState::processButtonEvent(const Vantorel::Kelm::tButtonData2&) {}

void GameState::idle(unsigned int appTime)
{
    processTouchEvents();
    processButtonEvents();
    audioPlayer->update();

    if (!loaded.load(std::memory_order_acquire))
    {
        loadingRoot->update(appTime);
        culler.computeVisible(loadingRoot);
    }
    else
    {
        if (!begun)
            begin();
        else
            update(appTime);
        sceneRoot->update(appTime);
        loadingRoot.reset();
        culler.computeVisible(sceneRoot);
    }

    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    renderer->clearBuffers(0, 0, ScreenWidth, ScreenHeight);
    renderer->drawScene(culler);
    renderer->swapBuffers();
}

void GameState::popGameState()
{
    if (!isLoaded() || popped)
        return;
    popped = true;
    Application::PopGameState();
}

void GameState::useDrawingMode(bool on)
{
    if (touchMode == on)
        return;
    touchMode = on;
    Vantorel::Kelm::CButtonMPI().SetTouchMode(on ? Vantorel::Kelm::kTouchModeDrawing
                                                 : Vantorel::Kelm::kTouchModeDefault);
}

void GameState::registerEventListeners()
{
    Vantorel::Kelm::CEventMPI().RegisterEventListener(&touchQueue, 0);
    Vantorel::Kelm::CButtonMPI buttons;
    buttons.RegisterEventListener(&buttonQueue);
    buttons.SetTouchMode(touchMode ? Vantorel::Kelm::kTouchModeDrawing : Vantorel::Kelm::kTouchModeDefault);
    heldButtons = 0;
}

void GameState::unregisterEventListeners()
{
    Vantorel::Kelm::CEventMPI().UnregisterEventListener(&touchQueue);
    Vantorel::Kelm::CButtonMPI().UnregisterEventListener(&buttonQueue);
    heldButtons = 0;
}

void GameState::processButtonEvents()
{
    const std::vector<Vantorel::Kelm::tButtonData2> events = buttonQueue.GetQueue();
    if (events.empty() && heldButtons != 0)
    {
        // A held button of the repeat mask arrives again, like a fresh press.
        Vantorel::Kelm::tButtonData2 repeat = {};
        repeat.buttonState = heldButtons;
        repeat.buttonTransition = heldButtons;
        processButtonEvent(repeat);
    }
    for (const Vantorel::Kelm::tButtonData2& event : events)
    {
        processButtonEvent(event);
        heldButtons = event.buttonState & repeatMask;
    }
}

void GameState::processTouchEvents()
{
    for (const Vantorel::Kelm::tTouchData& touch : touchQueue.GetQueue())
        processTouchEvent(touch);
}

void GameState::showFPS(bool) {}

void GameState::showAchievementWindow(const std::string& text, bool fromBelow)
{
    BadgePopUpControllerPtr controller(new BadgePopUpController);
    if (fromBelow)
    {
        controller->start = Vector3<tFixed>(tFixed(115.5f), tFixed(-63), tFixed(2));
        controller->end = Vector3<tFixed>(tFixed(115.5f), tFixed(5), tFixed(2));
    }
    else
    {
        controller->start = Vector3<tFixed>(tFixed(115.5f), tFixed(254), tFixed(2));
        controller->end = Vector3<tFixed>(tFixed(115.5f), tFixed(186), tFixed(2));
    }
    controller->repeatType = RepeatType::PingPong;
    controller->play();

    // An earlier pop-up disappears at once.
    if (achievementWindow)
        sceneRoot->removeChild(achievementWindow);

    achievementWindow.reset(new Node);
    achievementWindow->addController(controller);
    achievementWindow->addChild(sceneManager.getSprite(BadgeWindowSprite, PixelFormat::RGBA4444));

    boost::shared_ptr<DadUzoFont> font(new DadUzoFont(148, 30));
    font->alignment = 1;
    font->setText(text);
    font->setPosition(Vector3<tFixed>(tFixed(119), tFixed(23), tFixed(0.5f)));
    achievementWindow->addChild(font);

    sceneRoot->addChild(achievementWindow);
    audioPlayer->playSfx(BaseAudio::AchievementNotification);
}

bool GameState::isAchievementWindowVisible() const
{
    if (!achievementWindow || achievementWindow->getControllerQuantity() == 0)
        return false;
    return achievementWindow->getController(0)->isPlaying();
}

void GameState::waitForLoader()
{
    if (loaderThread.joinable() && loaderThread.get_id() != std::this_thread::get_id())
        loaderThread.join();
}

std::string GameState::getStateName() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    const std::string space = "Tovrane::";
    if (name.compare(0, space.size(), space) == 0)
        name.erase(0, space.size());
    return name;
}
}
