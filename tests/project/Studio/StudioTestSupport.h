#ifndef TESTS_PROJECT_STUDIOTESTSUPPORT_H
#define TESTS_PROJECT_STUDIOTESTSUPPORT_H

// Studios built without their interface on the generated test title, with a
// data root of the test program's own, drawn through the real renderer.

#include "GLES1Renderer/RendererFixture.h"
#include "project/Drawing/DrawingTestSupport.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/Studio.h"

#include "CSystemData.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace StudioTest
{
using DrawingTest::Colour;
typedef Tovrane::ColorRGBA<unsigned char> Rgba8;

// The generated title and a data root of this process, removed at exit.
struct Root
{
    Root()
    {
        char name[] = "/tmp/tovrane-studio-XXXXXX";
        if (!::mkdtemp(name))
            return;
        CSystemData::Config config;
        config.titlePath = std::string(TOVRANE_BINARY_DIR) + "/title/";
        config.dataRoot = std::string(name) + "/data/";
        if (CSystemData::Configure(config))
            path = name;
        else
            std::filesystem::remove_all(name);
    }
    ~Root()
    {
        if (!path.empty())
            std::filesystem::remove_all(path);
    }
    std::string path;
};

inline const Root& dataRoot()
{
    static Root r;
    return r;
}

// The player's picture folder.
inline std::string photos()
{
    return std::filesystem::path(Tovrane::ScrivletPlayer::getCurrentPlayerData()->toImagePath(0)).parent_path().string() +
           "/";
}

// One touch sample in screen pixels (y down), state 0 for a lift.
struct Touch
{
    int x, y, state;
};

class StudioFixture : public RendererFixture
{
protected:
    void SetUp() override
    {
        if (dataRoot().path.empty())
            GTEST_SKIP() << "the system data was configured by another test";
        if (!std::filesystem::exists(std::string(TOVRANE_BINARY_DIR) + "/title/images/studio/patterns/pattern_00.png"))
            GTEST_SKIP() << "no generated title";
        RendererFixture::SetUp();
        // Every test starts without saved pictures.
        std::filesystem::remove_all(photos());
        std::filesystem::create_directories(photos());
    }

    // A studio as the free-drawing screen keeps it: three undo steps a frame.
    Tovrane::StudioPtr make(int w, int h, Tovrane::StudioMode::Type mode = Tovrane::StudioMode::Art)
    {
        if (studio)
            root->removeChild(studio->root);
        studio.reset(new Tovrane::Studio(w, h, false, false));
        if (mode != Tovrane::StudioMode::Art)
            studio->setMode(mode);
        studio->setUndoStackSize(3);
        root->addChild(studio->root);
        return studio;
    }

    void touch(std::initializer_list<Touch> script)
    {
        for (const Touch& t : script)
            studio->handleTouchEvent(t.x, t.y, t.state);
    }
    // A short horizontal stroke on the current frame.
    void stroke(int x, int y) { touch({{x, y, 1}, {x + 20, y, 1}, {x + 20, y, 0}}); }

    Colour pixel(int x, int y) const { return studio->canvas->getLayer()->getPixel(x, y); }
    Colour pixel(int frame, int x, int y) const { return studio->getFrame(frame)->getLayer()->getPixel(x, y); }

    // The last frame drawn, compared with a reviewed PNG in tests/data/studio/.
    void expectScreenGolden(const std::string& name)
    {
        frame(1, 1, 1, 1);
        Tovrane::TexturePtr shot(new Tovrane::Texture(320, 240, Tovrane::PixelFormat::RGBA8888));
        std::copy(pixels.begin(), pixels.end(), shot->getPixels());
        DrawingTest::expectGolden(shot, name, "studio");
    }

    Tovrane::StudioPtr studio;
};
}

#endif
