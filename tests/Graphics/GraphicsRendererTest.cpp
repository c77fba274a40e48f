// Uploads once per renderer, binding entries and their release, also from
// another thread, through a back end that only records what it is asked.
#include "Graphics/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Tovrane;

namespace
{
VertexBufferPtr makeVertexBuffer()
{
    VertexAttributes attributes;
    attributes.positions = 1;
    return VertexBufferPtr(new VertexBuffer(attributes, 3));
}

TexturePtr makeTexture() { return TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888, true, 0)); }
}

TEST(GraphicsRenderer, UploadsOnceAndDisablingNeverFrees)
{
    RecordingRenderer renderer;
    TexturePtr texture = makeTexture();
    VertexBufferPtr vertices = makeVertexBuffer();
    IndexBufferPtr indices(new IndexBuffer(3));
    // Not uploaded yet: the back end is told with a null identifier.
    renderer.disableVertexBuffer(vertices);
    renderer.disableIndexBuffer(indices);
    renderer.enableTexture(texture, 0);
    renderer.enableTexture(texture, 1);
    renderer.disableTexture(texture, 1);
    renderer.enableIndexBuffer(indices);
    renderer.enableVertexBuffer(vertices);
    renderer.disableVertexBuffer(vertices);
    renderer.disableIndexBuffer(indices);
    EXPECT_EQ((Log{"disableVB null", "disableIB null", "bindTexture 1", "enableTexture0 1", "enableTexture1 1",
                   "disableTexture1 1", "bindIB 2", "enableIB 2", "bindVB 3", "enableVB 3", "disableVB 3",
                   "disableIB 2"}),
              *renderer.log);
    EXPECT_EQ(3, renderer.live);
    ASSERT_EQ(1u, texture->bindings.size());
    EXPECT_EQ(&renderer, texture->bindings[0].renderer);
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

TEST(GraphicsRenderer, EachRendererHoldsOneEntryAndFreesItsOwn)
{
    RecordingRenderer a, b, c;
    VertexBufferPtr buffer = makeVertexBuffer();
    a.bindVertexBuffer(buffer);
    b.bindVertexBuffer(buffer);
    c.bindVertexBuffer(buffer);
    // Releasing moves the last entry into the freed place.
    a.releaseVertexBuffer(buffer.get());
    ASSERT_EQ(2u, buffer->bindings.size());
    EXPECT_EQ(&c, buffer->bindings[0].renderer);
    EXPECT_EQ(&b, buffer->bindings[1].renderer);
    EXPECT_EQ("releaseVB 1", a.log->back());
    EXPECT_EQ(0, a.live);
    // Released resources are uploaded again on their next use.
    a.enableVertexBuffer(buffer);
    EXPECT_EQ("bindVB 2", (*a.log)[a.log->size() - 2]);
    buffer.reset();
    for (RecordingRenderer* r : {&a, &b, &c})
        EXPECT_EQ(0, r->live);
    EXPECT_EQ("releaseVB 1", b.log->back());
}

TEST(GraphicsRenderer, BackEndThatFreesNothingStillLeavesNoDanglingEntry)
{
    TexturePtr texture = makeTexture();
    ResourceIdentifier* leaked = nullptr;
    {
        RecordingRenderer renderer;
        renderer.freeOnDestruction = false;
        renderer.bindTexture(texture);
        leaked = texture->bindings[0].identifier;
    }
    EXPECT_TRUE(texture->bindings.empty());
    delete leaked;
}

// Resources dropped on a loader thread: the entry goes at once, the back end's
// release waits for the drawing thread, or for the renderer's end.
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
    EXPECT_EQ((std::vector<std::thread::id>(2, std::this_thread::get_id())), renderer.releaseThreads);
    renderer.releasePendingBindings();
    EXPECT_EQ(before + 2, renderer.log->size());

    // Still queued when the renderer goes: freed by its destructor.
    auto other = std::make_unique<RecordingRenderer>();
    std::shared_ptr<Log> log = other->log;
    other->bindTexture(texture);
    std::thread([&] { texture.reset(); }).join();
    other.reset();
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

// Sheets shared by the renderers of two states: one renderer goes while
// another thread lets go of the sheets. Every copy is freed exactly once and
// no release reaches the renderer that is gone.
TEST(GraphicsRendererThreadTest, RendererDestroyedWhileAnotherThreadFreesSharedTextures)
{
    for (int round = 0; round < 20; ++round)
    {
        auto leaving = std::make_unique<RecordingRenderer>();
        RecordingRenderer staying;
        std::shared_ptr<Log> leavingLog = leaving->log;
        std::vector<TexturePtr> sheets;
        for (int i = 0; i < 64; ++i)
        {
            sheets.push_back(makeTexture());
            leaving->bindTexture(sheets.back());
            staying.bindTexture(sheets.back());
        }
        std::thread freeing([&] {
            for (TexturePtr& sheet : sheets)
                sheet.reset();
        });
        leaving.reset();
        freeing.join();
        staying.releasePendingBindings();
        EXPECT_EQ(0, staying.live);
        const auto released = std::count_if(leavingLog->begin(), leavingLog->end(),
                                            [](const std::string& l) { return l.rfind("releaseTexture", 0) == 0; });
        EXPECT_EQ(64, released)
            << "round " << round;
    }
}
