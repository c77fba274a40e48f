// Uploads, byte counters, the texture budget and the release of GL objects,
// through the OpenGL ES 1 renderer on the headless display.
#include "RendererFixture.h"

#include "Tovrane/IndexBuffer.h"
#include "Tovrane/VertexBuffer.h"

#include <thread>

using namespace Tovrane;

typedef RendererFixture Resources;
typedef RendererFixture ResourcesDeathTest;
typedef RendererFixture ResourcesThreadTest;

namespace
{
GLuint nameOf(const TexturePtr& texture, const GraphicsRenderer* renderer)
{
    ResourceIdentifier* id = texture->getIdentifier(renderer);
    return id ? id->name : 0;
}
}

TEST_F(Resources, ByteCountersRiseOnUploadAndFallOnReleaseButThePeaksStay)
{
    TexturePtr texture(new Texture(64, 64, PixelFormat::RGBA8888, true, 0));
    renderer->enableTexture(texture, 0);
    renderer->disableTexture(texture, 0);
    const GLuint name = nameOf(texture, renderer.get());
    EXPECT_TRUE(glIsTexture(name));
    TexturePtr rgb(new Texture(5, 3, PixelFormat::RGB888, true, 0));
    renderer->bindTexture(rgb);
    EXPECT_EQ(16384u + 45u, renderer->getAllocatedTextureBytes());
    texture.reset();
    EXPECT_EQ(45u, renderer->getAllocatedTextureBytes());
    EXPECT_EQ(16384u + 45u, renderer->getPeakTextureBytes());
    EXPECT_FALSE(glIsTexture(name));

    // Positions, texture coordinates and normals of 4 vertices; 6 indices.
    root->addChild(quad(0, 4, 0, 4));
    frame();
    EXPECT_EQ(4u * 8u * 4u + 6u * 2u, renderer->getAllocatedBufferBytes());
    root->removeAllChildren();
    EXPECT_EQ(0u, renderer->getAllocatedBufferBytes());
    EXPECT_EQ(140u, renderer->getPeakBufferBytes());
}

TEST_F(Resources, EachResourceIsUploadedOnceAndAgainOnlyAfterAChange)
{
    TexturePtr texture = solid(2, 2, Rgba(255, 0, 0, 255));
    PlanePtr plane = quad(0, 2, 0, 2);
    plane->setTexture(texture, 0);
    root->addChild(plane);
    frame();
    const GLuint name = nameOf(texture, renderer.get());
    const GLuint vertexName = plane->vertexBuffer->getIdentifier(renderer.get())->name;
    for (int i = 0; i < 3; ++i)
        frame();
    ASSERT_EQ(1u, texture->bindings.size());
    EXPECT_EQ(name, nameOf(texture, renderer.get()));
    EXPECT_EQ(vertexName, plane->vertexBuffer->getIdentifier(renderer.get())->name);
    EXPECT_EQ(16u, renderer->getAllocatedTextureBytes());
    EXPECT_EQ(Rgba(255, 0, 0, 255), at(0, 0));

    // A changed pixel drops the copy at once; the next frame uploads again.
    texture->setPixel(Rgba(0, 0, 255, 255), 0, 1);
    EXPECT_TRUE(texture->bindings.empty());
    EXPECT_EQ(0u, renderer->getAllocatedTextureBytes());
    EXPECT_FALSE(glIsTexture(name));
    frame();
    EXPECT_EQ(Rgba(0, 0, 255, 255), at(0, 0));
    EXPECT_EQ(16u, renderer->getAllocatedTextureBytes());
}

TEST_F(Resources, DestroyedRendererFreesItsCopiesOfSurvivingResources)
{
    TexturePtr texture = solid(4, 4, Rgba(1, 2, 3, 4));
    PlanePtr plane = quad(0, 4, 0, 4);
    plane->setTexture(texture, 0);
    root->addChild(plane);
    frame();
    const GLuint textureName = nameOf(texture, renderer.get());
    const GLuint bufferName = plane->vertexBuffer->getIdentifier(renderer.get())->name;
    EXPECT_TRUE(glIsTexture(textureName));
    EXPECT_TRUE(glIsBuffer(bufferName));
    // A second renderer has its own copy, and keeps it.
    std::unique_ptr<GLES1Renderer> second(new GLES1Renderer);
    second->bindTexture(texture);
    EXPECT_NE(textureName, nameOf(texture, second.get()));
    EXPECT_EQ(64u, second->getAllocatedTextureBytes());

    renderer.reset();
    ASSERT_EQ(1u, texture->bindings.size());
    EXPECT_EQ(second.get(), texture->bindings[0].renderer);
    second.reset();
    EXPECT_TRUE(texture->bindings.empty());
    EXPECT_TRUE(plane->vertexBuffer->bindings.empty());
    EXPECT_TRUE(plane->indexBuffer->bindings.empty());
    EXPECT_FALSE(glIsTexture(textureName));
    EXPECT_FALSE(glIsBuffer(bufferName));

    // The next game state's renderer draws the same resources again.
    SetUp();
    root->addChild(plane);
    frame();
    EXPECT_EQ(Rgba(1, 2, 3, 255), at(1, 1));
}

