#include "CharacterTestSupport.h"

#include "Tovrane/AnimationController.h"
#include "Tovrane/MontageController.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tovrane;
using CharacterTestSupport::framesOf;

namespace
{
// The culling mode of every frame, as a string of 'S' (shown) and 'H' (hidden).
std::string modes(const AnimatedSpritePtr& sprite)
{
    std::string result;
    for (int i = 0; i < sprite->getFrameCount(); ++i)
    {
        const CullingMode::Type mode = sprite->getChild(i)->cullingMode;
        result += mode == CullingMode::Show ? 'S' : mode == CullingMode::Hide ? 'H' : '?';
    }
    return result;
}

struct FrameRecorder
{
    void onFrame(const FrameChangeEventArgs args) { frames.push_back(args.frame); }
    std::vector<int> frames;
};

typedef Event<void, const FrameChangeEventArgs> FrameEvent;

// A sprite of `frames` frames with a playing controller; the first update at
// application time 1000 starts its clock.
struct Playing
{
    Playing(int frames, RepeatType::Type repeat, AnimationController* played = new AnimationController)
        : sprite(framesOf(frames)), controller(played)
    {
        controller->repeatType = repeat;
        sprite->addController(controller);
        sprite->frameChange += new FrameEvent::MethodDelegate<FrameRecorder>(&recorder, &FrameRecorder::onFrame);
        controller->play();
        EXPECT_FALSE(controller->update(1000));
    }

    // Steps to control time t; the frame shown afterwards.
    int at(unsigned int t, bool* changed = nullptr)
    {
        const bool result = controller->update(1000 + t);
        if (changed)
            *changed = result;
        return sprite->getCurrentFrame();
    }

    AnimatedSpritePtr sprite;
    AnimationControllerPtr controller;
    FrameRecorder recorder;
};
}

TEST(AnimatedSpriteTest, ShowFrameSwapsTwoCullingModesAndTellsTheDelegatesInOrder)
{
    AnimatedSpritePtr sprite = framesOf(3);
    EXPECT_EQ(0, sprite->getCurrentFrame());
    EXPECT_EQ("SHH", modes(sprite)) << "frames start hidden except the current one";
    FrameRecorder first, second;
    sprite->frameChange += new FrameEvent::MethodDelegate<FrameRecorder>(&first, &FrameRecorder::onFrame);
    sprite->frameChange += new FrameEvent::MethodDelegate<FrameRecorder>(&second, &FrameRecorder::onFrame);
    sprite->showFrame(2);
    EXPECT_EQ("HHS", modes(sprite));
    sprite->showFrame(1);
    EXPECT_EQ("HSH", modes(sprite));
    EXPECT_EQ((std::vector<int>{2, 1}), first.frames);
    EXPECT_EQ((std::vector<int>{2, 1}), second.frames);

    // The frame already shown: no delegate, no change. A frame that does not
    // exist is no frame to show.
    sprite->getChild(0)->cullingMode = CullingMode::Inherit;
    for (int frame : {1, 3, -1})
        sprite->showFrame(frame);
    EXPECT_EQ("?SH", modes(sprite));
    EXPECT_EQ(1, sprite->getCurrentFrame());
    EXPECT_EQ(2u, first.frames.size());
}

