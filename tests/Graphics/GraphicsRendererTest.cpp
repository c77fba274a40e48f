#include "Tovrane/GraphicsRenderer.h"
#include "Tovrane/Texture.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace Tovrane;

namespace
{
// A back end that only records what it is asked to do. Identifiers are
// numbered in order of upload; the log may outlive the renderer.
class RecordingRenderer : public GraphicsRenderer
{
public:
    explicit RecordingRenderer(std::shared_ptr<std::vector<std::string>> log = nullptr)
        : log(log ? log : std::make_shared<std::vector<std::string>>())
    {
    }
    ~RecordingRenderer() override
    {
        if (freeOnDestruction)
            releaseAllBindings();
    }

    void clearBuffers() override { record("clear"); }
    void clearBuffers(int, int, int, int) override { record("clearRect"); }
    void swapBuffers() override { record("swap"); }
    void onViewportChange() override { record("viewport"); }
    void onFrustumChange() override { record("frustum"); }
    void setAlphaState(AlphaStatePtr) override { record("alpha"); }
    void setMaterialState(MaterialStatePtr) override { record("material"); }
    void onEnableVertexBuffer(VertexBufferPtr, ResourceIdentifier* id) override { record("enableVB", id); }
    void onDisableVertexBuffer(VertexBufferPtr, ResourceIdentifier* id) override { record("disableVB", id); }
    ResourceIdentifier* onBindVertexBuffer(VertexBufferPtr) override { return upload("bindVB"); }
    void onReleaseVertexBuffer(ResourceIdentifier* id) override { free("releaseVB", id); }
    void onEnableIndexBuffer(ResourceIdentifier* id) override { record("enableIB", id); }
    void onDisableIndexBuffer(ResourceIdentifier* id) override { record("disableIB", id); }
    ResourceIdentifier* onBindIndexBuffer(IndexBufferPtr) override { return upload("bindIB"); }
    void onReleaseIndexBuffer(ResourceIdentifier* id) override { free("releaseIB", id); }
    void onEnableTexture(ResourceIdentifier* id, int unit) override
    {
        record("enableTexture" + std::to_string(unit), id);
    }
    void onDisableTexture(ResourceIdentifier* id, int unit) override
    {
        record("disableTexture" + std::to_string(unit), id);
    }
    ResourceIdentifier* onBindTexture(TexturePtr) override { return upload("bindTexture"); }
    void onReleaseTexture(ResourceIdentifier* id) override { free("releaseTexture", id); }

    std::shared_ptr<std::vector<std::string>> log;
    std::vector<std::thread::id> releaseThreads;
    bool freeOnDestruction = true;
    int live = 0;

private:
    void record(const std::string& what, ResourceIdentifier* id = nullptr)
    {
        std::ostringstream line;
        line << what;
        if (id)
            line << " " << id->name;
        else if (what.find("able") != std::string::npos)
            line << " null";
        log->push_back(line.str());
    }
    ResourceIdentifier* upload(const std::string& what)
    {
        ResourceIdentifier* id = new ResourceIdentifier();
        id->name = ++uploads;
        ++live;
        record(what, id);
        return id;
    }
    void free(const std::string& what, ResourceIdentifier* id)
    {
        record(what, id);
        releaseThreads.push_back(std::this_thread::get_id());
        --live;
        delete id;
    }
    unsigned uploads = 0;
};

VertexBufferPtr makeVertexBuffer()
{
    VertexAttributes attributes;
    attributes.positions = 1;
    return VertexBufferPtr(new VertexBuffer(attributes, 3));
}

TexturePtr makeTexture()
{
    return TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888, true, 0));
}

typedef std::vector<std::string> Log;
}

TEST(GraphicsRenderer, StartsWithTheScreenSizeAndNothingHeld)
{
    RecordingRenderer renderer;
    EXPECT_EQ(320, renderer.getWidth());
    EXPECT_EQ(240, renderer.getHeight());
    EXPECT_EQ(nullptr, renderer.getCamera());
    EXPECT_EQ(0u, renderer.getAllocatedBufferBytes());
    EXPECT_EQ(0u, renderer.getPeakBufferBytes());
    EXPECT_EQ(0u, renderer.getAllocatedTextureBytes());
    EXPECT_EQ(0u, renderer.getPeakTextureBytes());
}

TEST(GraphicsRenderer, SetCameraReadsViewportThenFrustumButNotForNull)
{
    RecordingRenderer renderer;
    CameraPtr camera(new Camera);
    renderer.setCamera(camera);
    EXPECT_EQ((Log{"viewport", "frustum"}), *renderer.log);
    EXPECT_EQ(camera.get(), renderer.getCamera());
    renderer.log->clear();
    renderer.setCamera(CameraPtr());
    EXPECT_TRUE(renderer.log->empty());
    EXPECT_EQ(nullptr, renderer.getCamera());
}

