#include "SceneGraph/SceneGraphTestHelpers.h"

#include "Tovrane/AudioCuller.h"
#include "Tovrane/AudioSceneRenderer.h"
#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/Node.h"
#include "Tovrane/SoundEmitter.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tovrane;
using namespace SceneGraphTest;

namespace
{
class RecordingAudioRenderer : public AudioSceneRenderer
{
public:
    void enableSoundEffect(SoundEffectPtr soundEffect) override { played.push_back(soundEffect); }

    std::vector<SoundEffectPtr> played;
};

SoundEmitterPtr emitter()
{
    SoundEmitterPtr e(new SoundEmitter());
    e->soundEffect.reset(new SoundEffect());
    return e;
}
}

TEST(AudioSceneTest, EmittersUnderAHiddenNodeAreNotCollected)
{
    NodePtr root(new Node()), group(new Node());
    SoundEmitterPtr inside = emitter(), outside = emitter();
    root->addChild(group);
    group->addChild(inside);
    root->addChild(outside);
    root->addChild(quad(1, 1)); // drawables are not audible

    AudioCuller culler;
    for (CullingMode::Type mode : {CullingMode::Inherit, CullingMode::Show})
    {
        group->cullingMode = mode;
        culler.computeAudible(root);
        ASSERT_EQ(2, culler.getAudibleQuantity());
        EXPECT_EQ(inside.get(), culler.getAudible(0));
        EXPECT_EQ(outside.get(), culler.getAudible(1));
    }
    group->cullingMode = CullingMode::Hide;
    culler.computeAudible(root);
    ASSERT_EQ(1, culler.getAudibleQuantity());
    EXPECT_EQ(outside.get(), culler.getAudible(0));
}

TEST(AudioSceneTest, EmittersAreNeverDrawn)
{
    NodePtr root(new Node());
    root->addChild(emitter());
    root->update(0);
    GraphicsCuller culler;
    culler.computeVisible(root);
    EXPECT_EQ(0, culler.getVisibleQuantity());
}

TEST(AudioSceneTest, RendererPlaysEachCollectedEffectInOrder)
{
    NodePtr root(new Node());
    SoundEmitterPtr first = emitter(), second = emitter();
    root->addChild(first);
    root->addChild(second);
    AudioCuller culler;
    culler.computeAudible(root);
    RecordingAudioRenderer renderer;
    renderer.renderScene(culler);
    EXPECT_EQ((std::vector<SoundEffectPtr>{first->soundEffect, second->soundEffect}), renderer.played);
}
