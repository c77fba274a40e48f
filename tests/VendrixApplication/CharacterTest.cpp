// Characters, their controller with idle, gestures, blink and lip flap, and
// the blink controller. What a character shows is written into a journal
// after each call or change and compared whole.
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
using CharacterTestSupport::state;

namespace
{
typedef std::vector<std::string> Seen;

const std::vector<std::string> Names = {"idle", "wave", "on", "off", "blink", "mouth", "talk"};

// A character with a looping "idle" of 4 frames and a one-shot "wave" of 3.
CharacterPtr twoAnimations()
{
    CharacterPtr character(new Character);
    character->addAnimation("idle", framesOf(4));
    character->addAnimation("wave", framesOf(3));
    return character;
}
}

TEST(CharacterTest, AnimationsTakeSlotsHiddenPlayingShowsAndRestartsAndHidingKeepsOrStopsTheController)
{
    CharacterPtr character = twoAnimations();
    Seen journal{state(*character, Names)};
    AnimatedSpritePtr old = spriteOf(character->getAnimation("idle"));
    // A sprite that brings its own animation controller keeps it.
    AnimatedSpritePtr mouth = framesOf(2);
    mouth->addController(AnimationControllerPtr(new LipFlapController));
    character->addAnimation("mouth", mouth);
    journal.push_back(state(*character, Names));
    // A new sprite for a name takes its slot; the same sprite again changes nothing.
    AnimatedSpritePtr replacement = framesOf(2);
    for (int twice = 0; twice < 2; ++twice)
    {
        character->addAnimation("idle", replacement);
        journal.push_back(state(*character, Names));
    }
    AnimationControllerPtr waveController = character->getAnimationController(character->getAnimation("wave"));
    character->replaceAnimationController("wave", LipFlapControllerPtr(new LipFlapController));
    journal.push_back(state(*character, Names));
    character->playAnimation("talk", RepeatType::Wrap);
    character->replaceAnimationController("talk", AnimationControllerPtr(new AnimationController));
    journal.push_back(state(*character, Names));

    EXPECT_EQ((Seen{"idle 4@0 hide A stop | wave 3@0 hide A stop",
                       "idle 4@0 hide A stop | wave 3@0 hide A stop | mouth 2@0 hide L stop",
                       "idle 2@0 hide A stop | wave 3@0 hide A stop | mouth 2@0 hide L stop",
                       "idle 2@0 hide A stop | wave 3@0 hide A stop | mouth 2@0 hide L stop",
                       "idle 2@0 hide A stop | wave 3@0 hide L stop | mouth 2@0 hide L stop",
                       "idle 2@0 hide A stop | wave 3@0 hide L stop | mouth 2@0 hide L stop"}),
              journal);
    EXPECT_EQ(nullptr, old->parent);
    EXPECT_EQ(nullptr, waveController->getObject());
    EXPECT_FALSE(character->isAnimating("talk"));
    EXPECT_FALSE(character->isAnimating(""));

    CharacterPtr actor = twoAnimations();
    Seen seen;
    // The looping idle goes on for ever, the clamped wave ends after its
    // three frames of 83 ms; played again, it starts from frame 0.
    auto note = [&](unsigned int time) {
        if (time)
            actor->update(time);
        seen.push_back(std::to_string(time) + ": " + state(*actor, Names));
    };
    actor->playAnimation("idle", RepeatType::Wrap);
    actor->playAnimation("wave", RepeatType::Clamp);
    for (unsigned int time : {1000u, 1249u, 1250u, 101000u})
        note(time);
    actor->playAnimation("wave", RepeatType::Clamp);
    note(101001);
    actor->hideAnimation("idle");
    note(0);
    actor->playAnimation("idle", RepeatType::Wrap);
    actor->hideAnimation(actor->getAnimationController(actor->getAnimation("idle")));
    actor->hideAnimation(AnimationControllerPtr());
    note(0);
    EXPECT_EQ((Seen{"1000: idle 4@0 show A wrap | wave 3@0 show A clamp",
                       "1249: idle 4@3 show A wrap | wave 3@2 show A clamp",
                       "1250: idle 4@3 show A wrap | wave 3@2 show A stop",
                       "101000: idle 4@0 show A wrap | wave 3@2 show A stop",
                       "101001: idle 4@0 show A wrap | wave 3@0 show A clamp",
                       "0: idle 4@0 hide A wrap | wave 3@0 show A clamp",
                       "0: idle 4@0 hide A stop | wave 3@0 show A clamp"}),
              seen);
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

    // Steps every millisecond from `from` to `to` and writes into the journal
    // each change of what is shown: "169 off (off)", the control time, the
    // animations shown and the controller's current animation.
    void run(unsigned int from, unsigned int to)
    {
        for (unsigned int t = from; t <= to; ++t)
        {
            step(t);
            note(std::to_string(t), false);
        }
    }
    // Writes `what` with the present view into the journal (only when the
    // view changed unless `always`).
    void note(const std::string& what, bool always = true)
    {
        const std::string now = visible() + " (" + controller->getCurrentAnimationName() + ")";
        if (always || now != last)
            journal.push_back(what + ": " + now);
        last = now;
    }
    bool shown(const std::string& name) const
    {
        return character->getAnimation(name)->cullingMode == CullingMode::Show;
    }
    // The animations shown, in child order.
    std::string visible() const
    {
        std::string result;
        for (const std::string& name : Names)
            if (character->hasAnimation(name) && shown(name))
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
    Seen journal;
    std::string last;
};
}

