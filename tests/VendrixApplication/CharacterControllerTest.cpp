#include "CharacterTestSupport.h"

#include "Tovrane/AnimationController.h"
#include "Tovrane/BlinkController.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"
#include "Tovrane/LipFlapController.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace Tovrane;
using CharacterTestSupport::spriteOf;

namespace
{
AnimatedSpritePtr framesOf(int frames)
{
    AnimatedSpritePtr sprite(new AnimatedSprite);
    for (int i = 0; i < frames; ++i)
        sprite->setFrame(SpatialPtr(new Node), i);
    return sprite;
}

// Random numbers from a list, then zeros; counts the numbers drawn.
struct Script
{
    explicit Script(std::vector<int> values = {}) : values(values) {}
    int operator()()
    {
        const int value = drawn < values.size() ? values[drawn] : 0;
        ++drawn;
        return value;
    }
    std::vector<int> values;
    size_t drawn = 0;
};

// A character with a looping idle, one-shot gestures, a blink and a mouth,
// driven by a playing character controller; application time starts at 1000
// with the first step, so control time t is application time 1000 + t.
class CharacterControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        character.reset(new Character);
        character->addAnimation("idle", framesOf(4));
        character->addAnimation("wave", framesOf(3)); // 249 ms
        character->addAnimation("on", framesOf(2));   // 166 ms
        character->addAnimation("off", framesOf(2));
        character->addAnimation("blink", framesOf(2));
        character->addAnimation("mouth", framesOf(5));
        controller.reset(new CharacterController);
        controller->setRandomSource([this] { return script(); });
        character->addController(controller);
        controller->play();
    }

    void step(unsigned int t) { character->update(1000 + t); }

    // Steps every millisecond from `from` to `to` (inclusive); the control
    // time of the first step at which `name` was no longer shown.
    unsigned int hiddenAt(const std::string& name, unsigned int from, unsigned int to)
    {
        for (unsigned int t = from; t <= to; ++t)
        {
            step(t);
            if (!shown(name))
                return t;
        }
        return 0;
    }

    bool shown(const std::string& name) const
    {
        return character->getAnimation(name)->cullingMode == CullingMode::Show;
    }

    // The animations shown, in child order.
    std::string visible() const
    {
        std::string result;
        for (const char* name : {"idle", "wave", "on", "off", "blink", "mouth"})
            if (shown(name))
                result += std::string(result.empty() ? "" : " ") + name;
        return result;
    }

    Script script;
    CharacterPtr character;
    CharacterControllerPtr controller;
};
}

TEST_F(CharacterControllerTest, TheFirstStepStartsTheLoopingIdle)
{
    EXPECT_EQ("Tovrane.CharacterController", controller->getType().getName());
    EXPECT_EQ(0xFFFFFFFFu, controller->maxTime);
    EXPECT_EQ("", visible());
    step(0);
    EXPECT_EQ("idle", visible());
    EXPECT_EQ("idle", controller->getCurrentAnimationName());
    EXPECT_EQ(RepeatType::Wrap, character->getAnimationController(character->getAnimation("idle"))->repeatType);
    step(10000);
    EXPECT_TRUE(character->isAnimating("idle"));
    EXPECT_EQ("idle", visible());
}

TEST_F(CharacterControllerTest, APushedGestureInterruptsTheIdleAndHandsBackWhenItsFramesHaveRun)
{
    step(0);
    step(500);
    controller->pushAnimation("wave");
    EXPECT_EQ("wave", visible());
    EXPECT_EQ("wave", controller->getCurrentAnimationName());
    // The wave's clock starts at 501; it has run its 3 x 83 ms once its
    // control time passes 249, and the step after that hands over.
    EXPECT_EQ(501u + 251u, hiddenAt("wave", 501, 2000));
    EXPECT_EQ("idle", visible());
    EXPECT_EQ("idle", controller->getCurrentAnimationName());
    EXPECT_TRUE(character->isAnimating("idle"));
}

TEST_F(CharacterControllerTest, QueuedGesturesPlayInOrderThenTheIdle)
{
    step(0);
    controller->pushAnimation("on");
    controller->pushAnimation("off");
    controller->pushAnimation("missing");
    EXPECT_EQ("on", visible());
    EXPECT_EQ("on", controller->getCurrentAnimationName());

    // The clock of "on" starts at step 1 and passes its 166 ms at 168; the
    // next step hands over to "off", whose clock starts in that same step.
    const unsigned int onEnded = hiddenAt("on", 1, 2000);
    EXPECT_EQ(169u, onEnded);
    EXPECT_EQ("off", visible());
    EXPECT_EQ("off", controller->getCurrentAnimationName());
    const unsigned int offEnded = hiddenAt("off", onEnded + 1, 4000);
    EXPECT_EQ(onEnded + 168u, offEnded);
    EXPECT_EQ("idle", visible());

    // A name the character lacks was never queued.
    step(offEnded + 5000);
    EXPECT_EQ("idle", controller->getCurrentAnimationName());
    EXPECT_EQ("idle", visible());
}

