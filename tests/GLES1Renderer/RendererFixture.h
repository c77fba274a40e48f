#ifndef TESTS_GLES1RENDERER_RENDERERFIXTURE_H
#define TESTS_GLES1RENDERER_RENDERERFIXTURE_H

#include "KelmOpenGLConfig.h"
#include "support/Golden.h"
#include "Tovrane/AlphaState.h"
#include "Tovrane/Camera.h"
#include "Tovrane/GLES1Renderer.h"
#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/Node.h"
#include "Tovrane/Plane.h"
#include "Tovrane/Texture.h"

#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

typedef Tovrane::ColorRGBA<unsigned char> Rgba;

namespace Tovrane
{
// Readable colours in failure messages.
inline void PrintTo(const ColorRGBA<unsigned char>& c, std::ostream* out)
{
    *out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}
}

// A renderer set up as every game state sets up its own: the whole screen as
// viewport, an orthographic volume of 320 x 240 units with y upwards, depth
// test always passing, blending One / InverseSourceAlpha and the alpha test
// dropping alpha 0. Frames are drawn into the headless pbuffer and read back.
class RendererFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        renderer.reset(new Tovrane::GLES1Renderer);
        camera = gameCamera();
        renderer->setCamera(camera);
        alpha.reset(new Tovrane::AlphaState);
        alpha->blendEnabled = true;
        alpha->sourceBlend = Tovrane::BlendFactor::One;
        alpha->destinationBlend = Tovrane::BlendFactor::InverseSourceAlpha;
        alpha->testEnabled = true;
        alpha->testFunction = Tovrane::TestFunction::Greater;
        alpha->reference = tFixed(0);
        renderer->setAlphaState(alpha);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_ALWAYS);
        root.reset(new Tovrane::Node);
    }

    void TearDown() override
    {
        root.reset();
        renderer.reset();
    }

    static Tovrane::CameraPtr gameCamera()
    {
        Tovrane::CameraPtr c(new Tovrane::Camera);
        c->setViewport(tFixed(0), tFixed(1), tFixed(1), tFixed(0));
        c->setFrustum(tFixed(0), tFixed(320), tFixed(240), tFixed(0), tFixed(-10), tFixed(1));
        c->setPerspective(false);
        return c;
    }

    // A quad covering world x left..right, y bottom..top (whole units), the
    // texture's first row at the top.
    static Tovrane::PlanePtr quad(int left, int right, int bottom, int top)
    {
        return Tovrane::PlanePtr(new Tovrane::Plane(tFixed(left), tFixed(right), tFixed(bottom), tFixed(top),
                                                    tFixed(0), tFixed(1), tFixed(0), tFixed(1), 2, 2));
    }

    static Tovrane::TexturePtr solid(int w, int h, const Rgba& colour,
                                     Tovrane::PixelFormat::Type format = Tovrane::PixelFormat::RGBA8888)
    {
        Tovrane::TexturePtr texture(new Tovrane::Texture(w, h, format, true, 0));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                texture->setPixel(colour, x, y);
        return texture;
    }

    // Clears to the colour, updates the scene to `appTime`, draws the root's
    // visible set and reads the frame back.
    void frame(float r = 0, float g = 0, float b = 0, float a = 1, unsigned int appTime = 0)
    {
        glClearColor(r, g, b, a);
        renderer->clearBuffers(0, 0, 320, 240);
        root->update(appTime);
        culler.computeVisible(root);
        renderer->drawScene(culler);
        renderer->swapBuffers();
        pixels = Vantorel::Kelm::KelmOpenGLConfig::readFrame();
    }

    // The pixel at screen column x and world row y (y upwards from the bottom).
    Rgba at(int x, int y) const
    {
        const size_t i = (static_cast<size_t>(239 - y) * 320 + static_cast<size_t>(x)) * 4;
        return Rgba(pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]);
    }

    struct Probe
    {
        int x, y;
        Rgba colour;
    };
    // Checks pixels of the last frame read back.
    void expectPixels(std::initializer_list<Probe> probes) const
    {
        for (const Probe& p : probes)
            EXPECT_EQ(p.colour, at(p.x, p.y)) << "at " << p.x << ", " << p.y;
    }

    // Compares the last frame with the reviewed picture `path` (a PNG under
    // tests/data/).
    void expectFrameGolden(const std::string& path) const { TestSupport::expectFrameGolden(pixels, path); }

    std::unique_ptr<Tovrane::GLES1Renderer> renderer;
    Tovrane::CameraPtr camera;
    Tovrane::AlphaStatePtr alpha;
    Tovrane::NodePtr root;
    Tovrane::GraphicsCuller culler;
    std::vector<std::uint8_t> pixels;
};

#endif
