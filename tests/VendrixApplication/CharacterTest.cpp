#include "CharacterTestSupport.h"

#include "Tovrane/AnimationController.h"
#include "Tovrane/Character.h"
#include "Tovrane/LipFlapController.h"

#include <gtest/gtest.h>

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

// A character with a looping "idle" of 4 frames and a one-shot "wave" of 3.
CharacterPtr twoAnimations()
{
    CharacterPtr character(new Character);
    character->addAnimation("idle", framesOf(4));
    character->addAnimation("wave", framesOf(3));
    return character;
}
}

TEST(CharacterTest, AddedAnimationsAreHiddenWithAStoppedController)
{
    CharacterPtr character = twoAnimations();
    EXPECT_EQ(2, character->getChildQuantity());
    for (const char* name : {"idle", "wave"})
    {
        SpatialPtr sprite = character->getAnimation(name);
        ASSERT_TRUE(sprite) << name;
        EXPECT_EQ(CullingMode::Hide, sprite->cullingMode);
        AnimationControllerPtr controller = character->getAnimationController(sprite);
        ASSERT_TRUE(controller);
        EXPECT_FALSE(controller->playing);
    }
    EXPECT_EQ(character->getChild(0), character->getAnimation("idle"));
    EXPECT_EQ(character->getChild(1), character->getAnimation("wave"));

    // A sprite that brings its own animation controller keeps it.
    AnimatedSpritePtr mouth = framesOf(2);
    AnimationControllerPtr own(new LipFlapController);
    mouth->addController(own);
    character->addAnimation("mouth", mouth);
    EXPECT_EQ(1, mouth->getControllerQuantity());
    EXPECT_EQ(own, character->getAnimationController(mouth));
}

TEST(CharacterTest, AddingAKnownNameReplacesTheSpriteInItsSlot)
{
    CharacterPtr character = twoAnimations();
    AnimatedSpritePtr old = spriteOf(character->getAnimation("idle"));
    AnimatedSpritePtr replacement = framesOf(2);
    character->addAnimation("idle", replacement);
    EXPECT_EQ(2, character->getChildQuantity());
    EXPECT_EQ(replacement, character->getChild(0));
    EXPECT_EQ(replacement, character->getAnimation("idle"));
    EXPECT_EQ(nullptr, old->parent);
    EXPECT_EQ(CullingMode::Hide, replacement->cullingMode);

    // The same sprite again changes nothing.
    character->addAnimation("idle", replacement);
    EXPECT_EQ(replacement, character->getChild(0));
    EXPECT_EQ(1, replacement->getControllerQuantity());
}

TEST(CharacterTest, PlayingShowsAndRestartsWithoutHidingOtherAnimations)
{
    CharacterPtr character = twoAnimations();
    character->playAnimation("idle", RepeatType::Wrap);
    SpatialPtr idle = character->getAnimation("idle");
    EXPECT_EQ(CullingMode::Show, idle->cullingMode);
    AnimationControllerPtr idleController = character->getAnimationController(idle);
    EXPECT_EQ(RepeatType::Wrap, idleController->repeatType);
    EXPECT_TRUE(character->isAnimating("idle"));

    character->playAnimation("wave", RepeatType::Clamp);
    EXPECT_EQ(CullingMode::Show, idle->cullingMode);
    EXPECT_EQ(CullingMode::Show, character->getAnimation("wave")->cullingMode);

    // The looping idle goes on for ever, the clamped wave ends after its
    // three frames of 83 ms.
    character->update(1000);
    character->update(1000 + 249);
    EXPECT_TRUE(character->isAnimating("wave"));
    EXPECT_EQ(2, spriteOf(character->getAnimation("wave"))->getCurrentFrame());
    character->update(1000 + 250);
    EXPECT_FALSE(character->isAnimating("wave"));
    character->update(1000 + 100000);
    EXPECT_TRUE(character->isAnimating("idle"));

    // Playing again starts from frame 0 at the next step.
    character->playAnimation("wave", RepeatType::Clamp);
    EXPECT_TRUE(character->isAnimating("wave"));
    character->update(1000 + 100001);
    EXPECT_EQ(0, spriteOf(character->getAnimation("wave"))->getCurrentFrame());
}

TEST(CharacterTest, HidingByNameKeepsTheControllerHidingByControllerStopsIt)
{
    CharacterPtr character = twoAnimations();
    character->playAnimation("idle", RepeatType::Wrap);
    character->hideAnimation("idle");
    SpatialPtr idle = character->getAnimation("idle");
    EXPECT_EQ(CullingMode::Hide, idle->cullingMode);
    EXPECT_TRUE(character->isAnimating("idle"));

    character->playAnimation("idle", RepeatType::Wrap);
    character->hideAnimation(character->getAnimationController(idle));
    EXPECT_EQ(CullingMode::Hide, idle->cullingMode);
    EXPECT_FALSE(character->isAnimating("idle"));
    character->hideAnimation(AnimationControllerPtr());
}

TEST(CharacterTest, ReplacingTheControllerOfAnAnimation)
{
    CharacterPtr character = twoAnimations();
    SpatialPtr wave = character->getAnimation("wave");
    AnimationControllerPtr old = character->getAnimationController(wave);
    LipFlapControllerPtr lipFlap(new LipFlapController);
    character->replaceAnimationController("wave", lipFlap);
    EXPECT_EQ(1, wave->getControllerQuantity());
    EXPECT_EQ(lipFlap, character->getAnimationController(wave));
    EXPECT_EQ(nullptr, old->getObject());

}

TEST(CharacterTest, UnknownNamesHaveNoEffect)
{
    CharacterPtr character = twoAnimations();
    character->playAnimation("talk", RepeatType::Wrap);
    character->replaceAnimationController("talk", AnimationControllerPtr(new AnimationController));
    EXPECT_FALSE(character->getAnimation("talk"));
    EXPECT_FALSE(character->isAnimating("talk"));
    EXPECT_FALSE(character->isAnimating(""));
    EXPECT_EQ(2, character->getChildQuantity());
    EXPECT_EQ(CullingMode::Hide, character->getAnimation("idle")->cullingMode);
}