TEST_F(CharacterControllerTest, WithoutAnIdleNothingIsShownOnceTheQueueHasRun)
{
    CharacterPtr bare(new Character);
    bare->addAnimation("wave", framesOf(3));
    CharacterControllerPtr plain(new CharacterController);
    plain->setRandomSource([this] { return script(); });
    bare->addController(plain);
    plain->play();
    bare->update(1000);
    plain->pushAnimation("wave");
    EXPECT_EQ(CullingMode::Show, bare->getAnimation("wave")->cullingMode);
    for (unsigned int t = 1; t < 1000; t += 7)
        bare->update(1000 + t);
    EXPECT_EQ(CullingMode::Hide, bare->getAnimation("wave")->cullingMode);
    EXPECT_EQ("idle", plain->getCurrentAnimationName());
}

TEST_F(CharacterControllerTest, ChangingTheIdleWhileIdlingSwapsAtOnce)
{
    step(0);
    controller->setIdleAnimation("nothing");
    EXPECT_EQ("idle", visible());
    controller->setIdleAnimation("on");
    EXPECT_EQ("on", visible());
    EXPECT_EQ("on", controller->getCurrentAnimationName());

    // While a gesture plays, the new idle waits for the queue to run out.
    controller->pushAnimation("wave");
    controller->setIdleAnimation("off");
    EXPECT_EQ("wave", visible());
    hiddenAt("wave", 1, 2000);
    EXPECT_EQ("off", visible());
}

TEST_F(CharacterControllerTest, BlinksComeTwoToFiveSecondsApartAndOnlyWhileIdle)
{
    // Delays of 2000 (0), 5000 (3000), 5000 (6001 % 3001) and 2000 (3001).
    script.values = {0, 3000, 6001, 3001};
    controller->setBlinkAnimation("blink");
    EXPECT_EQ(tFixed::fromRaw(0x1999), character->getAnimation("blink")->getPosition().z);
    step(0);
    EXPECT_EQ(2000u, controller->getNextBlinkTime());

    // Step by step, the control times at which a blink starts.
    std::vector<unsigned int> blinks;
    AnimationControllerPtr blink = character->getAnimationController(character->getAnimation("blink"));
    for (unsigned int t = 1; t <= 14000; ++t)
    {
        step(t);
        if (blink->playing && blink->controlTime == 0)
            blinks.push_back(t);
    }
    EXPECT_EQ((std::vector<unsigned int>{2001, 7002, 12003}), blinks);
    EXPECT_EQ(12003u + 2000u, controller->getNextBlinkTime());
    EXPECT_EQ("idle blink", visible());

    // A gesture hides the blink, and none comes while it plays even though
    // the blink time has passed.
    controller->pushAnimation("wave");
    EXPECT_EQ("wave", visible());
    const unsigned int ended = hiddenAt("wave", 14001, 20000);
    EXPECT_FALSE(shown("blink"));
    // The idle starts again with a fresh delay, drawn from the seeded source.
    EXPECT_EQ(ended + 2000u, controller->getNextBlinkTime());
}

TEST_F(CharacterControllerTest, SeededBlinkDelaysStayWithinTheirBounds)
{
    std::mt19937 generator(20240607);
    controller->setRandomSource([&generator] { return static_cast<int>(generator() >> 1); });
    controller->setBlinkAnimation("blink");
    step(0);
    unsigned int previous = 0;
    unsigned int count = 0;
    AnimationControllerPtr blink = character->getAnimationController(character->getAnimation("blink"));
    for (unsigned int t = 1; t <= 120000; t += 5)
    {
        step(t);
        if (blink->playing && blink->controlTime == 0)
        {
            EXPECT_GT(t - previous, 2000u) << t;
            EXPECT_LE(t - previous, 5000u + 5u) << t;
            previous = t;
            ++count;
        }
    }
    EXPECT_GE(count, 120000u / 5005u);
    EXPECT_LE(count, 120000u / 2000u);
}

TEST_F(CharacterControllerTest, TheRandomMouthChangesAtEvery83MillisecondBoundary)
{
    controller->setLipFlapAnimation("mouth", true);
    SpatialPtr mouth = character->getAnimation("mouth");
    EXPECT_EQ(tFixed::fromRaw(0x1999), mouth->getPosition().z);
    LipFlapControllerPtr lipFlap =
        boost::dynamic_pointer_cast<LipFlapController>(character->getAnimationController(mouth));
    ASSERT_TRUE(lipFlap);
    EXPECT_EQ(1, mouth->getControllerQuantity());
    Script frames({4, 2, 2, 0, 3, 1});
    lipFlap->setRandomSource([&frames] { return frames(); });

    step(0);
    controller->playLipFlapAnimation(true);
    EXPECT_TRUE(controller->isLipFlapPlaying());
    EXPECT_EQ("idle mouth", visible());
    std::vector<unsigned int> draws;
    std::vector<int> shownFrames;
    for (unsigned int t = 1; t <= 600; ++t)
    {
        const size_t before = frames.drawn;
        step(t);
        if (frames.drawn != before)
        {
            draws.push_back(t - 1);
            shownFrames.push_back(spriteOf(mouth)->getCurrentFrame());
        }
    }
    // The mouth's clock starts one step after the lip flap was switched on.
    // Wrapped control time lies in (0, 415], so the loop's end (415) still
    // counts as its last period and the change comes 1 ms later.
    EXPECT_EQ((std::vector<unsigned int>{83, 166, 249, 332, 416, 498, 581}), draws);
    EXPECT_EQ((std::vector<int>{4, 2, 2, 0, 3, 1, 0}), shownFrames);

    controller->stopLipFlapAnimation();
    EXPECT_FALSE(controller->isLipFlapPlaying());
    EXPECT_EQ("idle", visible());
    // A gesture leaves a playing mouth alone.
    controller->playLipFlapAnimation(true);
    controller->pushAnimation("wave");
    EXPECT_EQ("wave mouth", visible());
}

