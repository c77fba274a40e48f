#ifndef TESTS_PROJECT_STUDIO_FREEDRAWTESTSUPPORT_H
#define TESTS_PROJECT_STUDIO_FREEDRAWTESTSUPPORT_H

// The free-drawing state on the real state handler and frame loop, on the
// generated title with a data root of this process: touches and buttons go
// through the platform's queues, sounds through the platform's mixer on its
// virtual clock, and every sound started is written to a list.
#include "VendrixApplication/StateTestSupport.h"
#include "project/Studio/StudioTestSupport.h"

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

#include "CAudioMPI.h"
#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "IAudioService.h"

#include <fstream>
#include <map>
#include <sstream>

namespace FreeDrawTest
{
using namespace Tovrane;
using StudioTest::player;

// Forwards to the process's mixer; writes every start as the file's name
// without ".ogg", every stop of a sound still playing as "-" and the name,
// and a file the mixer could not start as "missing " and the name.
class ListeningAudio : public Vantorel::Kelm::IAudioService
{
public:
    ListeningAudio() : mixer(Vantorel::Kelm::CAudioMixer::Instance()) {}
    void SetMasterVolume(Vantorel::Kelm::tAudioVolume v) override { mixer->SetMasterVolume(v); }
    void SetPriorityPolicy(Vantorel::Kelm::tPriorityPolicy p) override { mixer->SetPriorityPolicy(p); }
    Vantorel::Kelm::tAudioID StartAudio(const std::string& path, Vantorel::Kelm::tAudioPriority priority,
                                        Vantorel::Kelm::tAudioVolume volume, Vantorel::Kelm::tAudioPan pan,
                                        Vantorel::Kelm::IEventListener* listener,
                                        Vantorel::Kelm::tAudioPayload payload,
                                        Vantorel::Kelm::tAudioOptionsFlags flags) override
    {
        const Vantorel::Kelm::tAudioID id =
            mixer->StartAudio(path, priority, volume, pan, listener, payload, flags);
        std::string name = path.substr(path.find_last_of('/') + 1);
        name = name.substr(0, name.size() - 4);
        std::lock_guard<std::mutex> lock(mutex);
        if (id == Vantorel::Kelm::kNoAudioID)
            heard.push_back("missing " + name);
        else
        {
            heard.push_back(name);
            names[id] = name;
        }
        return id;
    }
    void StopAudio(Vantorel::Kelm::tAudioID id, bool quiet) override
    {
        if (mixer->IsAudioPlaying(id))
        {
            std::lock_guard<std::mutex> lock(mutex);
            heard.push_back("-" + names[id]);
        }
        mixer->StopAudio(id, quiet);
    }
    bool IsAudioPlaying(Vantorel::Kelm::tAudioID id) override { return mixer->IsAudioPlaying(id); }
    bool IsAudioPlaying() override { return mixer->IsAudioPlaying(); }
    void SetAudioVolume(Vantorel::Kelm::tAudioID id, Vantorel::Kelm::tAudioVolume v) override
    {
        mixer->SetAudioVolume(id, v);
    }
    void PauseAudioSystem() override { mixer->PauseAudioSystem(); }
    void ResumeAudioSystem() override { mixer->ResumeAudioSystem(); }

    // What was heard since the last call, one entry a word, without the
    // widgets' click sound.
    std::string take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::string text;
        for (const std::string& entry : heard)
            if (entry.find("h_SX_SelectSfx_6") == std::string::npos)
                text += (text.empty() ? "" : " ") + entry;
        heard.clear();
        return text;
    }

private:
    std::shared_ptr<Vantorel::Kelm::CAudioMixer> mixer;
    std::mutex mutex;
    std::vector<std::string> heard;
    std::map<Vantorel::Kelm::tAudioID, std::string> names;
};

// A plain state kept on the stack under the studio.
struct KeptState : GameState
{
    KeptState() : GameState(false, true) {}
    static GameState* make() { return new KeptState; }
};

