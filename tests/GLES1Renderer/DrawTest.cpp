// Frames drawn through the OpenGL ES 1 renderer into the headless pbuffer and
// checked pixel by pixel.
#include "RendererFixture.h"

#include "Tovrane/IndexBuffer.h"
#include "Tovrane/Line.h"
#include "Tovrane/TriangleMesh.h"
#include "Tovrane/VertexBuffer.h"

#include <sstream>

using namespace Tovrane;

namespace
{
const Rgba kRed(255, 0, 0, 255);
const Rgba kGreen(0, 255, 0, 255);
const Rgba kBlue(0, 0, 255, 255);
const Rgba kWhite(255, 255, 255, 255);
const Rgba kBlack(0, 0, 0, 255);
}

typedef RendererFixture Draw;

TEST_F(Draw, ClearFillsTheScreenAndAScissoredClearOnlyItsRectangle)
{
    frame(1, 0, 0);
    EXPECT_EQ(kRed, at(0, 0));
    EXPECT_EQ(kRed, at(319, 239));
    EXPECT_EQ(kRed, at(160, 120));

    glClearColor(0, 1, 0, 1);
    renderer->clearBuffers(10, 20, 30, 40);
    pixels = Vantorel::Kelm::KelmOpenGLConfig::readFrame();
    EXPECT_EQ(kGreen, at(10, 20));
    EXPECT_EQ(kGreen, at(39, 59));
    EXPECT_EQ(kRed, at(9, 20));
    EXPECT_EQ(kRed, at(40, 20));
    EXPECT_EQ(kRed, at(10, 19));
    EXPECT_EQ(kRed, at(10, 60));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(Draw, OrthographicCameraPutsTheWorldOriginBottomLeft)
{
    root->addChild(quad(0, 10, 0, 10));
    PlanePtr topRight = quad(310, 320, 230, 240);
    root->addChild(topRight);
    frame();
    EXPECT_EQ(kWhite, at(0, 0));
    EXPECT_EQ(kWhite, at(9, 9));
    EXPECT_EQ(kBlack, at(10, 10));
    EXPECT_EQ(kWhite, at(319, 239));
    EXPECT_EQ(kWhite, at(310, 230));
    EXPECT_EQ(kBlack, at(309, 229));

    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(2.0f / 320, projection[0], 1e-4);
    EXPECT_NEAR(2.0f / 240, projection[5], 1e-4);
    EXPECT_NEAR(-2.0f / 11, projection[10], 1e-4);
    EXPECT_NEAR(-1.0f, projection[12], 1e-4);
    EXPECT_NEAR(-1.0f, projection[13], 1e-4);
    EXPECT_NEAR(9.0f / 11, projection[14], 1e-4);
}

TEST_F(Draw, ViewportIsAFractionOfTheScreen)
{
    GLint box[4];
    glGetIntegerv(GL_VIEWPORT, box);
    EXPECT_EQ(0, box[0]);
    EXPECT_EQ(0, box[1]);
    EXPECT_EQ(320, box[2]);
    EXPECT_EQ(240, box[3]);

    // The upper-right quarter: the whole volume is squeezed into it.
    camera->setViewport(tFixed(0.5f), tFixed(1), tFixed(1), tFixed(0.5f));
    renderer->setCamera(camera);
    glGetIntegerv(GL_VIEWPORT, box);
    EXPECT_EQ(160, box[0]);
    EXPECT_EQ(120, box[1]);
    EXPECT_EQ(160, box[2]);
    EXPECT_EQ(120, box[3]);
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(160, box[0]);
    EXPECT_EQ(120, box[1]);

    root->addChild(quad(0, 320, 0, 240));
    frame();
    EXPECT_EQ(kWhite, at(160, 120));
    EXPECT_EQ(kWhite, at(319, 239));
    EXPECT_EQ(kBlack, at(159, 239));
    EXPECT_EQ(kBlack, at(319, 119));
}

TEST_F(Draw, NoCameraMeansTheWholeScreen)
{
    camera->setViewport(tFixed(0.5f), tFixed(1), tFixed(1), tFixed(0.5f));
    renderer->setCamera(camera);
    renderer->setCamera(CameraPtr());
    renderer->onViewportChange();
    GLint box[4];
    glGetIntegerv(GL_VIEWPORT, box);
    EXPECT_EQ(0, box[0]);
    EXPECT_EQ(320, box[2]);
    EXPECT_EQ(240, box[3]);
}

TEST_F(Draw, ChangedFrustumShowsOnlyAfterSetCamera)
{
    root->addChild(quad(0, 10, 0, 10));
    camera->setFrustum(tFixed(0), tFixed(160), tFixed(120), tFixed(0), tFixed(-10), tFixed(1));
    frame();
    EXPECT_EQ(kWhite, at(9, 9));
    EXPECT_EQ(kBlack, at(15, 15));
    renderer->setCamera(camera);
    frame();
    EXPECT_EQ(kWhite, at(15, 15));
    EXPECT_EQ(kBlack, at(25, 25));
}

TEST_F(Draw, PerspectiveCameraUsesAFrustum)
{
    camera->setFrustum(tFixed(-1), tFixed(1), tFixed(1), tFixed(-1), tFixed(1), tFixed(10));
    camera->setPerspective(true);
    renderer->setCamera(camera);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(-1.0f, projection[11], 1e-4);
    EXPECT_NEAR(0.0f, projection[15], 1e-4);
    EXPECT_NEAR(1.0f, projection[0], 1e-4);
}

TEST_F(Draw, TexturedPlaneShowsTheFirstRowAtTheTop)
{
    TexturePtr texture(new Texture(2, 2, PixelFormat::RGBA8888, true, 0));
    texture->setPixel(kRed, 0, 0);
    texture->setPixel(kGreen, 1, 0);
    texture->setPixel(kBlue, 0, 1);
    texture->setPixel(kWhite, 1, 1);
    PlanePtr plane = quad(100, 102, 50, 52);
    plane->setTexture(texture, 0);
    root->addChild(plane);
    frame();
    EXPECT_EQ(kRed, at(100, 51));
    EXPECT_EQ(kGreen, at(101, 51));
    EXPECT_EQ(kBlue, at(100, 50));
    EXPECT_EQ(kWhite, at(101, 50));
    EXPECT_EQ(kBlack, at(102, 51));
    EXPECT_EQ(kBlack, at(99, 50));
}

TEST_F(Draw, PositionedPlaneFollowsItsWorldTransform)
{
    PlanePtr plane(new Plane(tFixed(8), 2)); // -8 .. 8 about its origin
    plane->setTexture(solid(4, 4, kGreen), 0);
    plane->setPosition(Vector3<tFixed>(tFixed(200), tFixed(100), tFixed(0)));
    root->addChild(plane);
    frame();
    EXPECT_EQ(kGreen, at(192, 92));
    EXPECT_EQ(kGreen, at(207, 107));
    EXPECT_EQ(kBlack, at(191, 100));
    EXPECT_EQ(kBlack, at(208, 100));
    // The model-view matrix is back to the identity between geometries.
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_EQ(0.0f, modelView[12]);
    EXPECT_EQ(1.0f, modelView[0]);
}

TEST_F(Draw, OddWidthRgb888TextureIsNotSkewed)
{
    const int w = 5, h = 3;
    TexturePtr texture(new Texture(w, h, PixelFormat::RGB888, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            texture->setPixel(Rgba(static_cast<unsigned char>(40 * x + 10), static_cast<unsigned char>(80 * y + 5), 77, 255), x, y);
    PlanePtr plane = quad(20, 20 + w, 30, 30 + h);
    plane->setTexture(texture, 0);
    root->addChild(plane);
    frame();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(Rgba(static_cast<unsigned char>(40 * x + 10), static_cast<unsigned char>(80 * y + 5), 77, 255),
                      at(20 + x, 30 + h - 1 - y))
                << "texture pixel " << x << ", " << y;
}

TEST_F(Draw, SixteenBitFormatsUploadWithTheirPackedTypes)
{
    const PixelFormat::Type formats[] = {PixelFormat::RGB565, PixelFormat::RGBA4444, PixelFormat::RGBA5551};
    int x = 0;
    for (PixelFormat::Type format : formats)
    {
        PlanePtr plane = quad(x, x + 3, 0, 3);
        plane->setTexture(solid(3, 3, kRed, format), 0);
        root->addChild(plane);
        x += 10;
    }
    frame();
    for (int i = 0; i < 3; ++i)
    {
        const Rgba seen = at(10 * i + 1, 1);
        EXPECT_GE(seen.r, 240) << "format " << i;
        EXPECT_EQ(0, seen.g) << "format " << i;
        EXPECT_EQ(0, seen.b) << "format " << i;
    }
}

TEST_F(Draw, AlphaTestDropsFullyTransparentPixels)
{
    // Red with alpha 0: additive blending would show it if the test let it through.
    PlanePtr plane = quad(0, 4, 0, 4);
    plane->setTexture(solid(4, 4, Rgba(255, 0, 0, 0)), 0);
    root->addChild(plane);
    frame(0, 0, 1);
    EXPECT_EQ(kBlue, at(1, 1));

    alpha->testEnabled = false;
    renderer->setAlphaState(alpha);
    frame(0, 0, 1);
    EXPECT_EQ(Rgba(255, 0, 255, 255), at(1, 1));
}

TEST_F(Draw, GameBlendingAddsSourceOverScaledBackground)
{
    PlanePtr plane = quad(0, 4, 0, 4);
    plane->setTexture(solid(4, 4, Rgba(100, 0, 0, 128)), 0);
    root->addChild(plane);
    frame(0, 0, 1);
    const Rgba seen = at(1, 1);
    EXPECT_EQ(100, seen.r);
    EXPECT_EQ(0, seen.g);
    EXPECT_NEAR(127, seen.b, 1);
}

TEST_F(Draw, DefaultAlphaStateSwitchesBlendingAndTestingOff)
{
    renderer->setAlphaState(AlphaStatePtr(new AlphaState));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    PlanePtr plane = quad(0, 4, 0, 4);
    plane->setTexture(solid(4, 4, Rgba(100, 0, 0, 0)), 0);
    root->addChild(plane);
    frame(0, 0, 1);
    EXPECT_EQ(Rgba(100, 0, 0, 0), at(1, 1));

    renderer->setAlphaState(alpha);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(GL_ONE, value);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, value);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(GL_GREATER, value);
}

TEST_F(Draw, LargerZIsBlendedOnTopWhateverTheTreeOrder)
{
    // Half-transparent red and green overlap; the one with the larger z is drawn last.
    PlanePtr red = quad(0, 8, 0, 8);
    red->setTexture(solid(2, 2, Rgba(128, 0, 0, 128)), 0);
    PlanePtr green = quad(4, 12, 0, 8);
    green->setTexture(solid(2, 2, Rgba(0, 128, 0, 128)), 0);
    red->setPosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(2)));
    green->setPosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)));
    root->addChild(red);
    root->addChild(green);
    frame();
    Rgba seen = at(6, 4);
    EXPECT_EQ(128, seen.r);
    EXPECT_NEAR(64, seen.g, 1);

    red->setPosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(-1)));
    frame();
    seen = at(6, 4);
    EXPECT_NEAR(64, seen.r, 1);
    EXPECT_EQ(128, seen.g);
}