TEST(AnimationControllerTest, ClampedRunsOnceAndHoldsWrappedStartsAgainRestartShowsFrameZero)
{
    Playing clamped(4, RepeatType::Clamp);
    EXPECT_EQ(332u, clamped.controller->maxTime);
    bool changed = false;
    EXPECT_EQ(0, clamped.at(82, &changed));
    EXPECT_FALSE(changed);
    EXPECT_EQ(1, clamped.at(83, &changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(1, clamped.at(165));
    EXPECT_EQ(2, clamped.at(166));
    EXPECT_EQ(3, clamped.at(249));
    EXPECT_EQ("HHHS", modes(clamped.sprite));
    EXPECT_TRUE(clamped.controller->isPlaying());
    for (unsigned int t : {331u, 332u, 333u, 500u, 100000u})
    {
        EXPECT_EQ(3, clamped.at(t, &changed)) << t;
        EXPECT_FALSE(changed) << t;
    }
    EXPECT_FALSE(clamped.controller->isPlaying());
    EXPECT_EQ((std::vector<int>{1, 2, 3}), clamped.recorder.frames);
    clamped.controller->restart();
    EXPECT_EQ(3, clamped.sprite->getCurrentFrame()) << "frame 0 comes at the next step";
    EXPECT_EQ(0, clamped.at(100100, &changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(1, clamped.at(100183));

    // A montage controller animates as any animation controller does.
    Playing wrapped(4, RepeatType::Wrap, new MontageController);
    const std::pair<unsigned int, int> steps[] = {{249, 3}, {332, 3}, {333, 0}, {414, 0}, {415, 1},
                                                  // A long step lands where the loop would be: 1668 wraps to 8.
                                                  {2000, 0}, {2249, 3}};
    for (const auto& step : steps)
        EXPECT_EQ(step.second, wrapped.at(step.first)) << step.first;
    EXPECT_TRUE(wrapped.controller->isPlaying());
    EXPECT_EQ((std::vector<int>{3, 0, 1, 0, 3}), wrapped.recorder.frames);
}

TEST(AnimationControllerTest, FramesPerSecondAndPeriodKeepTheMaximumTime)
{
    AnimationController controller;
    EXPECT_EQ(83u, controller.getMillisecondsPerFrame());
    controller.setFrameCount(10);
    controller.setFramesPerSecond(30);
    EXPECT_EQ(33u, controller.getMillisecondsPerFrame());
    EXPECT_EQ(330u, controller.maxTime);
    controller.setMillisecondsPerFrame(100);

    // Never a zero period: no rate leaves it, a rate above 1000 gives 1 ms.
    controller.setFramesPerSecond(0);
    controller.setFramesPerSecond(-4);
    EXPECT_EQ(100u, controller.getMillisecondsPerFrame());
    controller.setFramesPerSecond(5000);
    EXPECT_EQ(1u, controller.getMillisecondsPerFrame());
    controller.setMillisecondsPerFrame(0);
    EXPECT_EQ(1u, controller.getMillisecondsPerFrame());
    EXPECT_EQ(10u, controller.maxTime);
    // The span saturates instead of wrapping round.
    controller.setMillisecondsPerFrame(0xFFFFFFFFu);
    EXPECT_EQ(0xFFFFFFFFu, controller.maxTime);
    controller.setFrameCount(-3);
    EXPECT_EQ(0, controller.getFrameCount());
    EXPECT_EQ(0u, controller.maxTime);
}

TEST(AnimationControllerTest, NoFramesZeroPeriodsAndHugeTimesNeitherDivideByZeroNorOverrun)
{
    Playing empty(0, RepeatType::Wrap);
    bool changed = true;
    EXPECT_EQ(0, empty.at(100, &changed));
    EXPECT_FALSE(changed);
    EXPECT_EQ(0u, empty.controller->maxTime);

    Playing fast(3, RepeatType::Wrap);
    fast.controller->setMillisecondsPerFrame(0);
    fast.controller->setFramesPerSecond(0);
    EXPECT_EQ(1, fast.at(1));
    EXPECT_EQ(2, fast.at(2));
    EXPECT_EQ(1, fast.at(4));

    // Control times far beyond the signed range of frame numbers.
    Playing late(2, RepeatType::Clamp);
    late.controller->setMillisecondsPerFrame(1);
    late.controller->controlTime = 0xF0000000u;
    EXPECT_EQ(1, late.at(1));
    EXPECT_EQ("HS", modes(late.sprite));
}

TEST(AnimationControllerTest, FramesAddedWhilePlayingCountFromTheNextStepAndADelegateMayDropTheSprite)
{
    Playing p(2, RepeatType::Clamp);
    EXPECT_EQ(1, p.at(100));
    p.sprite->setFrame(SpatialPtr(new Node), 2);
    EXPECT_EQ("HSH", modes(p.sprite));
    EXPECT_EQ(2, p.at(200));
    EXPECT_EQ(249u, p.controller->maxTime);
    EXPECT_TRUE(p.controller->isPlaying());

    AnimatedSpritePtr sprite = framesOf(3);
    AnimationControllerPtr controller(new AnimationController);
    sprite->addController(controller);
    struct Dropper
    {
        void onFrame(const FrameChangeEventArgs) { held.reset(); }
        AnimatedSpritePtr held;
    } dropper{sprite};
    sprite->frameChange += new FrameEvent::MethodDelegate<Dropper>(&dropper, &Dropper::onFrame);
    controller->play();
    controller->update(1);
    sprite.reset();
    // The sprite lives on in the dropper until its delegate lets go.
    EXPECT_TRUE(controller->update(84));
    EXPECT_FALSE(dropper.held);
}

