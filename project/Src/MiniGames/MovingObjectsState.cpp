#include "Resources/MiniGames/MovingObjectsState.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BoundingVolume.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"
#include "Tovrane/EventController.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Mathematics/Ray.h"
#include "Tovrane/TiledBillboard.h"

namespace Tovrane
{
namespace
{
const char* const Instruction = "h_SCRIVLET_DragObjctsWthYrStyl_3.ogg";
const int ScreenWidth = 320;
const int ScreenHeight = 240;

// The objects in list order, as they start.
const struct
{
    const char* picture;
    int objectType;
    int x, y, width, height;
} Objects[] = {{"composition_p2/house.png", 0, 83, 187, 89, 80},
               {"composition_p2/cow.png", 1, 257, 188, 52, 59},
               {"composition_p2/sun.png", 3, 233, 49, 80, 76},
               {"composition_p2/cloud.png", 2, 102, 42, 116, 49}};

// By object type: where its centre must end up, and what the guide says
// when it does not.
const struct
{
    int limit;
    bool low; // right at the limit or below it, else at the limit or above
    const char* explanation;
} Rules[] = {{132, true, "h_SCRIVLET_HousesDntFltInThSky_3.ogg"},
             {127, true, "h_SCRIVLET_ThatAnimalCantFly_3.ogg"},
             {131, false, "h_SCRIVLET_CloudsBlngInThSky_3.ogg"},
             {144, false, "h_SCRIVLET_TheSnCntTchThGrnd_3.ogg"}};

// A centre coordinate that keeps a picture of that half size on a screen
// of that size.
int keepOnScreen(int centre, int half, int size)
{
    if (centre + half > size)
        return size - half;
    if (centre - half < 0)
        return half;
    return centre;
}
}

MovingObjectsState::MovingObjectsState()
    : MiniGameState("CPH"), heldPickup(nullptr), holding(false), touchActive(false), lastTouchX(0), lastTouchY(0),
      movedCount(0)
{}

MovingObjectsState::~MovingObjectsState() = default;

void MovingObjectsState::load()
{
    picker.elements.clear();
    pickups.clear();
    heldPickup = nullptr;
    holding = touchActive = false;
    movedCount = 0;
    // Nothing to repeat until a drop is judged or the child is reminded.
    currentInstruction.clear();

    sceneManager.addSceneInfo("composition_p2");
    TiledBillboardPtr background(new TiledBillboard(sceneManager.getTexture("composition_p2/line.png"), 128));
    sceneNode.reset(new Node);
    sceneRoot->addChild(sceneNode);
    sceneNode->addChild(background);
    makeGuide(false);
    CharacterControllerPtr eraController;
    CharacterPtr era = makeCharacter("era", eraController, true);
    eraController->play();
    for (const CharacterPtr& character : {guide, era})
        if (character)
        {
            character->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(2)));
            sceneNode->addChild(character);
        }
    // The opening line starts under the loading picture.
    guideController->playLipFlapAnimation(true);
    audioPlayer->playSpeech("h_SCRIVLET_CanYHlpMByPttngThsO_3.ogg");

    for (const auto& object : Objects)
    {
        PickupStruct pickup;
        pickup.sprite = sceneManager.getSprite(object.picture, PixelFormat::RGBA4444);
        pickup.sprite->setPosition(Vector3<tFixed>(tFixed(object.x), tFixed(object.y), tFixed(0)));
        pickup.objectType = object.objectType;
        pickup.placedRight = pickup.moved = false;
        pickup.width = object.width;
        pickup.height = object.height;
        pickups.push_back(pickup);
        sceneRoot->addChild(pickup.sprite);
    }
    idleTimer.reset(new EventController(ReminderMilliseconds, -1));
    idleTimer->event += new Event<void, VOID>::MethodDelegate<MovingObjectsState>(this, &MovingObjectsState::timerEvent);
    sceneRoot->addController(idleTimer);
    buildQuitDialog();
    setState(1, 0);
    GameState::load();
}

void MovingObjectsState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (state == 1)
        intro();
    else if (state == 2)
        outro();
    else if (state == 3)
        help();
}

void MovingObjectsState::intro()
{
    if (step == 0)
    {
        if (isSpeaking())
            return;
        guideController->stopLipFlapAnimation();
        turnAway(false);
        step = 1;
    }
    else if (isGuideIdle())
    {
        inputReady = true;
        idleTimer->play();
        setState(0, 0);
    }
}

void MovingObjectsState::help()
{
    switch (step)
    {
    case 0:
        if (isSpeaking())
            return;
        turnToChild(false);
        inputReady = false;
        idleTimer->stop();
        step = 1;
        break;
    case 1:
        if (!sayInstructionWhenIdle())
            return;
        step = 2;
        break;
    case 2:
        if (isSpeaking())
            return;
        guideController->stopLipFlapAnimation();
        turnAway(false);
        step = 3;
        break;
    default:
        if (!isGuideIdle())
            return;
        inputReady = true;
        idleTimer->reset();
        idleTimer->play();
        setState(0, 0);
        break;
    }
}

