// Characters, their controller with idle, gestures, blink and lip flap, and
// the blink controller.
#include "CharacterTestSupport.h"

#include "Tovrane/AnimationController.h"
#include "Tovrane/BlinkController.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"
#include "Tovrane/LipFlapController.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tovrane;
using CharacterTestSupport::framesOf;
using CharacterTestSupport::spriteOf;

namespace
{
// A character with a looping "idle" of 4 frames and a one-shot "wave" of 3.
CharacterPtr twoAnimations()
{
    CharacterPtr character(new Character);
    character->addAnimation("idle", framesOf(4));
    character->addAnimation("wave", framesOf(3));
    return character;
}
}

TEST(CharacterTest, AnimationsAreAddedHiddenAndStoppedReplacedInTheirSlotAndUnknownNamesIgnored)
{
    CharacterPtr character = twoAnimations();
    ASSERT_EQ(2, character->getChildQuantity());
    AnimatedSpritePtr old = spriteOf(character->getAnimation("idle"));
    EXPECT_EQ(character->getChild(1), character->getAnimation("wave"));
    EXPECT_EQ(CullingMode::Hide, old->cullingMode);
    ASSERT_TRUE(character->getAnimationController(old));
    EXPECT_FALSE(character->getAnimationController(old)->playing);
    // A sprite that brings its own animation controller keeps it.
    AnimatedSpritePtr mouth = framesOf(2);
    AnimationControllerPtr own(new LipFlapController);
    mouth->addController(own);
    character->addAnimation("mouth", mouth);
    EXPECT_EQ(1, mouth->getControllerQuantity());
    EXPECT_EQ(own, character->getAnimationController(mouth));

    AnimatedSpritePtr replacement = framesOf(2);
    for (int twice = 0; twice < 2; ++twice) // the same sprite again changes nothing
        character->addAnimation("idle", replacement);
    EXPECT_EQ(3, character->getChildQuantity());
    EXPECT_EQ(replacement, character->getChild(0));
    EXPECT_EQ(replacement, character->getAnimation("idle"));
    EXPECT_EQ(nullptr, old->parent);
    EXPECT_EQ(CullingMode::Hide, replacement->cullingMode);
    EXPECT_EQ(1, replacement->getControllerQuantity());

    SpatialPtr wave = character->getAnimation("wave");
    AnimationControllerPtr waveController = character->getAnimationController(wave);
    LipFlapControllerPtr lipFlap(new LipFlapController);
    character->replaceAnimationController("wave", lipFlap);
    EXPECT_EQ(1, wave->getControllerQuantity());
    EXPECT_EQ(lipFlap, character->getAnimationController(wave));
    EXPECT_EQ(nullptr, waveController->getObject());

    character->playAnimation("talk", RepeatType::Wrap);
    character->replaceAnimationController("talk", AnimationControllerPtr(new AnimationController));
    EXPECT_FALSE(character->getAnimation("talk"));
    EXPECT_FALSE(character->isAnimating("talk"));
    EXPECT_FALSE(character->isAnimating(""));
    EXPECT_EQ(3, character->getChildQuantity());
}

TEST(CharacterTest, PlayingShowsAndRestartsHidingByNameKeepsTheControllerByControllerStopsIt)
{
    CharacterPtr character = twoAnimations();
    character->playAnimation("idle", RepeatType::Wrap);
    SpatialPtr idle = character->getAnimation("idle");
    EXPECT_EQ(RepeatType::Wrap, character->getAnimationController(idle)->repeatType);
    character->playAnimation("wave", RepeatType::Clamp);
    EXPECT_EQ(CullingMode::Show, idle->cullingMode) << "other animations stay";
    EXPECT_EQ(CullingMode::Show, character->getAnimation("wave")->cullingMode);

    // The looping idle goes on for ever, the clamped wave ends after its
    // three frames of 83 ms; played again, it starts from frame 0.
    character->update(1000);
    character->update(1000 + 249);
    EXPECT_TRUE(character->isAnimating("wave"));
    EXPECT_EQ(2, spriteOf(character->getAnimation("wave"))->getCurrentFrame());
    character->update(1000 + 250);
    EXPECT_FALSE(character->isAnimating("wave"));
    character->update(1000 + 100000);
    EXPECT_TRUE(character->isAnimating("idle"));
    character->playAnimation("wave", RepeatType::Clamp);
    EXPECT_TRUE(character->isAnimating("wave"));
    character->update(1000 + 100001);
    EXPECT_EQ(0, spriteOf(character->getAnimation("wave"))->getCurrentFrame());

    character->hideAnimation("idle");
    EXPECT_EQ(CullingMode::Hide, idle->cullingMode);
    EXPECT_TRUE(character->isAnimating("idle"));
    character->playAnimation("idle", RepeatType::Wrap);
    character->hideAnimation(character->getAnimationController(idle));
    EXPECT_EQ(CullingMode::Hide, idle->cullingMode);
    EXPECT_FALSE(character->isAnimating("idle"));
    character->hideAnimation(AnimationControllerPtr());
}

