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
const Rgba kRed(255, 0, 0, 255), kGreen(0, 255, 0, 255), kBlue(0, 0, 255, 255);
const Rgba kWhite(255, 255, 255, 255), kBlack(0, 0, 0, 255);

Vector3<tFixed> at3(float x, float y, float z) { return Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(z)); }

std::vector<GLint> integers(GLenum what, int count)
{
    std::vector<GLint> values(count);
    glGetIntegerv(what, values.data());
    return values;
}
}

typedef RendererFixture Draw;

TEST_F(Draw, ClearFillsTheScreenAndAScissoredClearOnlyItsRectangle)
{
    frame(1, 0, 0);
    expectPixels({{0, 0, kRed}, {319, 239, kRed}, {160, 120, kRed}});
    glClearColor(0, 1, 0, 1);
    renderer->clearBuffers(10, 20, 30, 40);
    pixels = Vantorel::Kelm::KelmOpenGLConfig::readFrame();
    expectPixels({{10, 20, kGreen}, {39, 59, kGreen}, {9, 20, kRed}, {40, 20, kRed}, {10, 19, kRed}, {10, 60, kRed}});
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(Draw, OrthographicCameraPutsTheWorldOriginBottomLeft)
{
    root->addChild(quad(0, 10, 0, 10));
    root->addChild(quad(310, 320, 230, 240));
    frame();
    expectPixels({{0, 0, kWhite}, {9, 9, kWhite}, {10, 10, kBlack}, {319, 239, kWhite}, {310, 230, kWhite},
                  {309, 229, kBlack}});
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const float expected[][2] = {{0, 2.0f / 320}, {5, 2.0f / 240}, {10, -2.0f / 11}, {12, -1}, {13, -1}, {14, 9.0f / 11}};
    for (const auto& e : expected)
        EXPECT_NEAR(e[1], projection[int(e[0])], 1e-4) << "element " << e[0];

    // A perspective camera uses a frustum.
    camera->setFrustum(tFixed(-1), tFixed(1), tFixed(1), tFixed(-1), tFixed(1), tFixed(10));
    camera->setPerspective(true);
    renderer->setCamera(camera);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(1.0f, projection[0], 1e-4);
    EXPECT_NEAR(-1.0f, projection[11], 1e-4);
    EXPECT_NEAR(0.0f, projection[15], 1e-4);
}

TEST_F(Draw, ViewportAndFrustumAreReadWhenTheCameraIsSet)
{
    EXPECT_EQ((std::vector<GLint>{0, 0, 320, 240}), integers(GL_VIEWPORT, 4));
    // The upper-right quarter: the whole volume is squeezed into it.
    camera->setViewport(tFixed(0.5f), tFixed(1), tFixed(1), tFixed(0.5f));
    renderer->setCamera(camera);
    EXPECT_EQ((std::vector<GLint>{160, 120, 160, 120}), integers(GL_VIEWPORT, 4));
    EXPECT_EQ((std::vector<GLint>{160, 120}), integers(GL_SCISSOR_BOX, 2));
    root->addChild(quad(0, 320, 0, 240));
    frame();
    expectPixels({{160, 120, kWhite}, {319, 239, kWhite}, {159, 239, kBlack}, {319, 119, kBlack}});

    // Without a camera, the whole screen.
    renderer->setCamera(CameraPtr());
    renderer->onViewportChange();
    EXPECT_EQ((std::vector<GLint>{0, 0, 320, 240}), integers(GL_VIEWPORT, 4));

    // A changed frustum shows only once the camera is set again.
    root->removeAllChildren();
    root->addChild(quad(0, 10, 0, 10));
    camera = gameCamera();
    renderer->setCamera(camera);
    camera->setFrustum(tFixed(0), tFixed(160), tFixed(120), tFixed(0), tFixed(-10), tFixed(1));
    frame();
    expectPixels({{9, 9, kWhite}, {15, 15, kBlack}});
    renderer->setCamera(camera);
    frame();
    expectPixels({{15, 15, kWhite}, {25, 25, kBlack}});
}

TEST_F(Draw, TexturedPlaneShowsTheFirstRowAtTheTopAndFollowsItsWorldTransform)
{
    TexturePtr texture(new Texture(2, 2, PixelFormat::RGBA8888, true, 0));
    texture->setPixel(kRed, 0, 0);
    texture->setPixel(kGreen, 1, 0);
    texture->setPixel(kBlue, 0, 1);
    texture->setPixel(kWhite, 1, 1);
    PlanePtr plane = quad(100, 102, 50, 52);
    plane->setTexture(texture, 0);
    root->addChild(plane);
    PlanePtr moved(new Plane(tFixed(8), 2)); // -8 .. 8 about its origin
    moved->setTexture(solid(4, 4, kGreen), 0);
    moved->setPosition(at3(200, 100, 0));
    root->addChild(moved);
    frame();
    expectPixels({{100, 51, kRed}, {101, 51, kGreen}, {100, 50, kBlue}, {101, 50, kWhite}, {102, 51, kBlack},
                  {99, 50, kBlack}, {192, 92, kGreen}, {207, 107, kGreen}, {191, 100, kBlack}, {208, 100, kBlack}});
    // The model-view matrix is back to the identity between geometries.
    std::vector<GLfloat> modelView(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    EXPECT_EQ((std::vector<GLfloat>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}), modelView);
}

TEST_F(Draw, OddWidthRgb888TextureIsNotSkewedAndSixteenBitFormatsUploadWithTheirPackedTypes)
{
    const int w = 5, h = 3;
    auto colour = [](int x, int y) {
        return Rgba(static_cast<unsigned char>(40 * x + 10), static_cast<unsigned char>(80 * y + 5), 77, 255);
    };
    TexturePtr texture(new Texture(w, h, PixelFormat::RGB888, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            texture->setPixel(colour(x, y), x, y);
    PlanePtr plane = quad(20, 20 + w, 30, 30 + h);
    plane->setTexture(texture, 0);
    root->addChild(plane);
    frame();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(colour(x, y), at(20 + x, 30 + h - 1 - y)) << "texture pixel " << x << ", " << y;

    const PixelFormat::Type formats[] = {PixelFormat::RGB565, PixelFormat::RGBA4444, PixelFormat::RGBA5551};
    for (int i = 0; i < 3; ++i)
    {
        PlanePtr plane = quad(10 * i, 10 * i + 3, 0, 3);
        plane->setTexture(solid(3, 3, kRed, formats[i]), 0);
        root->addChild(plane);
    }
    frame();
    for (int i = 0; i < 3; ++i)
    {
        const Rgba seen = at(10 * i + 1, 1);
        EXPECT_GE(seen.r, 240) << "format " << formats[i];
        EXPECT_EQ(0, seen.g + seen.b) << "format " << formats[i];
    }
}

TEST_F(Draw, AlphaTestDropsAlphaZeroAndBlendingAddsOverTheScaledBackground)
{
    // Red with alpha 0: additive blending would show it if the test let it through.
    PlanePtr dropped = quad(0, 4, 0, 4), blended = quad(10, 14, 0, 4);
    dropped->setTexture(solid(4, 4, Rgba(255, 0, 0, 0)), 0);
    blended->setTexture(solid(4, 4, Rgba(100, 0, 0, 128)), 0);
    root->addChild(dropped);
    root->addChild(blended);
    frame(0, 0, 1);
    EXPECT_EQ(kBlue, at(1, 1));
    EXPECT_EQ(100, at(11, 1).r);
    EXPECT_EQ(0, at(11, 1).g);
    EXPECT_NEAR(127, at(11, 1).b, 1);
    GLint value = 0;
    for (const auto& state : {std::make_pair(GL_BLEND_SRC, GL_ONE), std::make_pair(GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA),
                              std::make_pair(GL_ALPHA_TEST_FUNC, GL_GREATER)})
    {
        glGetIntegerv(state.first, &value);
        EXPECT_EQ(state.second, value);
    }

    alpha->testEnabled = false;
    renderer->setAlphaState(alpha);
    frame(0, 0, 1);
    EXPECT_EQ(Rgba(255, 0, 255, 255), at(1, 1));

    // The default state switches blending and testing off: the source is written as it is.
    renderer->setAlphaState(AlphaStatePtr(new AlphaState));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    frame(0, 0, 1);
    EXPECT_EQ(Rgba(255, 0, 0, 0), at(1, 1));
}

TEST_F(Draw, LargerZIsBlendedOnTopWhateverTheTreeOrder)
{
    // Half-transparent red and green overlap; the one with the larger z is drawn last.
    PlanePtr red = quad(0, 8, 0, 8), green = quad(4, 12, 0, 8);
    red->setTexture(solid(2, 2, Rgba(128, 0, 0, 128)), 0);
    green->setTexture(solid(2, 2, Rgba(0, 128, 0, 128)), 0);
    red->setPosition(at3(0, 0, 2));
    green->setPosition(at3(0, 0, 1));
    root->addChild(red);
    root->addChild(green);
    frame();
    EXPECT_EQ(128, at(6, 4).r);
    EXPECT_NEAR(64, at(6, 4).g, 1);
    red->setPosition(at3(0, 0, -1));
    frame();
    EXPECT_NEAR(64, at(6, 4).r, 1);
    EXPECT_EQ(128, at(6, 4).g);
}

TEST_F(Draw, LinesAndGeometryWithoutIndexBufferAreDrawnInVertexOrder)
{
    root->addChild(LinePtr(new Line(at3(10.5f, 100.5f, 0), at3(300.5f, 100.5f, 0),
                                    ColorRGBA<tFixed>(tFixed(1), tFixed(0), tFixed(0), tFixed(1)))));
    // An untextured plane without colours drawn after the line comes out white.
    PlanePtr after = quad(0, 4, 0, 4);
    after->setPosition(at3(0, 0, 1));
    root->addChild(after);
    frame();
    expectPixels({{11, 100, kRed}, {50, 100, kRed}, {150, 100, kRed}, {299, 100, kRed}, {150, 101, kBlack},
                  {150, 99, kBlack}, {305, 100, kBlack}, {1, 1, kWhite}});
    std::vector<GLfloat> colour(4);
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ((std::vector<GLfloat>{1, 1, 1, 1}), colour);

    VertexAttributes attributes;
    attributes.positions = 1;
    VertexBufferPtr vertices(new VertexBuffer(attributes, 3));
    const int corners[] = {50, 50, 0, 90, 50, 0, 50, 90, 0};
    for (int i = 0; i < 9; ++i)
        vertices->getPositions()[i] = tFixed(corners[i]);
    root->addChild(TriangleMeshPtr(new TriangleMesh(vertices, IndexBufferPtr())));
    frame();
    expectPixels({{52, 52, kWhite}, {85, 85, kBlack}});
}

TEST_F(Draw, TextureUnitsAreSampledIndependently)
{
    // Only in unit 1, sampled with its coordinates.
    TexturePtr texture(new Texture(2, 1, PixelFormat::RGBA8888, true, 0));
    texture->setPixel(kRed, 0, 0);
    texture->setPixel(kGreen, 1, 0);
    PlanePtr plane = quad(0, 2, 0, 1);
    plane->setTexture(texture, 1);
    root->addChild(plane);
    // Both units modulate: yellow x cyan is green; cyan x cyan would mean the
    // first upload into unit 1 replaced unit 0's texture.
    PlanePtr both = quad(10, 12, 0, 2);
    both->setTexture(solid(1, 1, Rgba(255, 255, 0, 255)), 0);
    both->setTexture(solid(1, 1, Rgba(0, 255, 255, 255)), 1);
    root->addChild(both);
    frame();
    expectPixels({{0, 0, kRed}, {1, 0, kGreen}, {11, 1, kGreen}});
    // Uploading left no unit switched on.
    for (int unit : {0, 1})
    {
        renderer->setActiveTextureUnit(unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << unit;
    }
}

TEST_F(Draw, MaterialIsSetForBothFaces)
{
    MaterialStatePtr material(new MaterialState);
    material->diffuse = ColorRGBA<tFixed>(tFixed(0.5f), tFixed(0.25f), tFixed(1), tFixed(1));
    material->shininess = tFixed(3);
    renderer->setMaterialState(material);
    GLfixed values[4];
    glGetMaterialxv(GL_BACK, GL_DIFFUSE, values);
    EXPECT_EQ((std::vector<GLfixed>{0x8000, 0x4000, 0x10000}), std::vector<GLfixed>(values, values + 3));
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