void MovingObjectsState::outro()
{
    switch (step)
    {
    case 0:
        turnToChild(false);
        step = 1;
        break;
    case 1:
        if (!isGuideIdle())
            return;
        guideController->playLipFlapAnimation(true);
        audioPlayer->playSpeech("h_SCRIVLET_MuchBetter_5.ogg");
        step = 2;
        break;
    case 2:
        if (isSpeaking())
            return;
        audioPlayer->playSpeech("h_SCRIVLET_YouCnFndHrznLnMstDr_3.ogg");
        step = 3;
        break;
    default:
        if (!isSpeaking())
            finish();
        break;
    }
}

void MovingObjectsState::exit()
{
    waitForLoader();
    heldPickup = nullptr;
    holding = false;
    pickups.clear();
    idleTimer.reset();
    sceneNode.reset();
    GameState::exit();
}

void MovingObjectsState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (!inputReady)
        return;
    // The open question takes the touch and nothing else happens: a held
    // object stays held and the drag goes on after the answer.
    if (dialogOpen)
    {
        picker.doPick(touch.x, touch.y, touch.touchState);
        return;
    }
    idleTimer->restart();
    if (touch.touchState == 0)
    {
        dropPickup();
        touchActive = false;
    }
    else if (!touchActive)
    {
        // Where pictures overlap, the last one in the list wins: the one
        // drawn on top.
        const Ray<tFixed> ray(Vector3<tFixed>(tFixed(touch.x), tFixed(ScreenHeight - touch.y), tFixed(0)),
                              Vector3<tFixed>());
        for (PickupStruct& pickup : pickups)
            if (pickup.sprite->worldBound && pickup.sprite->worldBound->isIntersecting(ray))
            {
                heldPickup = &pickup;
                holding = true;
                lastTouchX = touch.x;
                lastTouchY = touch.y;
            }
        touchActive = true;
    }
    else if (holding)
        drag(touch.x, touch.y);
}

void MovingObjectsState::drag(int x, int y)
{
    PickupStruct& object = *heldPickup;
    // The picture follows the stylus and keeps its grab offset.
    object.sprite->movePosition(Vector3<tFixed>(tFixed(x - lastTouchX), tFixed(lastTouchY - y), tFixed(0)));
    Vector3<tFixed> position = object.sprite->getPosition();
    const int cx = position.x.toInt(), cy = position.y.toInt();
    const int nx = keepOnScreen(cx, object.width / 2, ScreenWidth);
    const int ny = keepOnScreen(cy, object.height / 2, ScreenHeight);
    if (nx != cx)
        position.x = tFixed(nx);
    if (ny != cy)
        position.y = tFixed(ny);
    if (nx != cx || ny != cy)
        object.sprite->setPosition(position);
    if (!object.moved)
    {
        object.moved = true;
        ++movedCount;
    }
    lastTouchX = x;
    lastTouchY = y;
}

void MovingObjectsState::dropPickup()
{
    if (!holding)
        return;
    PickupStruct& object = *heldPickup;
    holding = false;
    heldPickup = nullptr;
    testPickup(object, object.sprite->getPosition().y.toInt());
}

void MovingObjectsState::testPickup(PickupStruct& object, int y)
{
    const auto& rule = Rules[object.objectType];
    if (rule.low ? y <= rule.limit : y >= rule.limit)
    {
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
        object.placedRight = true;
    }
    else
    {
        currentInstruction = rule.explanation;
        object.placedRight = false;
        logWrong(AnswerId, "MISPLACED OBJECT");
        setState(3, 0);
    }

    for (const PickupStruct& pickup : pickups)
    {
        if (pickup.placedRight)
            continue;
        if (movedCount == 4)
        {
            // Every object has been tried since the last reminder: the
            // general instruction helps more than one more explanation.
            movedCount = 0;
            for (PickupStruct& each : pickups)
                each.moved = false;
            currentInstruction = Instruction;
            setState(3, 0);
        }
        return;
    }
    inputReady = false;
    idleTimer->stop();
    logCorrect(AnswerId, "CORRECTLY PLACED OBJECTS");
    exitReason = ActivityExitReason::Completed;
    setState(2, 0);
}

void MovingObjectsState::timerEvent(VOID)
{
    // The touch itself goes on: its next move, with nothing held, does
    // nothing, and only its lift ends it.
    dropPickup();
    if (state != 2)
    {
        currentInstruction = Instruction;
        setState(3, 0);
    }
}

void MovingObjectsState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    if (isQuitButton(button))
    {
        if (openQuitDialog())
            idleTimer->stop();
    }
    else if (isRepeatButton(button) && inputReady)
        setState(3, 0);
}

void MovingObjectsState::onQuitAnswered(int) { idleTimer->play(); }
}
