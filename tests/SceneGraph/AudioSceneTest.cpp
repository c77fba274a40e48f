#include "SceneGraph/SceneGraphTestHelpers.h"

#include "Tovrane/AudioCuller.h"
#include "Tovrane/AudioSceneRenderer.h"
#include "Tovrane/SoundEmitter.h"

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

TEST(AudioSceneTest, EmittersOutsideHiddenNodesArePlayedInTreeOrderAndNeverDrawn)
{
    NodePtr root = node(), group = node();
    SoundEmitterPtr inside = emitter(), outside = emitter();
    root->addChild(group);
    group->addChild(inside);
    root->addChild(outside);
    root->addChild(quad(1, 1)); // drawables are not audible
    root->update(0);
    EXPECT_EQ(1u, collect(root).size());

    AudioCuller culler;
    for (CullingMode::Type mode : {CullingMode::Inherit, CullingMode::Show, CullingMode::Hide})
    {
        group->cullingMode = mode;
        culler.computeAudible(root);
        RecordingAudioRenderer renderer;
        renderer.renderScene(culler);
        std::vector<SoundEffectPtr> expected{inside->soundEffect, outside->soundEffect};
        if (mode == CullingMode::Hide)
            expected.erase(expected.begin());
        EXPECT_EQ(expected, renderer.played) << mode;
    }
}
