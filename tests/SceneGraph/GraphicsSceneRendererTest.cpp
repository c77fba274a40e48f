// The order in which a geometry's transform, textures and buffers reach the
// back end, and the order of geometries in a frame.
#include "Graphics/RecordingRenderer.h"
#include "SceneGraph/SceneGraphTestHelpers.h"

#include "Tovrane/GraphicsSceneRenderer.h"
#include "Tovrane/Line.h"

using namespace Tovrane;
using namespace SceneGraphTest;

namespace
{
class RecordingSceneRenderer : public RecordingBackEnd<GraphicsSceneRenderer>
{
public:
    void drawElements() override
    {
        log->push_back("draw");
        worldAtDraw.push_back(currentGeometry->world);
    }
    void pushWorldTransform() override { log->push_back("push"); }
    void popWorldTransform() override { log->push_back("pop"); }
    std::vector<Matrix<tFixed>> worldAtDraw;
};

TexturePtr texture() { return TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888, true, 0)); }
}

TEST(GraphicsSceneRendererTest, DrawEnablesInOrderAndDisablesInReverseUploadingOnce)
{
    RecordingSceneRenderer renderer;
    PlanePtr plane = quad(1, 1);
    plane->setTexture(texture(), 0);
    plane->setTexture(texture(), 1);
    renderer.draw(plane.get());
    EXPECT_EQ((Log{"push", "bindTexture 1", "enableTexture0 1", "bindTexture 2", "enableTexture1 2", "bindIB 3",
                   "enableIB 3", "bindVB 4", "enableVB 4", "draw", "disableVB 4", "disableIB 3", "disableTexture0 1",
                   "disableTexture1 2", "pop"}),
              *renderer.log);
    EXPECT_EQ(nullptr, renderer.currentGeometry);
    renderer.log->clear();
    renderer.draw(plane.get());
    EXPECT_EQ(11u, renderer.log->size());
    EXPECT_EQ(0, renderer.count("bind"));

    // Only units holding a texture, and only the buffers present, are touched.
    plane->setTexture(TexturePtr(), 0);
    renderer.log->clear();
    renderer.draw(plane.get());
    EXPECT_EQ((Log{"push", "enableTexture1 2", "enableIB 3", "enableVB 4", "draw", "disableVB 4", "disableIB 3",
                   "disableTexture1 2", "pop"}),
              *renderer.log);
    renderer.log->clear();
    Line line(v3(0, 0, 0), v3(1, 1, 0), ColorRGBA<tFixed>(tFixed(1), tFixed(1), tFixed(1), tFixed(1)));
    renderer.draw(&line);
    EXPECT_EQ((Log{"push", "bindVB 5", "enableVB 5", "draw", "disableVB 5", "pop"}), *renderer.log);

    // Destroyed resources are released from the renderer.
    plane.reset();
    EXPECT_EQ(1, renderer.count("releaseTexture"));
    EXPECT_EQ(1, renderer.count("releaseIB"));
    EXPECT_EQ(1, renderer.count("releaseVB"));
    EXPECT_EQ(1, renderer.live) << "the line's buffer";
}

TEST(GraphicsSceneRendererTest, SceneIsDrawnInCullerOrderWithWorldTransforms)
{
    RecordingSceneRenderer renderer;
    GraphicsCuller culler;
    renderer.drawScene(culler);
    EXPECT_TRUE(renderer.log->empty());

    NodePtr root = node();
    const float positions[][3] = {{1, 2, 0.5f}, {3, 4, -1}, {5, 6, 0.5f}, {7, 8, 0}};
    for (const auto& p : positions)
    {
        PlanePtr plane = quad(1, 1);
        plane->setPosition(v3(p[0], p[1], p[2]));
        root->addChild(plane);
    }
    root->getChild(3)->cullingMode = CullingMode::Hide;
    root->update(0);
    culler.computeVisible(root);
    renderer.drawScene(culler);
    ASSERT_EQ(3u, renderer.worldAtDraw.size());
    // Lowest z first, equal z in tree order.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(root->getChild(i == 0 ? 1 : i == 1 ? 0 : 2)->world, renderer.worldAtDraw[i]) << i;
}