TEST_F(Draw, LineIsDrawnInItsColourAndLeavesWhiteBehind)
{
    LinePtr line(new Line(Vector3<tFixed>(tFixed(10.5f), tFixed(100.5f), tFixed(0)),
                          Vector3<tFixed>(tFixed(300.5f), tFixed(100.5f), tFixed(0)),
                          ColorRGBA<tFixed>(tFixed(1), tFixed(0), tFixed(0), tFixed(1))));
    root->addChild(line);
    // An untextured plane without colours drawn after the line comes out white.
    PlanePtr after = quad(0, 4, 0, 4);
    after->setPosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)));
    root->addChild(after);
    frame();
    for (int x : {11, 50, 150, 299})
        EXPECT_EQ(kRed, at(x, 100)) << x;
    EXPECT_EQ(kBlack, at(150, 101));
    EXPECT_EQ(kBlack, at(150, 99));
    EXPECT_EQ(kBlack, at(305, 100));
    EXPECT_EQ(kWhite, at(1, 1));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(1.0f, colour[0]);
    EXPECT_EQ(1.0f, colour[1]);
    EXPECT_EQ(1.0f, colour[3]);
}

TEST_F(Draw, GeometryWithoutIndexBufferIsDrawnInVertexOrder)
{
    VertexAttributes attributes;
    attributes.positions = 1;
    VertexBufferPtr vertices(new VertexBuffer(attributes, 3));
    tFixed* p = vertices->getPositions();
    const int corners[] = {50, 50, 0, 90, 50, 0, 50, 90, 0};
    for (int i = 0; i < 9; ++i)
        p[i] = tFixed(corners[i]);
    TriangleMeshPtr triangle(new TriangleMesh(vertices, IndexBufferPtr()));
    root->addChild(triangle);
    frame();
    EXPECT_EQ(kWhite, at(52, 52));
    EXPECT_EQ(kBlack, at(85, 85));
}

