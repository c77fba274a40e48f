#include "Tovrane/AlphaState.h"
#include "Tovrane/Camera.h"
#include "Tovrane/MaterialState.h"

#include <gtest/gtest.h>

using namespace Tovrane;

TEST(RenderState, AlphaStateStartsWithBlendingAndTestingOff)
{
    AlphaStatePtr alpha(new AlphaState);
    EXPECT_FALSE(alpha->blendEnabled);
    EXPECT_EQ(BlendFactor::SourceAlpha, alpha->getSourceBlend());
    EXPECT_EQ(BlendFactor::InverseSourceAlpha, alpha->getDestinationBlend());
    EXPECT_EQ(BlendFunction::Add, alpha->getBlendFunction());
    EXPECT_EQ(ColorRGBA<tFixed>(tFixed(0), tFixed(0), tFixed(0), tFixed(1)), alpha->constantColor);
    EXPECT_FALSE(alpha->testEnabled);
    EXPECT_EQ(TestFunction::Always, alpha->testFunction);
    EXPECT_EQ(0, alpha->reference.getRaw());
}

TEST(RenderState, MaterialDefaultsAreTheFixedPointValues)
{
    MaterialStatePtr material(new MaterialState);
    const tFixed one = tFixed::fromRaw(0x10000);
    EXPECT_EQ(ColorRGBA<tFixed>(tFixed(0), tFixed(0), tFixed(0), one), material->emissive);
    EXPECT_EQ(ColorRGBA<tFixed>(tFixed::fromRaw(13107), tFixed::fromRaw(13107), tFixed::fromRaw(13107), one),
              material->ambient);
    EXPECT_EQ(ColorRGBA<tFixed>(tFixed::fromRaw(52428), tFixed::fromRaw(52428), tFixed::fromRaw(52428), one),
              material->diffuse);
    EXPECT_EQ(ColorRGBA<tFixed>(tFixed(0), tFixed(0), tFixed(0), one), material->specular);
    EXPECT_EQ(one, material->shininess);
}

TEST(RenderState, TypesNameTheirClassesAndDeriveFromTheCommonBase)
{
    AlphaStatePtr alpha(new AlphaState);
    MaterialStatePtr material(new MaterialState);
    CameraPtr camera(new Camera);
    EXPECT_EQ("Tovrane.AlphaState", alpha->getType().getName());
    EXPECT_EQ("Tovrane.MaterialState", material->getType().getName());
    EXPECT_EQ("Tovrane.GraphicsState", GraphicsState::RuntimeType.getName());
    EXPECT_TRUE(alpha->getType().isDerived(GraphicsState::RuntimeType));
    EXPECT_TRUE(material->getType().isDerived(GraphicsState::RuntimeType));
    EXPECT_EQ("Tovrane.Camera", camera->getType().getName());
    EXPECT_EQ(alpha, alpha->getSharedPointer());
    EXPECT_EQ(camera, camera->getSharedPointer());
}

TEST(Camera, StartsWithTheWholeScreenAndAnEmptyVolume)
{
    Camera camera;
    tFixed l, r, t, b, n, f;
    camera.getViewport(l, r, t, b);
    EXPECT_EQ(0, l.getRaw());
    EXPECT_EQ(0x10000, r.getRaw());
    EXPECT_EQ(0x10000, t.getRaw());
    EXPECT_EQ(0, b.getRaw());
    camera.getFrustum(l, r, t, b, n, f);
    for (tFixed v : {l, r, t, b, n, f})
        EXPECT_EQ(0, v.getRaw());
    EXPECT_FALSE(camera.isPerspective());
}

TEST(Camera, KeepsValuesInTheirParameterOrder)
{
    Camera camera;
    camera.setViewport(tFixed(0.25f), tFixed(0.75f), tFixed(0.5f), tFixed(0.125f));
    camera.setFrustum(tFixed(1), tFixed(2), tFixed(3), tFixed(4), tFixed(-10), tFixed(5));
    camera.setPerspective(true);
    tFixed l, r, t, b, n, f;
    camera.getViewport(l, r, t, b);
    EXPECT_EQ(tFixed(0.25f), l);
    EXPECT_EQ(tFixed(0.75f), r);
    EXPECT_EQ(tFixed(0.5f), t);
    EXPECT_EQ(tFixed(0.125f), b);
    camera.getFrustum(l, r, t, b, n, f);
    EXPECT_EQ(tFixed(1), l);
    EXPECT_EQ(tFixed(2), r);
    EXPECT_EQ(tFixed(3), t);
    EXPECT_EQ(tFixed(4), b);
    EXPECT_EQ(tFixed(-10), n);
    EXPECT_EQ(tFixed(5), f);
    EXPECT_TRUE(camera.isPerspective());
}
