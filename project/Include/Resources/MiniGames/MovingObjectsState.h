#ifndef RESOURCES_MOVINGOBJECTSSTATE_H
#define RESOURCES_MOVINGOBJECTSSTATE_H

#include "Resources/MiniGames/MiniGameState.h"
#include "Tovrane/Event.h"

#include <vector>

namespace Tovrane
{
class EventController;
class Geometry;
typedef boost::shared_ptr<EventController> EventControllerPtr;
typedef boost::shared_ptr<Geometry> GeometryPtr;

// The placement game of the horizon lesson: a house, a cow, a sun and a
// cloud start on the wrong side of a line; the child drags each where it
// belongs (house and cow low, sun and cloud high). Each drop is judged by the
// height of the picture's centre. After 5000 ms without a touch the guide
// repeats the instruction.
class MovingObjectsState : public MiniGameState
{
public:
    struct PickupStruct
    {
        GeometryPtr sprite;
        // 0 house, 1 cow, 2 cloud, 3 sun.
        int objectType;
        bool placedRight;
        // Dragged since the last reminder.
        bool moved;
        // The picture's size, which stays on screen.
        int width, height;
    };

    static const int AnswerId = 28;
    static const unsigned int ReminderMilliseconds = 5000;

    MovingObjectsState();
    ~MovingObjectsState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    // Judges one object let go with its centre at height y.
    void testPickup(PickupStruct& object, int y);
    // Lets go of a held object, judged where it stands.
    void dropPickup();
    void timerEvent(VOID);

    // 0 waiting, 1 opening talk, 2 closing talk, 3 talk of the instruction.
    const std::vector<PickupStruct>& getPickups() const { return pickups; }
    bool isHolding() const { return holding; }
    bool isTouchActive() const { return touchActive; }
    int getMovedCount() const { return movedCount; }
    EventControllerPtr getIdleTimer() const { return idleTimer; }

protected:
    void onQuitAnswered(int result) override;

private:
    void intro();
    void help();
    void outro();
    void drag(int x, int y);

    std::vector<PickupStruct> pickups;
    PickupStruct* heldPickup;
    bool holding;
    bool touchActive;
    int lastTouchX, lastTouchY;
    int movedCount;
    NodePtr sceneNode;
    EventControllerPtr idleTimer;
};
}

#endif
