#include "SceneGraph/SceneGraphTestHelpers.h"

#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/GraphicsSceneRenderer.h"
#include "Tovrane/Line.h"
#include "Tovrane/Node.h"
#include "Tovrane/Texture.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace Tovrane;
using namespace SceneGraphTest;

namespace
{
// Back end that writes down every call it receives, naming resources by the
// labels the test gave them.
class RecordingRenderer : public GraphicsSceneRenderer
{
public:
    ~RecordingRenderer() override { releaseAllBindings(); }

    void clearBuffers() override { log.push_back("clear"); }
    void clearBuffers(int, int, int, int) override { log.push_back("clear rect"); }
    void swapBuffers() override { log.push_back("swap"); }
    void onViewportChange() override { log.push_back("viewport"); }
    void onFrustumChange() override { log.push_back("frustum"); }
    void setAlphaState(AlphaStatePtr) override { log.push_back("alpha"); }
    void setMaterialState(MaterialStatePtr) override { log.push_back("material"); }

    void onEnableVertexBuffer(VertexBufferPtr, ResourceIdentifier* id) override { log.push_back("enable vb " + name(id)); }
    void onDisableVertexBuffer(VertexBufferPtr, ResourceIdentifier* id) override
    {
        log.push_back("disable vb " + name(id));
    }
    ResourceIdentifier* onBindVertexBuffer(VertexBufferPtr buffer) override { return make("bind vb", buffer.get()); }
    void onReleaseVertexBuffer(ResourceIdentifier* id) override { drop("release vb", id); }
    void onEnableIndexBuffer(ResourceIdentifier* id) override { log.push_back("enable ib " + name(id)); }
    void onDisableIndexBuffer(ResourceIdentifier* id) override { log.push_back("disable ib " + name(id)); }
    ResourceIdentifier* onBindIndexBuffer(IndexBufferPtr buffer) override { return make("bind ib", buffer.get()); }
    void onReleaseIndexBuffer(ResourceIdentifier* id) override { drop("release ib", id); }
    void onEnableTexture(ResourceIdentifier* id, int unit) override
    {
        log.push_back("enable tex " + name(id) + " unit " + std::to_string(unit));
    }
    void onDisableTexture(ResourceIdentifier* id, int unit) override
    {
        log.push_back("disable tex " + name(id) + " unit " + std::to_string(unit));
    }
    ResourceIdentifier* onBindTexture(TexturePtr texture) override { return make("bind tex", texture.get()); }
    void onReleaseTexture(ResourceIdentifier* id) override { drop("release tex", id); }

    void drawElements() override
    {
        log.push_back("draw " + labelOf(currentGeometry));
        worldAtDraw.push_back(currentGeometry ? currentGeometry->world : Matrix<tFixed>());
    }
    void pushWorldTransform() override { log.push_back("push " + labelOf(currentGeometry)); }
    void popWorldTransform() override { log.push_back("pop " + labelOf(currentGeometry)); }

    void label(const void* resource, const std::string& text) { labels[resource] = text; }

    std::vector<std::string> log;
    std::vector<Matrix<tFixed>> worldAtDraw;

private:
    std::string labelOf(const void* resource) const
    {
        const auto found = labels.find(resource);
        return found == labels.end() ? "?" : found->second;
    }
    std::string name(ResourceIdentifier* id) const { return id ? labelOf(resources.at(id)) : "null"; }
    ResourceIdentifier* make(const char* what, const void* resource)
    {
        ResourceIdentifier* id = new ResourceIdentifier();
        resources[id] = resource;
        log.push_back(std::string(what) + " " + labelOf(resource));
        return id;
    }
    void drop(const char* what, ResourceIdentifier* id)
    {
        log.push_back(std::string(what) + " " + name(id));
        resources.erase(id);
        delete id;
    }

    std::map<const void*, std::string> labels;
    std::map<ResourceIdentifier*, const void*> resources;
};

TexturePtr texture() { return TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888, true, 0)); }

class GraphicsSceneRendererTest : public ::testing::Test
{
protected:
    PlanePtr labelled(const std::string& text)
    {
        PlanePtr plane = quad(1, 1);
        renderer.label(plane.get(), text);
        renderer.label(plane->vertexBuffer.get(), text + ".v");
        renderer.label(plane->indexBuffer.get(), text + ".i");
        return plane;
    }
    TexturePtr labelledTexture(const std::string& text)
    {
        TexturePtr t = texture();
        renderer.label(t.get(), text);
        return t;
    }

    RecordingRenderer renderer;
};
}