// Textures share the device's 14 MiB. One that does not fit in what is left
// is not made and its quad is not drawn; the first is said in one line, later
// ones are not, and the rest of the scene draws on. A texture left out is not
// tried again, even once memory is freed.
TEST_F(Resources, TexturesPastTheBudgetAreLeftOutWithOneLine)
{
    // 8 MiB and 6 MiB fill the budget exactly.
    TexturePtr first(new Texture(2048, 1024, PixelFormat::RGBA8888, false, 0));
    TexturePtr second(new Texture(2048, 768, PixelFormat::RGBA8888, false, 0));
    EXPECT_TRUE(renderer->bindTexture(first));
    EXPECT_TRUE(renderer->bindTexture(second));
    EXPECT_EQ(GraphicsRenderer::TextureBudget, renderer->getAllocatedTextureBytes());
    second.reset();

    const Rgba red(255, 0, 0, 255), black(0, 0, 0, 255);
    PlanePtr shown = quad(0, 4, 0, 4), large = quad(10, 14, 0, 4), larger = quad(20, 24, 0, 4);
    shown->setTexture(solid(1, 1, red), 0);
    large->setTexture(TexturePtr(new Texture(2048, 800, PixelFormat::RGBA8888, true, 255)), 0);
    larger->setTexture(TexturePtr(new Texture(4096, 1024, PixelFormat::RGBA5551, true, 255)), 0);
    for (const PlanePtr& plane : {shown, large, larger})
        root->addChild(plane);
    testing::internal::CaptureStdout();
    frame();
    frame();
    EXPECT_EQ("Out of texture memory: a texture of 2048 x 800 pixels (6553600 bytes) is not made, 8388612 of "
              "14680064 bytes being in use; it and any other that does not fit are not shown\n",
              testing::internal::GetCapturedStdout());
    expectPixels({{1, 1, red}, {11, 1, black}, {21, 1, black}});
    EXPECT_EQ(8388608u + 4u, renderer->getAllocatedTextureBytes());
    EXPECT_EQ(GraphicsRenderer::TextureBudget, renderer->getPeakTextureBytes());

    first.reset();
    testing::internal::CaptureStdout();
    frame();
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    expectPixels({{1, 1, red}, {11, 1, black}});
    EXPECT_EQ(4u, renderer->getAllocatedTextureBytes());
    EXPECT_TRUE(large->getTexture()->bindings.empty());
}

TEST_F(ResourcesDeathTest, AlphaStatesTheBackEndCannotApply)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    AlphaStatePtr inverse(new AlphaState);
    inverse->destinationBlend = BlendFactor::InverseConstantColor;
    EXPECT_DEATH(renderer->setAlphaState(inverse), "Constant color is not available");
    AlphaStatePtr function(new AlphaState);
    function->blendFunction = static_cast<BlendFunction::Type>(1);
    EXPECT_DEATH(renderer->setAlphaState(function), "Add is the only available blend function");
}

TEST_F(ResourcesThreadTest, TextureDroppedOnALoaderThreadIsFreedAtTheNextFrame)
{
    TexturePtr texture = solid(8, 8, Rgba(9, 9, 9, 255));
    TexturePtr changed = solid(8, 8, Rgba(9, 9, 9, 255));
    renderer->bindTexture(texture);
    renderer->bindTexture(changed);
    const GLuint name = nameOf(texture, renderer.get());
    const GLuint changedName = nameOf(changed, renderer.get());
    EXPECT_EQ(512u, renderer->getAllocatedTextureBytes());

    std::thread loader([&] {
        texture.reset();
        changed->setPixel(Rgba(1, 1, 1, 1), 0, 0);
    });
    loader.join();
    EXPECT_TRUE(changed->bindings.empty());
    // Nothing of GL was touched without the context.
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(512u, renderer->getAllocatedTextureBytes());

    frame();
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_FALSE(glIsTexture(changedName));
    EXPECT_EQ(0u, renderer->getAllocatedTextureBytes());
}