TEST_F(Draw, TextureOnlyInUnitOneIsSampledWithItsCoordinates)
{
    TexturePtr texture(new Texture(2, 1, PixelFormat::RGBA8888, true, 0));
    texture->setPixel(kRed, 0, 0);
    texture->setPixel(kGreen, 1, 0);
    PlanePtr plane = quad(0, 2, 0, 1);
    plane->setTexture(texture, 1);
    root->addChild(plane);
    frame();
    EXPECT_EQ(kRed, at(0, 0));
    EXPECT_EQ(kGreen, at(1, 0));
    // Uploading did not leave unit 0 switched on.
    renderer->setActiveTextureUnit(0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    renderer->setActiveTextureUnit(1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Draw, FirstUploadIntoUnitOneKeepsUnitZerosTexture)
{
    // Both units modulate: yellow x cyan is green; cyan x cyan would be cyan.
    PlanePtr plane = quad(0, 2, 0, 2);
    plane->setTexture(solid(1, 1, Rgba(255, 255, 0, 255)), 0);
    plane->setTexture(solid(1, 1, Rgba(0, 255, 255, 255)), 1);
    root->addChild(plane);
    frame();
    EXPECT_EQ(kGreen, at(1, 1));
}

TEST_F(Draw, EmptySceneLeavesTheClearColour)
{
    frame(0, 1, 0);
    EXPECT_EQ(kGreen, at(160, 120));
}

TEST_F(Draw, MaterialIsSetForBothFaces)
{
    MaterialStatePtr material(new MaterialState);
    material->diffuse = ColorRGBA<tFixed>(tFixed(0.5f), tFixed(0.25f), tFixed(1), tFixed(1));
    material->shininess = tFixed(3);
    renderer->setMaterialState(material);
    GLfixed values[4];
    glGetMaterialxv(GL_BACK, GL_DIFFUSE, values);
    EXPECT_EQ(0x8000, values[0]);
    EXPECT_EQ(0x4000, values[1]);
    glGetMaterialxv(GL_FRONT, GL_AMBIENT, values);
    EXPECT_NEAR(13107, values[0], 1);
    // The integer part goes over as a raw fixed value.
    glGetMaterialxv(GL_FRONT, GL_SHININESS, values);
    EXPECT_EQ(3, values[0]);
}

TEST_F(Draw, CheckForErrorsNamesEachPendingError)
{
    glGetError();
    glEnable(0x1234);
    std::ostringstream out;
    renderer->checkForErrors("glEnable", out);
    EXPECT_EQ("An error was retrieved during a call to glEnable\nGLenum argument out of range\n", out.str());
    out.str("");
    renderer->checkForErrors("nothing", out);
    EXPECT_EQ("", out.str());
}
