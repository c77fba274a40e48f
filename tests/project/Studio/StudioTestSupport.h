#ifndef TESTS_PROJECT_STUDIOTESTSUPPORT_H
#define TESTS_PROJECT_STUDIOTESTSUPPORT_H

// Studios without their interface on the generated title, with a data root of
// the test program's own (removed at exit), drawn through the real renderer.
#include "GLES1Renderer/RendererFixture.h"
#include "project/Drawing/DrawingTestSupport.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/Studio.h"

#include "CSystemData.h"

#include <filesystem>

namespace StudioTest
{
using namespace Tovrane;
using DrawingTest::Black;
using DrawingTest::Clear;
using DrawingTest::Colour;
using DrawingTest::White;

// The generated title and a data root of this process, removed at exit.
struct Root
{
    Root() : path(::mkdtemp(name) ? name : "")
    {
        CSystemData::Config config;
        config.titlePath = std::string(TOVRANE_BINARY_DIR) + "/title/";
        config.dataRoot = path + "/data/";
        if (!path.empty() && !CSystemData::Configure(config))
            std::filesystem::remove_all(path), path.clear();
    }
    ~Root() { path.empty() || std::filesystem::remove_all(path); }
    char name[32] = "/tmp/tovrane-studio-XXXXXX";
    std::string path;
};

// One per process: the system paths are configured once.
inline const Root& scratchRoot()
{
    static Root r;
    return r;
}

inline ScrivletPlayer& player() { return *ScrivletPlayer::getCurrentPlayerData(); }

struct Touch
{
    int x, y, state; // screen pixels, y down; state 0 lifts
};

class StudioFixture : public RendererFixture
{
protected:
    void SetUp() override
    {
        if (scratchRoot().path.empty() || !std::filesystem::exists(std::string(TOVRANE_BINARY_DIR) + "/title/images/studio"))
            GTEST_SKIP() << "no data root of this program's own, or no generated title";
        RendererFixture::SetUp();
        const std::filesystem::path photos = std::filesystem::path(player().toImagePath(0)).parent_path();
        std::filesystem::remove_all(photos); // no saved pictures
        std::filesystem::create_directories(photos);
    }

    // As the free-drawing screen keeps it: three undo steps a frame.
    StudioPtr make(int w, int h, StudioMode::Type mode = StudioMode::Art)
    {
        if (studio)
            root->removeChild(studio->root);
        studio.reset(new Studio(w, h, false, false));
        if (mode != StudioMode::Art)
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
    void stroke(int x, int y) { touch({{x, y, 1}, {x + 20, y, 1}, {x + 20, y, 0}}); }
    Colour pixel(int x, int y) const { return studio->canvas->getLayer()->getPixel(x, y); }
    Colour pixel(int frame, int x, int y) const { return studio->getFrame(frame)->getLayer()->getPixel(x, y); }

    // The screen cleared to white as the game does, against tests/data/studio/NAME.png.
    void expectScreenGolden(const std::string& name)
    {
        frame(1, 1, 1, 1);
        TexturePtr shot(new Texture(320, 240, PixelFormat::RGBA8888));
        std::copy(pixels.begin(), pixels.end(), shot->getPixels());
        DrawingTest::expectGolden(shot, name, "studio");
    }

    StudioPtr studio;
};
}

#endif
