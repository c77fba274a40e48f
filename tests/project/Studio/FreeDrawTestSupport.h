#ifndef TESTS_PROJECT_STUDIO_FREEDRAWTESTSUPPORT_H
#define TESTS_PROJECT_STUDIO_FREEDRAWTESTSUPPORT_H

// The free-drawing state on the real state handler and frame loop; the
// mixer's trace tells what was heard.
#include "project/Studio/StudioTestSupport.h"
#include "support/GameTitle.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/SlotDialog.h"
#include "Resources/Studio/BrushToolbar.h"
#include "Resources/Studio/DrawingStudioState.h"
#include "Resources/Studio/FileToolbar.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Resources/Studio/MainToolbar.h"
#include "Resources/Studio/ShapeToolbar.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BoundingRectangle.h"

#include <map>

namespace FreeDrawTest
{
using namespace Tovrane;

// A plain state kept on the stack under the studio.
struct KeptState : GameState
{
    KeptState() : GameState(false, true) {}
    static GameState* make() { return new KeptState; }
};

class FreeDrawFixture : public GameTitle::Run
{
protected:
    void SetUp() override
    {
        GameTitle::Run::SetUp();
        traceOffset = traceRead = 0;
        DrawingStudioState::firstArtModeActivation = DrawingStudioState::firstAnimationModeActivation = false;
        std::fill(Studio::firstToolActivation, Studio::firstToolActivation + 16, false);
        std::srand(7);
    }

    void start(const std::string& picture = std::string(), bool overAnother = false)
    {
        GameTitle::Run::start(overAnother ? KeptState::make : StateTestSupport::BaseState::make);
        Application::PushGameState(picture.empty() ? new DrawingStudioState
                                                   : new DrawingStudioState(picture, "h_SCRIVLET_Blur_5.ogg"));
        frame();
        ASSERT_TRUE(harness->settle());
        ASSERT_NE(nullptr, state = harness->currentAs<DrawingStudioState>());
    }
    Studio& studio() { return *state->getStudio(); }

    // The files started since the last call, named short, clicks left out;
    // "-" and the name for one stopped while it played.
    std::string heard()
    {
        std::string text;
        for (const std::string& line : GameTitle::readOn(trace, traceRead))
        {
            std::istringstream words(line);
            std::string frame, time, event, path;
            int id = 0;
            words >> frame >> time >> event >> id >> path;
            const std::string file = path.substr(path.find_last_of('/') + 1);
            if (event == "audio-start")
                names[id] = file.substr(file.find('_', 2) + 1, file.find_last_of('_') - file.find('_', 2) - 1);
            if ((event == "audio-start" || event == "audio-stop") && names[id] != "SelectSfx")
                text += std::string(text.empty() ? "" : " ") + (event == "audio-stop" ? "-" : "") + names[id];
        }
        return text;
    }

    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            frame();
    }
    void touch(int x, int y, int touchState)
    {
        GameTitle::touch(x, y, static_cast<std::uint16_t>(touchState));
        frame();
    }
    // A tap on the middle of the widget, or `dx` in from its left edge.
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
        frame();
    }
    NodePtr dialog(int index) { return boost::static_pointer_cast<Node>(studio().dialogs->getChild(index)); }

    // Words: draw; press, lift; main:N, flip:N, brush:N, shape:N,
    // file:save|load|new; pick:ID (in the picker shown); yes, no, close;
    // back, quit, toggle, hint; down:MASK, up:MASK (hex); size:N, pattern,
    // wheel; wait:N; quiet (until no speech); first (first-time hints due).
    void run(const std::string& script)
    {
        const std::map<std::string, std::uint32_t> pressed = {{"back", 0x20}, {"quit", 0x100}, {"toggle", 0x10}, {"hint", 0x200}};
        const std::map<std::string, int> answers = {{"yes", 1}, {"no", 2}, {"close", 3}};
        std::istringstream words(script);
        for (std::string word; words >> word && harness->current() && !HasFatalFailure();)
        {
            const size_t colon = word.find(':');
            const std::string verb = word.substr(0, colon), arg = colon == std::string::npos ? "" : word.substr(colon + 1);
            const int n = arg == "save" ? 0 : arg == "load" ? 1 : arg == "new" ? 2 : std::atoi(arg.c_str());
            Studio& s = studio();
            const std::map<std::string, std::pair<ToolbarPtr, int>> rows = {{"main", {s.mainToolbar, -1}},
                {"flip", {s.flipbookToolbar, -1}}, {"brush", {s.brushToolbar, MainToolbar::ToolsButton}},
                {"shape", {s.shapeToolbar, MainToolbar::ShapesButton}}, {"file", {s.fileToolbar, MainToolbar::FileButton}}};
            if (verb == "draw" || verb == "press")
                touch(60, 120, 1), touch(160, 140, 1);
            if (verb == "draw" || verb == "lift")
                touch(160, 140, 0);
            else if (rows.count(verb))
            {
                if (rows.at(verb).second >= 0)
                    tap(s.mainToolbar->getButton(rows.at(verb).second));
                tap(rows.at(verb).first->getButton(n));
            }
            else if (verb == "pick")
            {
                const StudioState::Type shown = s.states.back();
                SlotDialog& picker = static_cast<SlotDialog&>(*dialog(
                    shown == StudioState::StampPicker ? s.stampDialogIndex : shown == StudioState::EffectPicker
                        ? s.effectDialogIndex : s.mode == StudioMode::Art ? s.imageDialogIndex : s.animationDialogIndex));
                while (n >= picker.first + picker.rows * picker.columns)
                    picker.pageRight();
                while (n >= 0 && n < picker.first)
                    picker.pageLeft();
                picker.onSelect(n < 0 ? -1 : n - picker.first);
                frames(1);
            }
            else if (answers.count(verb))
                tap(s.dialogBox->cullingMode == CullingMode::Show ? s.dialogBox->getChild(answers.at(verb)) : SpatialPtr());
            else if (pressed.count(verb))
                buttons(pressed.at(verb), pressed.at(verb)), buttons(0, pressed.at(verb));
            else if (verb == "down" || verb == "up")
            {
                const std::uint32_t mask = static_cast<std::uint32_t>(std::stoul(arg, nullptr, 16));
                held = verb == "down" ? held | mask : held & ~mask;
                buttons(held, mask);
            }
            else if (verb == "size" || verb == "wheel")
                tap(dialog(s.colorScreenIndex)->getChild(verb == "size" ? 2 + n : 7), verb == "size" ? -1 : 12);
            else if (verb == "pattern")
                tap(boost::static_pointer_cast<Node>(dialog(s.colorScreenIndex)->getChild(5))->getChild(1));
            else if (verb == "wait" || verb == "quiet")
                for (int i = 0; i < (verb == "wait" ? n : 500) && (verb == "wait" || !quiet()); ++i)
                    frame();
            else if (verb == "first")
                std::fill(Studio::firstToolActivation, Studio::firstToolActivation + 16, true);
            else if (verb != "draw" && verb != "press")
                ADD_FAILURE() << "unknown word " << word;
        }
    }
    bool quiet() { return !state->getAudioPlayer()->isSpeechPlaying(); }

    // The studio's screens, bottom first: "0 7 1".
    std::string screens()
    {
        std::string text;
        for (StudioState::Type s : studio().states)
            text += (text.empty() ? "" : " ") + std::to_string(s);
        return text;
    }

    DrawingStudioState* state = nullptr;
    std::uint32_t held = 0;
    std::streamoff traceRead = 0;
    std::map<int, std::string> names;
};
}

#endif