TEST_F(GraphicsSceneRendererTest, DrawEnablesInOrderAndDisablesInReverse)
{
    PlanePtr plane = labelled("P");
    plane->setTexture(labelledTexture("T0"), 0);
    plane->setTexture(labelledTexture("T1"), 1);
    renderer.draw(plane.get());
    const std::vector<std::string> expected = {
        "push P",         "bind tex T0",         "enable tex T0 unit 0", "bind tex T1",          "enable tex T1 unit 1",
        "bind ib P.i",    "enable ib P.i",       "bind vb P.v",          "enable vb P.v",        "draw P",
        "disable vb P.v", "disable ib P.i",      "disable tex T0 unit 0", "disable tex T1 unit 1", "pop P"};
    EXPECT_EQ(expected, renderer.log);
    EXPECT_EQ(nullptr, renderer.currentGeometry);
}

TEST_F(GraphicsSceneRendererTest, ResourcesAreUploadedOnceAndStayBound)
{
    PlanePtr plane = labelled("P");
    plane->setTexture(labelledTexture("T"), 0);
    renderer.draw(plane.get());
    renderer.log.clear();
    renderer.draw(plane.get());
    for (const std::string& line : renderer.log)
        EXPECT_EQ(std::string::npos, line.find("bind")) << line;
    EXPECT_EQ(9u, renderer.log.size());
}

TEST_F(GraphicsSceneRendererTest, OnlyUnitsHoldingATextureAreTouched)
{
    PlanePtr bare = labelled("B");
    renderer.draw(bare.get());
    for (const std::string& line : renderer.log)
        EXPECT_EQ(std::string::npos, line.find("tex")) << line;

    renderer.log.clear();
    PlanePtr second = labelled("S");
    second->setTexture(labelledTexture("U"), 1);
    renderer.draw(second.get());
    const std::vector<std::string> expected = {"push S",        "bind tex U",     "enable tex U unit 1", "bind ib S.i",
                                               "enable ib S.i", "bind vb S.v",    "enable vb S.v",       "draw S",
                                               "disable vb S.v", "disable ib S.i", "disable tex U unit 1", "pop S"};
    EXPECT_EQ(expected, renderer.log);
}

TEST_F(GraphicsSceneRendererTest, GeometryWithoutIndexBufferSkipsIndexCalls)
{
    Line line(v3(0, 0, 0), v3(1, 1, 0), ColorRGBA<tFixed>(tFixed(1), tFixed(1), tFixed(1), tFixed(1)));
    renderer.label(&line, "L");
    renderer.label(line.vertexBuffer.get(), "L.v");
    renderer.draw(&line);
    const std::vector<std::string> expected = {"push L", "bind vb L.v", "enable vb L.v", "draw L", "disable vb L.v", "pop L"};
    EXPECT_EQ(expected, renderer.log);
}

TEST_F(GraphicsSceneRendererTest, SceneIsDrawnInCullerOrderWithWorldTransforms)
{
    NodePtr root(new Node());
    PlanePtr a = labelled("A"), b = labelled("B"), c = labelled("C"), hidden = labelled("H");
    root->addChild(a);
    root->addChild(b);
    root->addChild(c);
    root->addChild(hidden);
    a->setPosition(v3(1, 2, 0.5f));
    b->setPosition(v3(3, 4, -1));
    c->setPosition(v3(5, 6, 0.5f));
    hidden->cullingMode = CullingMode::Hide;
    root->update(0);

    GraphicsCuller culler;
    culler.computeVisible(root);
    renderer.drawScene(culler);
    std::vector<std::string> draws;
    for (const std::string& line : renderer.log)
        if (line.compare(0, 5, "draw ") == 0)
            draws.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"draw B", "draw A", "draw C"}), draws);
    ASSERT_EQ(3u, renderer.worldAtDraw.size());
    EXPECT_EQ(b->world, renderer.worldAtDraw[0]);
    EXPECT_EQ(tFixed(3), renderer.worldAtDraw[0][12]);
}

TEST_F(GraphicsSceneRendererTest, EmptySetDrawsNothing)
{
    GraphicsCuller culler;
    renderer.drawScene(culler);
    EXPECT_TRUE(renderer.log.empty());
}

TEST_F(GraphicsSceneRendererTest, DestroyedResourcesAreReleasedFromTheRenderer)
{
    PlanePtr plane = labelled("P");
    plane->setTexture(labelledTexture("T"), 0);
    renderer.draw(plane.get());
    renderer.log.clear();
    plane.reset();
    std::vector<std::string> released = renderer.log;
    std::sort(released.begin(), released.end());
    EXPECT_EQ((std::vector<std::string>{"release ib P.i", "release tex T", "release vb P.v"}), released);
}

TEST(GraphicsSceneRendererDeathTest, GeometryWithoutVertexBufferStops)
{
    RecordingRenderer renderer;
    Line line;
    EXPECT_DEATH(renderer.draw(&line), "The geometry has no vertex buffer");
}
