#include "Tovrane/AnimatedSprite.h"
#include "Tovrane/MontageController.h"

#include <gtest/gtest.h>

using namespace Tovrane;

TEST(MontageControllerTest, AnimatesLikeAnAnimationControllerUnderItsOwnType)
{
    MontageControllerPtr montage(new MontageController);
    EXPECT_EQ("Tovrane.MontageController", montage->getType().getName());
    EXPECT_TRUE(montage->getType().isDerived(AnimationController::RuntimeType));
    EXPECT_EQ(montage, montage->getSharedPointer());

    AnimatedSpritePtr sprite(new AnimatedSprite);
    for (int i = 0; i < 3; ++i)
        sprite->setFrame(SpatialPtr(new Node), i);
    sprite->addController(montage);
    montage->play();
    EXPECT_FALSE(montage->update(1000)) << "the first step only records the time";
    EXPECT_FALSE(montage->update(1082));
    EXPECT_EQ(0, sprite->getCurrentFrame());
    EXPECT_TRUE(montage->update(1083)) << "a changed frame is reported";
    EXPECT_EQ(1, sprite->getCurrentFrame());
}