TEST_F(CharacterControllerTest, GesturesInterruptTheIdleInOrderAndANewIdleWaitsForThem)
{
    note("start");
    run(0, 500);
    controller->pushAnimation("wave");
    note("push wave");
    // The wave's clock starts at 501; it has run its 3 x 83 ms once its
    // control time passes 249, and the step after that hands over. Each
    // gesture's clock starts in the step that hands over to it.
    run(501, 1000);
    controller->setIdleAnimation("nothing");
    note("idle nothing");
    controller->pushAnimation("on");
    controller->pushAnimation("off");
    controller->pushAnimation("missing"); // never queued
    note("push on off");
    run(1001, 1500);
    controller->setIdleAnimation("on");
    note("idle on");
    controller->pushAnimation("wave");
    controller->setIdleAnimation("off");
    note("push wave, idle off");
    run(1501, 8000);
    EXPECT_EQ((Seen{"start:  (idle)", "0: idle (idle)", "push wave: wave (wave)", "752: idle (idle)",
                       "idle nothing: idle (idle)", "push on off: on (on)", "1169: off (off)", "1337: idle (idle)",
                       "idle on: on (on)", "push wave, idle off: wave (wave)", "1752: off (off)"}),
              journal);
    EXPECT_TRUE(character->isAnimating("off"));
    EXPECT_EQ(RepeatType::Wrap, character->getAnimationController(character->getAnimation("off"))->repeatType);
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

    // A gesture hides the blink, and none comes while it plays even though
    // the blink time has passed; the idle starts again with a fresh delay.
    note("blinking");
    controller->pushAnimation("wave");
    note("push wave");
    run(14001, 17000);
    EXPECT_EQ((Seen{"blinking: idle blink (idle)", "push wave: wave (wave)", "14252: idle (idle)",
                       "16253: idle blink (idle)"}),
              journal);
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

    note("talking");
    controller->stopLipFlapAnimation();
    EXPECT_FALSE(controller->isLipFlapPlaying());
    note("stop");
    // A gesture leaves a playing mouth alone.
    controller->playLipFlapAnimation(true);
    controller->pushAnimation("wave");
    note("talk, push wave");
    EXPECT_EQ((Seen{"talking: idle mouth (idle)", "stop: idle (idle)", "talk, push wave: wave mouth (wave)"}),
              journal);
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
    controller->playLipFlapAnimation(true);
    for (unsigned int t : {4000u, 4083u, 4166u})
    {
        step(t);
        const std::string now = state(*character, Names);
        journal.push_back(std::to_string(t) + ": " + now.substr(now.find("mouth")));
    }
    EXPECT_EQ(4u, frames.drawn) << "the random source is no longer asked";
    // Another mouth hides the old one.
    controller->setLipFlapAnimation("on", true);
    EXPECT_FALSE(shown("mouth"));
    EXPECT_EQ((Seen{"4000: mouth 5@0 show A wrap", "4083: mouth 5@1 show A wrap", "4166: mouth 5@2 show A wrap"}),
              journal);
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