TEST_F(CharacterControllerTest, AClampedMouthStopsChangingAfterItsFrames)
{
    controller->setLipFlapAnimation("mouth", true);
    SpatialPtr mouth = character->getAnimation("mouth");
    LipFlapControllerPtr lipFlap =
        boost::dynamic_pointer_cast<LipFlapController>(character->getAnimationController(mouth));
    ASSERT_TRUE(lipFlap);
    Script frames;
    lipFlap->setRandomSource([&frames] { return frames(); });
    step(0);
    controller->playLipFlapAnimation(false);
    for (unsigned int t = 1; t <= 3000; ++t)
        step(t);
    // Five frames: the boundaries at 83, 166, 249 and 332, then it holds.
    EXPECT_EQ(4u, frames.drawn);
    EXPECT_TRUE(shown("mouth"));
}

TEST_F(CharacterControllerTest, AnOrderedMouthRunsItsFramesAndReplacesTheRandomOne)
{
    controller->setLipFlapAnimation("mouth", true);
    controller->setLipFlapAnimation("mouth", false);
    SpatialPtr mouth = character->getAnimation("mouth");
    AnimationControllerPtr plain = character->getAnimationController(mouth);
    ASSERT_TRUE(plain);
    EXPECT_EQ(&AnimationController::RuntimeType, &plain->getType());
    EXPECT_EQ(1, mouth->getControllerQuantity());
    step(0);
    controller->playLipFlapAnimation(true);
    step(1);
    step(1 + 83);
    EXPECT_EQ(1, spriteOf(mouth)->getCurrentFrame());
    step(1 + 166);
    EXPECT_EQ(2, spriteOf(mouth)->getCurrentFrame());

    // Another mouth hides the old one.
    controller->setLipFlapAnimation("on", true);
    EXPECT_FALSE(shown("mouth"));
}

TEST_F(CharacterControllerTest, WithoutACharacterNothingHappens)
{
    NodePtr node(new Node);
    CharacterControllerPtr onNode(new CharacterController);
    node->addController(onNode);
    onNode->play();
    onNode->pushAnimation("wave");
    node->update(5);
    node->update(50);
    EXPECT_FALSE(onNode->hasAnimation("idle"));
    EXPECT_EQ("idle", onNode->getCurrentAnimationName());
    EXPECT_TRUE(controller->hasAnimation("wave"));
}

TEST(BlinkControllerTest, FlashesEveryIntervalAndEndsHidden)
{
    NodePtr node(new Node);
    BlinkControllerPtr blink(new BlinkController(500));
    EXPECT_EQ("Tovrane.BlinkController", blink->getType().getName());
    node->addController(blink);
    // Stopped: nothing.
    EXPECT_FALSE(blink->update(600));
    EXPECT_EQ(CullingMode::Inherit, node->cullingMode);

    blink->play();
    EXPECT_TRUE(blink->update(700));
    EXPECT_EQ(CullingMode::Show, node->cullingMode);
    blink->update(1199);
    EXPECT_EQ(CullingMode::Show, node->cullingMode);
    blink->update(1200);
    EXPECT_EQ(CullingMode::Hide, node->cullingMode);
    blink->update(1700);
    EXPECT_EQ(CullingMode::Show, node->cullingMode);
    // A long frame toggles once.
    blink->update(5000);
    EXPECT_EQ(CullingMode::Hide, node->cullingMode);

    blink->stop();
    EXPECT_EQ(CullingMode::Hide, node->cullingMode);
    blink->update(9000);
    EXPECT_EQ(CullingMode::Hide, node->cullingMode);
}

TEST(BlinkControllerTest, EarlyApplicationTimeWaitsForTheFirstInterval)
{
    NodePtr node(new Node);
    node->cullingMode = CullingMode::Show;
    BlinkControllerPtr blink(new BlinkController(1000));
    node->addController(blink);
    blink->play();
    blink->update(100);
    blink->update(999);
    EXPECT_EQ(CullingMode::Show, node->cullingMode);
    blink->update(1000);
    EXPECT_EQ(CullingMode::Hide, node->cullingMode);

    // Without a scene element it only keeps time.
    BlinkController loose(10);
    loose.play();
    EXPECT_TRUE(loose.update(100));
    loose.stop();
}