TEST(GraphicsRenderer, EnablingTwiceUploadsOnce)
{
    RecordingRenderer renderer;
    TexturePtr texture = makeTexture();
    renderer.enableTexture(texture, 0);
    renderer.enableTexture(texture, 1);
    renderer.disableTexture(texture, 1);
    EXPECT_EQ((Log{"bindTexture 1", "enableTexture0 1", "enableTexture1 1", "disableTexture1 1"}),
              *renderer.log);
    ASSERT_EQ(1u, texture->bindings.size());
    EXPECT_EQ(&renderer, texture->bindings[0].renderer);
}

TEST(GraphicsRenderer, DisablingNeverFreesAndPassesNullWhenNotUploaded)
{
    RecordingRenderer renderer;
    VertexBufferPtr vertices = makeVertexBuffer();
    IndexBufferPtr indices(new IndexBuffer(3));
    renderer.disableVertexBuffer(vertices);
    renderer.disableIndexBuffer(indices);
    renderer.enableIndexBuffer(indices);
    renderer.enableVertexBuffer(vertices);
    renderer.disableVertexBuffer(vertices);
    renderer.disableIndexBuffer(indices);
    EXPECT_EQ((Log{"disableVB null", "disableIB null", "bindIB 1", "enableIB 1", "bindVB 2", "enableVB 2",
                   "disableVB 2", "disableIB 1"}),
              *renderer.log);
    EXPECT_EQ(2, renderer.live);
}

TEST(GraphicsRenderer, NullIndexBufferAndNullResourcesAreIgnored)
{
    RecordingRenderer renderer;
    renderer.enableIndexBuffer(IndexBufferPtr());
    renderer.disableIndexBuffer(IndexBufferPtr());
    renderer.bindTexture(TexturePtr());
    renderer.bindVertexBuffer(VertexBufferPtr());
    renderer.bindIndexBuffer(IndexBufferPtr());
    renderer.releaseTexture(nullptr);
    // A resource this renderer never uploaded.
    TexturePtr texture = makeTexture();
    renderer.releaseTexture(texture.get());
    EXPECT_TRUE(renderer.log->empty());
}

TEST(GraphicsRenderer, TwoRenderersHoldOneEntryEachAndFreeTheirOwn)
{
    RecordingRenderer first;
    RecordingRenderer second;
    TexturePtr texture = makeTexture();
    first.enableTexture(texture, 0);
    second.enableTexture(texture, 0);
    ASSERT_EQ(2u, texture->bindings.size());
    EXPECT_EQ(&first, texture->bindings[0].renderer);
    EXPECT_EQ(&second, texture->bindings[1].renderer);
    texture.reset();
    EXPECT_EQ("releaseTexture 1", first.log->back());
    EXPECT_EQ("releaseTexture 1", second.log->back());
    EXPECT_EQ(0, first.live);
    EXPECT_EQ(0, second.live);
}

TEST(GraphicsRenderer, ReleaseMovesTheLastEntryIntoTheFreedPlace)
{
    RecordingRenderer a, b, c;
    VertexBufferPtr buffer = makeVertexBuffer();
    a.bindVertexBuffer(buffer);
    b.bindVertexBuffer(buffer);
    c.bindVertexBuffer(buffer);
    a.releaseVertexBuffer(buffer.get());
    ASSERT_EQ(2u, buffer->bindings.size());
    EXPECT_EQ(&c, buffer->bindings[0].renderer);
    EXPECT_EQ(&b, buffer->bindings[1].renderer);
    EXPECT_EQ("releaseVB 1", a.log->back());
    EXPECT_EQ(0, a.live);
    // Released resources are uploaded again on their next use.
    a.enableVertexBuffer(buffer);
    EXPECT_EQ("bindVB 2", (*a.log)[a.log->size() - 2]);
}

TEST(GraphicsRenderer, ChangingATextureDropsEveryCopy)
{
    RecordingRenderer renderer;
    TexturePtr texture = makeTexture();
    renderer.enableTexture(texture, 0);
    texture->setPixel(ColorRGBA<unsigned char>(1, 2, 3, 4), 0, 0);
    EXPECT_TRUE(texture->bindings.empty());
    EXPECT_EQ("releaseTexture 1", renderer.log->back());
    renderer.enableTexture(texture, 0);
    EXPECT_EQ("bindTexture 2", (*renderer.log)[renderer.log->size() - 2]);
}