namespace
{
// Random numbers from a list, then zeros; counts the numbers drawn.
struct Script
{
    int operator()()
    {
        const size_t i = drawn++;
        return i < values.size() ? values[i] : 0;
    }
    std::vector<int> values;
    size_t drawn = 0;
};

// A character with a looping idle, one-shot gestures, a blink and a mouth,
// driven by a playing character controller; control time t is application
// time 1000 + t.
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

    // Steps every millisecond from `from` to `to`; the first control time at
    // which `name` was no longer shown, or 0.
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
    // The mouth's lip flap controller, drawing its frames from `frames`.
    LipFlapControllerPtr mouthDrawingFrom(Script& frames)
    {
        controller->setLipFlapAnimation("mouth", true);
        LipFlapControllerPtr lipFlap = boost::dynamic_pointer_cast<LipFlapController>(
            character->getAnimationController(character->getAnimation("mouth")));
        if (lipFlap)
            lipFlap->setRandomSource([&frames] { return frames(); });
        return lipFlap;
    }

    Script script;
    CharacterPtr character;
    CharacterControllerPtr controller;
};
}

TEST_F(CharacterControllerTest, TheFirstStepStartsTheIdleAndAPushedGestureInterruptsIt)
{
    EXPECT_EQ("", visible());
    step(0);
    EXPECT_EQ("idle", visible());
    EXPECT_EQ(RepeatType::Wrap, character->getAnimationController(character->getAnimation("idle"))->repeatType);
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

TEST_F(CharacterControllerTest, ChangingTheIdleWhileIdlingSwapsAtOnceDuringAGestureAfterIt)
{
    step(0);
    controller->setIdleAnimation("nothing");
    EXPECT_EQ("idle", visible());
    controller->setIdleAnimation("on");
    EXPECT_EQ("on", visible());
    EXPECT_EQ("on", controller->getCurrentAnimationName());
    controller->pushAnimation("wave");
    controller->setIdleAnimation("off");
    EXPECT_EQ("wave", visible());
    hiddenAt("wave", 1, 2000);
    EXPECT_EQ("off", visible());
}

TEST_F(CharacterControllerTest, WithoutAnIdleOrACharacterNothingIsShown)
{
    CharacterPtr bare(new Character);
    bare->addAnimation("wave", framesOf(3));
    CharacterControllerPtr plain(new CharacterController);
    bare->addController(plain);
    plain->play();
    bare->update(1000);
    plain->pushAnimation("wave");
    EXPECT_EQ(CullingMode::Show, bare->getAnimation("wave")->cullingMode);
    for (unsigned int t = 1; t < 1000; t += 7)
        bare->update(1000 + t);
    EXPECT_EQ(CullingMode::Hide, bare->getAnimation("wave")->cullingMode);
    EXPECT_EQ("idle", plain->getCurrentAnimationName());

    NodePtr node(new Node);
    CharacterControllerPtr onNode(new CharacterController);
    node->addController(onNode);
    onNode->play();
    onNode->pushAnimation("wave");
    node->update(5);
    node->update(50);
    EXPECT_FALSE(onNode->hasAnimation("idle"));
    EXPECT_EQ("idle", onNode->getCurrentAnimationName());
}

TEST_F(CharacterControllerTest, BlinksComeTwoToFiveSecondsApartAndOnlyWhileIdle)
{
    // Delays of 2000 (0), 5000 (3000), 5000 (6001 % 3001) and 2000 (3001).
    script.values = {0, 3000, 6001, 3001};
    controller->setBlinkAnimation("blink");
    EXPECT_EQ(tFixed::fromRaw(0x1999), character->getAnimation("blink")->getPosition().z);
    step(0);
    EXPECT_EQ(2000u, controller->getNextBlinkTime());
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
    // the blink time has passed; the idle starts again with a fresh delay.
    controller->pushAnimation("wave");
    EXPECT_EQ("wave", visible());
    const unsigned int ended = hiddenAt("wave", 14001, 20000);
    EXPECT_FALSE(shown("blink"));
    EXPECT_EQ(ended + 2000u, controller->getNextBlinkTime());
}

TEST_F(CharacterControllerTest, TheRandomMouthChangesAtEvery83MillisecondBoundary)
{
    Script frames{{4, 2, 2, 0, 3, 1}};
    LipFlapControllerPtr lipFlap = mouthDrawingFrom(frames);
    ASSERT_TRUE(lipFlap);
    SpatialPtr mouth = character->getAnimation("mouth");
    EXPECT_EQ(tFixed::fromRaw(0x1999), mouth->getPosition().z);
    EXPECT_EQ(1, mouth->getControllerQuantity());
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

TEST_F(CharacterControllerTest, AClampedMouthHoldsAndAnOrderedMouthReplacesTheRandomOne)
{
    Script frames;
    ASSERT_TRUE(mouthDrawingFrom(frames));
    step(0);
    controller->playLipFlapAnimation(false);
    for (unsigned int t = 1; t <= 3000; ++t)
        step(t);
    // Five frames: the boundaries at 83, 166, 249 and 332, then it holds.
    EXPECT_EQ(4u, frames.drawn);
    EXPECT_TRUE(shown("mouth"));

    controller->setLipFlapAnimation("mouth", false);
    SpatialPtr mouth = character->getAnimation("mouth");
    AnimationControllerPtr plain = character->getAnimationController(mouth);
    ASSERT_TRUE(plain);
    EXPECT_EQ(&AnimationController::RuntimeType, &plain->getType());
    EXPECT_EQ(1, mouth->getControllerQuantity());
    controller->playLipFlapAnimation(true);
    step(4000);
    step(4000 + 83);
    EXPECT_EQ(1, spriteOf(mouth)->getCurrentFrame());
    step(4000 + 166);
    EXPECT_EQ(2, spriteOf(mouth)->getCurrentFrame());
    EXPECT_EQ(4u, frames.drawn) << "the random source is no longer asked";
    // Another mouth hides the old one.
    controller->setLipFlapAnimation("on", true);
    EXPECT_FALSE(shown("mouth"));
}

TEST(BlinkControllerTest, FlashesEveryIntervalAndEndsHidden)
{
    NodePtr node(new Node);
    BlinkControllerPtr blink(new BlinkController(500));
    node->addController(blink);
    EXPECT_FALSE(blink->update(600)) << "stopped: nothing";
    EXPECT_EQ(CullingMode::Inherit, node->cullingMode);
    blink->play();
    EXPECT_TRUE(blink->update(700));
    EXPECT_EQ(CullingMode::Show, node->cullingMode);
    // A long frame (5000) toggles once; stopped, it stays hidden.
    const std::pair<unsigned int, CullingMode::Type> steps[] = {
        {1199, CullingMode::Show}, {1200, CullingMode::Hide}, {1700, CullingMode::Show}, {5000, CullingMode::Hide}};
    for (const auto& s : steps)
    {
        blink->update(s.first);
        EXPECT_EQ(s.second, node->cullingMode) << s.first;
    }
    blink->stop();
    blink->update(9000);
    EXPECT_EQ(CullingMode::Hide, node->cullingMode);

    // Early application time waits for the first interval.
    BlinkControllerPtr late(new BlinkController(1000));
    NodePtr other(new Node);
    other->cullingMode = CullingMode::Show;
    other->addController(late);
    late->play();
    late->update(100);
    late->update(999);
    EXPECT_EQ(CullingMode::Show, other->cullingMode);
    late->update(1000);
    EXPECT_EQ(CullingMode::Hide, other->cullingMode);
    // Without a scene element it only keeps time.
    BlinkController loose(10);
    loose.play();
    EXPECT_TRUE(loose.update(100));
}
