#ifndef TESTS_PROJECT_STUDIO_FREEDRAWTESTSUPPORT_H
#define TESTS_PROJECT_STUDIO_FREEDRAWTESTSUPPORT_H

// The free-drawing state on the real state handler and frame loop, on the
// generated title with a data root of this process. Touches and buttons go
// through the platform's queues, sounds through its mixer on the virtual
// clock; the mixer's trace tells what was heard.
#include "VendrixApplication/StateTestSupport.h"
#include "project/Studio/StudioTestSupport.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/SlotDialog.h"
#include "Resources/Studio/BrushToolbar.h"
#include "Resources/Studio/DrawingStudioState.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Resources/Studio/MainToolbar.h"
#include "Resources/Studio/FileToolbar.h"
#include "Resources/Studio/ShapeToolbar.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BoundingRectangle.h"

#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "HostTrace.h"

#include <fstream>
#include <map>
#include <sstream>

namespace FreeDrawTest
{
using namespace Tovrane;
using StudioTest::player;

// A plain state kept on the stack under the studio.
struct KeptState : GameState
{
    KeptState() : GameState(false, true) {}
    static GameState* make() { return new KeptState; }
};

class FreeDrawFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (StudioTest::scratchRoot().path.empty() ||
            !std::filesystem::exists(std::string(TOVRANE_BINARY_DIR) + "/title/images/studio"))
            GTEST_SKIP() << "no data root of this program's own, or no generated title";
        for (const std::string& file : {player().toImagePath(0), player().toAnimationPath(0, 0)})
        {
            std::filesystem::remove_all(std::filesystem::path(file).parent_path());
            std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        }
        player().badges[BadgeName::FirstGalleryPicture] = player().badges[BadgeName::FullGallery] = 0;
        HostTrace::open(StudioTest::scratchRoot().path + "/trace.txt");
        traceRead = 0;
        DrawingStudioState::firstArtModeActivation = DrawingStudioState::firstAnimationModeActivation = false;
        std::fill(Studio::firstToolActivation, Studio::firstToolActivation + 16, false);
        std::srand(7);
    }
    void TearDown() override { harness.reset(); }

    // The state (blank, or on a picture file; over a kept state if asked), begun.
    void start(const std::string& picture = std::string(), bool overAnother = false)
    {
        harness.reset(new StateTestSupport::AppHarness(overAnother ? KeptState::make : nullptr));
        harness->enter();
        Application::PushGameState(picture.empty() ? new DrawingStudioState
                                                   : new DrawingStudioState(picture, "h_SCRIVLET_Blur_5.ogg"));
        harness->frame();
        ASSERT_TRUE(harness->settle());
        state = harness->currentAs<DrawingStudioState>();
        ASSERT_NE(nullptr, state);
    }
    Studio& studio() { return *state->getStudio(); }

    // The files started since the last call, without ".ogg" and the widgets'
    // click; "-" and the name for one stopped while it played.
    std::string heard()
    {
        std::ifstream trace(StudioTest::scratchRoot().path + "/trace.txt");
        trace.seekg(traceRead);
        std::string text, line;
        for (; std::getline(trace, line); traceRead += line.size() + 1)
        {
            std::istringstream words(line);
            std::string frame, time, event, path;
            int id = 0;
            words >> frame >> time >> event >> id >> path;
            if (event == "audio-start")
                names[id] = path.substr(path.find_last_of('/') + 1, path.size() - path.find_last_of('/') - 5);
            const std::string name = event == "audio-stop" ? "-" + names[id] : names[id];
            if ((event == "audio-start" || event == "audio-stop") && name.find("SelectSfx") == std::string::npos)
                text += (text.empty() ? "" : " ") + name;
        }
        return text;
    }

    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            harness->frame();
    }
    void untilQuiet()
    {
        for (int i = 0; i < 500 && state->getAudioPlayer()->isSpeechPlaying(); ++i)
            harness->frame();
    }
    void touch(int x, int y, int touchState)
    {
        Vantorel::Kelm::tTouchData data = {static_cast<std::uint16_t>(touchState), static_cast<std::int16_t>(x),
                                           static_cast<std::int16_t>(y), {}};
        Vantorel::Kelm::CEventMPI::PostTouchEvent(data);
        harness->frame();
    }
    // A tap on the middle of the widget as the screen shows it (y down),
    // or `dx` in from its left edge.
    void tap(const SpatialPtr& widget, int dx = -1)
    {
        ASSERT_TRUE(widget && widget->worldBound);
        const BoundingRectangle& b = static_cast<const BoundingRectangle&>(*widget->worldBound);
        const int x = dx < 0 ? ((b.left + b.right) / tFixed(2)).toInt() : (b.left + tFixed(dx)).toInt();
        const int y = 240 - ((b.bottom + b.top) / tFixed(2)).toInt();
        touch(x, y, 1);
        touch(x, y, 0);
    }
    void buttons(std::uint32_t state, std::uint32_t transition)
    {
        Vantorel::Kelm::tButtonData2 data = {state, transition, {}};
        Vantorel::Kelm::CButtonMPI::PostButtonEvent(data);
        harness->frame();
    }

    // Runs a script of words: draw (a stroke); press, lift (a stroke held,
    // then ended); main:N, flip:N, brush:N, shape:N (toolbar buttons, the
    // rows opened first); file:save, file:load, file:new; pick:ID (in the
    // picker shown, as its slot button would); yes, no, close; back, quit,
    // toggle, hint (buttons 0x20, 0x100, 0x10, 0x200); down:MASK, up:MASK
    // (hexadecimal, held and let go); size:N, pattern, wheel (colour
    // screen); wait:N frames; quiet (until no speech plays); first (every
    // tool's first-time hint due).
    void run(const std::string& script)
    {
        std::istringstream words(script);
        for (std::string word; words >> word && harness->current() && !HasFatalFailure();)
        {
            const size_t colon = word.find(':');
            const std::string verb = word.substr(0, colon), arg = colon == std::string::npos ? "" : word.substr(colon + 1);
            const int n = std::atoi(arg.c_str());
            Studio& s = studio();
            NodePtr dialog = boost::static_pointer_cast<Node>(
                s.dialogs->getChild(verb != "pick"                              ? s.colorScreenIndex
                                    : s.states.back() == StudioState::StampPicker  ? s.stampDialogIndex
                                    : s.states.back() == StudioState::EffectPicker ? s.effectDialogIndex
                                    : s.mode == StudioMode::Art                    ? s.imageDialogIndex
                                                                                   : s.animationDialogIndex));
            if (verb == "draw" || verb == "press")
                touch(60, 120, 1), touch(160, 140, 1);
            if (verb == "draw" || verb == "lift")
                touch(160, 140, 0);
            else if (verb == "main" || verb == "flip")
                tap((verb == "main" ? ToolbarPtr(s.mainToolbar) : ToolbarPtr(s.flipbookToolbar))->getButton(n));
            else if (verb == "brush" || verb == "shape")
            {
                tap(s.mainToolbar->getButton(verb == "brush" ? MainToolbar::ToolsButton : MainToolbar::ShapesButton));
                tap((verb == "brush" ? ToolbarPtr(s.brushToolbar) : ToolbarPtr(s.shapeToolbar))->getButton(n));
            }
            else if (verb == "file")
            {
                tap(s.mainToolbar->getButton(MainToolbar::FileButton));
                tap(s.fileToolbar->getButton(arg == "save" ? 0 : arg == "load" ? 1 : 2));
            }
            else if (verb == "pick")
            {
                SlotDialog& picker = static_cast<SlotDialog&>(*dialog);
                while (n >= picker.first + picker.rows * picker.columns)
                    picker.pageRight();
                while (n >= 0 && n < picker.first)
                    picker.pageLeft();
                picker.onSelect(n < 0 ? -1 : n - picker.first);
                frames(1);
            }
            else if (verb == "yes" || verb == "no" || verb == "close")
            {
                ASSERT_EQ(CullingMode::Show, s.dialogBox->cullingMode) << "no question is asked";
                const ButtonEventArgs args;
                verb == "yes" ? s.dialogBox->onYesButton(args)
                              : verb == "no" ? s.dialogBox->onNoButton(args) : s.dialogBox->onCancelButton(args);
                frames(1);
            }
            else if (verb == "back" || verb == "quit" || verb == "toggle" || verb == "hint")
            {
                const std::uint32_t mask = verb == "back" ? 0x20 : verb == "quit" ? 0x100 : verb == "toggle" ? 0x10 : 0x200;
                buttons(mask, mask);
                buttons(0, mask);
            }
            else if (verb == "down" || verb == "up")
            {
                const std::uint32_t mask = static_cast<std::uint32_t>(std::stoul(arg, nullptr, 16));
                held = verb == "down" ? held | mask : held & ~mask;
                buttons(held, mask);
            }
            else if (verb == "size" || verb == "wheel")
                tap(dialog->getChild(verb == "size" ? 2 + n : 7), verb == "size" ? -1 : 12);
            else if (verb == "pattern")
                tap(boost::static_pointer_cast<Node>(dialog->getChild(5))->getChild(1));
            else if (verb == "wait")
                frames(n);
            else if (verb == "quiet")
                untilQuiet();
            else if (verb == "first")
                std::fill(Studio::firstToolActivation, Studio::firstToolActivation + 16, true);
            else if (verb != "draw" && verb != "press")
                ADD_FAILURE() << "unknown word " << word;
        }
    }

    // The studio's screens, bottom first: "0 7 1".
    std::string screens()
    {
        std::string text;
        for (StudioState::Type s : studio().states)
            text += (text.empty() ? "" : " ") + std::to_string(s);
        return text;
    }
    static std::string bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::unique_ptr<StateTestSupport::AppHarness> harness;
    DrawingStudioState* state = nullptr;
    std::uint32_t held = 0;
    std::streamoff traceRead = 0;
    std::map<int, std::string> names;
};
}

#endif