TEST(GraphicsRenderer, DestroyedRendererLeavesNoEntryInSurvivingResources)
{
    auto log = std::make_shared<Log>();
    TexturePtr texture = makeTexture();
    VertexBufferPtr vertices = makeVertexBuffer();
    IndexBufferPtr indices(new IndexBuffer(3));
    RecordingRenderer survivor;
    survivor.bindTexture(texture);
    {
        RecordingRenderer renderer(log);
        renderer.enableTexture(texture, 0);
        renderer.enableVertexBuffer(vertices);
        renderer.enableIndexBuffer(indices);
    }
    int texturesFreed = 0, vertexBuffersFreed = 0, indexBuffersFreed = 0;
    for (const std::string& line : *log)
    {
        texturesFreed += line.rfind("releaseTexture", 0) == 0;
        vertexBuffersFreed += line.rfind("releaseVB", 0) == 0;
        indexBuffersFreed += line.rfind("releaseIB", 0) == 0;
    }
    EXPECT_EQ(1, texturesFreed);
    EXPECT_EQ(1, vertexBuffersFreed);
    EXPECT_EQ(1, indexBuffersFreed);
    EXPECT_TRUE(vertices->bindings.empty());
    EXPECT_TRUE(indices->bindings.empty());
    ASSERT_EQ(1u, texture->bindings.size());
    EXPECT_EQ(&survivor, texture->bindings[0].renderer);
    // Destroying the resources now must not reach the dead renderer.
    texture.reset();
    vertices.reset();
    indices.reset();
    EXPECT_EQ(0, survivor.live);
}

TEST(GraphicsRenderer, BackEndThatFreesNothingStillLeavesNoDanglingEntry)
{
    TexturePtr texture = makeTexture();
    std::vector<ResourceIdentifier*> leaked;
    {
        RecordingRenderer renderer;
        renderer.freeOnDestruction = false;
        renderer.bindTexture(texture);
        leaked.push_back(texture->bindings[0].identifier);
    }
    EXPECT_TRUE(texture->bindings.empty());
    for (ResourceIdentifier* id : leaked)
        delete id;
}

TEST(GraphicsRendererDeathTest, NullTextureOrVertexBufferIsFatal)
{
    RecordingRenderer renderer;
    EXPECT_DEATH(renderer.enableTexture(TexturePtr(), 0), "px != 0");
    EXPECT_DEATH(renderer.disableTexture(TexturePtr(), 0), "px != 0");
    EXPECT_DEATH(renderer.enableVertexBuffer(VertexBufferPtr()), "px != 0");
    EXPECT_DEATH(renderer.disableVertexBuffer(VertexBufferPtr()), "px != 0");
}

// Resources dropped on a loader thread: the entry goes at once, the back end's
// release waits for the drawing thread.
TEST(GraphicsRendererThreadTest, ReleaseOnAnotherThreadIsQueuedForTheDrawingThread)
{
    RecordingRenderer renderer;
    TexturePtr texture = makeTexture();
    VertexBufferPtr vertices = makeVertexBuffer();
    renderer.enableTexture(texture, 0);
    renderer.enableVertexBuffer(vertices);
    const size_t before = renderer.log->size();
    std::thread loader([&] {
        texture->setPixel(ColorRGBA<unsigned char>(9, 9, 9, 9), 1, 1);
        vertices.reset();
    });
    loader.join();
    EXPECT_TRUE(texture->bindings.empty());
    EXPECT_EQ(before, renderer.log->size());
    EXPECT_EQ(2, renderer.live);

    renderer.releasePendingBindings();
    EXPECT_EQ(0, renderer.live);
    ASSERT_EQ(2u, renderer.releaseThreads.size());
    EXPECT_EQ(std::this_thread::get_id(), renderer.releaseThreads[0]);
    EXPECT_EQ(std::this_thread::get_id(), renderer.releaseThreads[1]);
    renderer.releasePendingBindings();
    EXPECT_EQ(before + 2, renderer.log->size());
}

TEST(GraphicsRendererThreadTest, QueuedReleasesAreCarriedOutWhenTheRendererIsDestroyed)
{
    auto log = std::make_shared<Log>();
    auto renderer = std::make_unique<RecordingRenderer>(log);
    TexturePtr texture = makeTexture();
    renderer->bindTexture(texture);
    std::thread loader([&] { texture.reset(); });
    loader.join();
    renderer.reset();
    EXPECT_EQ("releaseTexture 1", log->back());
}

TEST(GraphicsRendererThreadTest, LoaderDropsResourcesWhileTheDrawingThreadBinds)
{
    RecordingRenderer renderer;
    const int count = 200;
    std::vector<TexturePtr> loaded;
    for (int i = 0; i < count; ++i)
    {
        loaded.push_back(makeTexture());
        renderer.bindTexture(loaded.back());
    }
    std::thread loader([&] {
        for (TexturePtr& texture : loaded)
            texture.reset();
    });
    std::vector<VertexBufferPtr> drawn;
    for (int i = 0; i < count; ++i)
    {
        drawn.push_back(makeVertexBuffer());
        renderer.enableVertexBuffer(drawn.back());
        if (i % 16 == 0)
            renderer.releasePendingBindings();
    }
    loader.join();
    renderer.releasePendingBindings();
    EXPECT_EQ(count, renderer.live);
    drawn.clear();
    EXPECT_EQ(0, renderer.live);
}