// A free-drawing state entered and begun; tests drive it frame by frame.
class FreeDrawFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (StudioTest::scratchRoot().path.empty() ||
            !std::filesystem::exists(std::string(TOVRANE_BINARY_DIR) + "/title/images/studio"))
            GTEST_SKIP() << "no data root of this program's own, or no generated title";
        ::setenv("LP_NUM_THREADS", "0", 0);
        for (const std::string& file : {player().toImagePath(0), player().toAnimationPath(0, 0)})
        {
            const std::filesystem::path folder = std::filesystem::path(file).parent_path();
            std::filesystem::remove_all(folder);
            std::filesystem::create_directories(folder);
        }
        for (int badge : {BadgeName::FirstGalleryPicture, BadgeName::FullGallery})
            player().badges[badge] = 0;
        previous = Vantorel::Kelm::CAudioMPI::SetService(audio);
        // No tutorial unless a test asks for one.
        DrawingStudioState::firstArtModeActivation = false;
        DrawingStudioState::firstAnimationModeActivation = false;
        std::srand(7);
        std::fill(Studio::firstToolActivation, Studio::firstToolActivation + 16, false);
    }
    void TearDown() override
    {
        harness.reset();
        if (previous)
            Vantorel::Kelm::CAudioMPI::SetService(previous);
    }

    // Pushes the state (blank, or on a picture file), over a plain state when
    // asked, and runs it until it has begun.
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

    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            harness->frame();
    }
    // Frames until no speech plays (at most ten seconds).
    void untilQuiet()
    {
        for (int i = 0; i < 500 && state->getAudioPlayer()->isSpeechPlaying(); ++i)
            harness->frame();
    }
    void touch(int x, int y, int touchState)
    {
        Vantorel::Kelm::tTouchData data = {};
        data.touchState = static_cast<std::uint16_t>(touchState);
        data.x = static_cast<std::int16_t>(x);
        data.y = static_cast<std::int16_t>(y);
        Vantorel::Kelm::CEventMPI::PostTouchEvent(data);
        harness->frame();
    }
    void tap(int x, int y)
    {
        touch(x, y, 1);
        touch(x, y, 0);
    }
    // A tap on the middle of the widget as the screen shows it (y down).
    void tap(const SpatialPtr& widget)
    {
        ASSERT_TRUE(widget && widget->worldBound);
        const BoundingRectangle& b = static_cast<const BoundingRectangle&>(*widget->worldBound);
        tap(((b.left + b.right) / tFixed(2)).toInt(), 240 - ((b.bottom + b.top) / tFixed(2)).toInt());
    }
    void tap(const ToolbarPtr& toolbar, int button) { tap(toolbar->getButton(button)); }
    void buttons(std::uint32_t state, std::uint32_t transition)
    {
        Vantorel::Kelm::tButtonData2 data = {};
        data.buttonState = state;
        data.buttonTransition = transition;
        Vantorel::Kelm::CButtonMPI::PostButtonEvent(data);
        harness->frame();
    }
    void click(std::uint32_t mask)
    {
        buttons(mask, mask);
        buttons(0, mask);
    }
    // A stroke across the picture's middle with the current tool.
    void draw(int y = 120)
    {
        touch(60, y, 1);
        touch(160, y + 20, 1);
        touch(160, y + 20, 0);
    }
    // Chooses the item of the picker on screen (paging to it), as its slot button would.
    void choose(StudioState::Type picker, int id)
    {
        const int index = picker == StudioState::ColorScreen ? studio().colorScreenIndex
                          : picker == StudioState::StampPicker ? studio().stampDialogIndex
                          : picker == StudioState::EffectPicker ? studio().effectDialogIndex
                          : studio().mode == StudioMode::Art ? studio().imageDialogIndex
                                                             : studio().animationDialogIndex;
        SlotDialog& dialog = static_cast<SlotDialog&>(*studio().dialogs->getChild(index));
        while (id >= dialog.first + dialog.rows * dialog.columns)
            dialog.pageRight();
        while (id >= 0 && id < dialog.first)
            dialog.pageLeft();
        dialog.onSelect(id < 0 ? -1 : id - dialog.first);
        harness->frame();
    }
    // The question box's buttons: 1 yes, 2 no, 3 close.
    void answer(int result)
    {
        DialogBox& box = *studio().dialogBox;
        ASSERT_EQ(CullingMode::Show, box.cullingMode) << "no question is asked";
        const ButtonEventArgs args;
        if (result == 1)
            box.onYesButton(args);
        else if (result == 2)
            box.onNoButton(args);
        else
            box.onCancelButton(args);
        harness->frame();
    }

    // Runs a script of words: draw; press, lift (a stroke held, then ended);
    // main:N, flip:N (toolbar buttons); file:save, file:load, file:new;
    // pick:ID (in the picker shown); yes, no, close; back, quit, toggle,
    // hint (buttons 0x20, 0x100, 0x10, 0x200); down:MASK, up:MASK (buttons
    // held and let go); wait:N frames; quiet (until no speech plays).
    void run(const std::string& script)
    {
        std::istringstream words(script);
        for (std::string word; words >> word;)
        {
            const size_t colon = word.find(':');
            const std::string verb = word.substr(0, colon), arg = colon == std::string::npos ? "" : word.substr(colon + 1);
            const int n = std::atoi(arg.c_str());
            if (verb == "draw")
                draw();
            else if (verb == "press")
                touch(60, 120, 1), touch(160, 140, 1);
            else if (verb == "lift")
                touch(160, 140, 0);
            else if (verb == "main")
                tap(studio().mainToolbar, n);
            else if (verb == "flip")
                tap(studio().flipbookToolbar, n);
            else if (verb == "brush" || verb == "shape")
            {
                tap(studio().mainToolbar, verb == "brush" ? MainToolbar::ToolsButton : MainToolbar::ShapesButton);
                tap(verb == "brush" ? ToolbarPtr(studio().brushToolbar) : ToolbarPtr(studio().shapeToolbar), n);
            }
            else if (verb == "size" || verb == "pattern" || verb == "wheel")
            {
                // The colour screen: size boxes are its children 2 to 4, the
                // pattern picker (right arrow its child 1) 5, the wheel 7.
                NodePtr screen = boost::static_pointer_cast<Node>(studio().dialogs->getChild(studio().colorScreenIndex));
                if (verb == "size")
                    tap(screen->getChild(2 + n));
                else if (verb == "pattern")
                    tap(boost::static_pointer_cast<Node>(screen->getChild(5))->getChild(1));
                else
                {
                    const BoundingRectangle& b = static_cast<const BoundingRectangle&>(*screen->getChild(7)->worldBound);
                    tap((b.left + tFixed(12)).toInt(), 240 - ((b.bottom + b.top) / tFixed(2)).toInt());
                }
            }
            else if (verb == "file")
            {
                tap(studio().mainToolbar, MainToolbar::FileButton);
                tap(studio().fileToolbar, arg == "save" ? 0 : arg == "load" ? 1 : 2);
            }
            else if (verb == "pick")
                choose(studio().states.back(), n);
            else if (verb == "yes" || verb == "no" || verb == "close")
                answer(verb == "yes" ? 1 : verb == "no" ? 2 : 3);
            else if (verb == "back" || verb == "quit" || verb == "toggle" || verb == "hint")
                click(verb == "back" ? 0x20 : verb == "quit" ? 0x100 : verb == "toggle" ? 0x10 : 0x200);
            else if (verb == "down" || verb == "up")
            {
                const std::uint32_t mask = static_cast<std::uint32_t>(std::stoul(arg, nullptr, 16));
                held = verb == "down" ? held | mask : held & ~mask;
                buttons(held, mask);
            }
            else if (verb == "wait")
                frames(n);
            else if (verb == "quiet")
                untilQuiet();
            else if (verb == "first")
                std::fill(Studio::firstToolActivation, Studio::firstToolActivation + 16, true);
            else
                ADD_FAILURE() << "unknown word " << word;
            if (HasFatalFailure() || !harness->current())
                return;
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
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    std::shared_ptr<ListeningAudio> audio = std::make_shared<ListeningAudio>();
    std::shared_ptr<Vantorel::Kelm::IAudioService> previous;
    std::unique_ptr<StateTestSupport::AppHarness> harness;
    DrawingStudioState* state = nullptr;
    std::uint32_t held = 0;
};
}

#endif
