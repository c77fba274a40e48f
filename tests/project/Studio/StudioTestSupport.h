#ifndef TESTS_PROJECT_STUDIOTESTSUPPORT_H
#define TESTS_PROJECT_STUDIOTESTSUPPORT_H

// The generated title as this process's own, and studios drawn on it.
#include "GLES1Renderer/RendererFixture.h"
#include "project/Drawing/DrawingTestSupport.h"
#include "support/DataRoot.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/Studio.h"

#include <filesystem>

namespace StudioTest
{
using namespace Tovrane;
using DrawingTest::Black;
using DrawingTest::Clear;
using DrawingTest::Colour;
using DrawingTest::White;
namespace fs = std::filesystem;

// The generated title copied into the scratch folder (sounds and pictures
// linked), so that only this process opens its sheets and the downloads are
// plain folders. False without a generated title.
inline bool title()
{
    static const bool ready = [] {
        const fs::path generated = fs::path(TOVRANE_BINARY_DIR) / "title";
        const fs::path own = TestSupport::scratchFolder() + "title";
        if (!fs::exists(generated / "metadata/studio.tex") || !TestSupport::useDataRoot())
            return false;
        for (const fs::directory_entry& entry : fs::directory_iterator(generated))
        {
            const fs::path to = own / entry.path().filename();
            if (to.filename() != "audio" && to.filename() != "images")
                fs::copy(entry.path(), to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
            else if (!fs::exists(to))
                fs::create_directory_symlink(entry.path(), to);
        }
        return true;
    }();
    return ready;
}
#define REQUIRE_STUDIO_TITLE()                                                                                    \
    if (!StudioTest::title())                                                                                     \
    GTEST_SKIP() << "no generated title, or the system paths were fixed elsewhere"

// Hands every firing of `event` to `f`, whose result is the listener's answer.
template <typename R, typename A, typename F> void listen(Event<R, A>& event, F f)
{
    struct Call : Event<R, A>::BaseDelegate
    {
        explicit Call(F f) : f(f) {}
        R operator()(A argument) override { return f(argument); }
        F f;
    };
    event += new Call(f);
}

inline ScrivletPlayer& player() { return *ScrivletPlayer::getCurrentPlayerData(); }

// The last frame against the reviewed tests/data/studio/NAME.png.
#define EXPECT_FRAME_GOLDEN(name) expectFrameGolden(std::string(TOVRANE_TEST_DATA) + "/studio/" + (name) + ".png")

struct Touch
{
    int x, y, state; // screen pixels, y down; state 0 lifts
};

class StudioFixture : public RendererFixture
{
protected:
    void SetUp() override
    {
        REQUIRE_STUDIO_TITLE();
        RendererFixture::SetUp();
        fs::remove_all(fs::path(player().toImagePath(0)).parent_path()); // no saved pictures
        fs::create_directories(fs::path(player().toImagePath(0)).parent_path());
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
    void paint(int tool, const Colour& colour, std::initializer_list<Touch> script)
    {
        studio->setToolType(static_cast<ToolType::Type>(tool));
        studio->setForegroundColor(colour);
        touch(script);
    }
    Colour pixel(int x, int y) const { return studio->canvas->getLayer()->getPixel(x, y); }
    Colour pixel(int frame, int x, int y) const { return studio->getFrame(frame)->getLayer()->getPixel(x, y); }

    void expectScreenGolden(const std::string& name)
    {
        frame(1, 1, 1, 1);
        EXPECT_FRAME_GOLDEN(name);
    }

    StudioPtr studio;
};
}

#endif
