#ifndef TESTS_PROJECT_LESSONSTESTSUPPORT_H
#define TESTS_PROJECT_LESSONSTESTSUPPORT_H

// The generated test title with a data root of the test's own, task files
// written by the tests, an audio service that records what is started, and
// the task studio run in process as the host runs it: the application on the
// virtual clock, frames that wait for each loader, touches handed to the
// current state before its frame, and the usage-log records the run writes.

#include "VendrixApplication/StateTestSupport.h"
#include "support/DataRoot.h"

#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/System.h"

#include "CAudioMPI.h"
#include "CLogFile.h"
#include "IAudioService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace LessonsTest
{
using namespace Tovrane;

// A screen below the tasks, kept on the stack: the map, a menu or a launcher.
struct Below : GameState
{
    Below() : GameState(false, true) {}
    static GameState* make() { return new Below; }
};

// The art lessons' task files by location, 27 to 48.
inline const char* const lessonStems[] = {
    "seeing_shapes", "shapes_eq_triangle", "shapes_triangle_2", "shapes_rectangle", "shapes_square", "shapes_circle",
    "shapes_ellipse", "shapes_hexigon", "cloud", "tree", "car", "straight_line", "horizontal_line", "vertical_line",
    "curve", "waves", "diagonal_line", "zigzag", "horizon_line", "wild", "calm", "animation"};

// The title generated at build time, configured once per process with the
// process's scratch data root; no path when another test fixed the paths first.
struct Title
{
    std::string path, scratch;
};
inline const Title& title()
{
    static const Title t{TestSupport::useGeneratedTitle() ? std::string(TOVRANE_BINARY_DIR) + "/title/" : "",
                         TestSupport::scratchFolder()};
    return t;
}

#define REQUIRE_LESSONS_TITLE()                                                                                \
    do                                                                                                         \
    {                                                                                                          \
        if (LessonsTest::title().path.empty())                                                                 \
            GTEST_SKIP() << "no generated title, or the paths were fixed elsewhere";                           \
    } while (false)

// Writes a task file into the scratch folder; the path returned is relative
// to the title, as the path constructor takes it.
inline std::string writeTask(const std::string& name, const std::string& json)
{
    std::ofstream(title().scratch + name, std::ios::binary) << json;
    return std::filesystem::relative(title().scratch + name, title().path).string();
}

// A state of the kind and location for a task file of the scratch folder
// (a name with ".task") or of the title (a stem).
inline std::unique_ptr<TaskStudioState> state(eTaskType type, const std::string& file,
                                              LocationName::Type where = LocationName::WritingLesson)
{
    const std::string path = file.find(".task") != std::string::npos ? file : "tasks/" + file + ".task";
    return std::unique_ptr<TaskStudioState>(new TaskStudioState(type, path, where));
}

// Every file exists; streams play until the test ends them; the names of the
// files started are kept in order.
class RecordingAudio : public Vantorel::Kelm::IAudioService
{
public:
    void SetMasterVolume(Vantorel::Kelm::tAudioVolume) override {}
    void SetPriorityPolicy(Vantorel::Kelm::tPriorityPolicy) override {}
    Vantorel::Kelm::tAudioID StartAudio(const std::string& path, Vantorel::Kelm::tAudioPriority,
                                        Vantorel::Kelm::tAudioVolume, Vantorel::Kelm::tAudioPan,
                                        Vantorel::Kelm::IEventListener*, Vantorel::Kelm::tAudioPayload,
                                        Vantorel::Kelm::tAudioOptionsFlags) override
    {
        started.push_back(path.substr(path.find_last_of('/') + 1));
        playing.insert(nextID);
        return nextID++;
    }
    void StopAudio(Vantorel::Kelm::tAudioID id, bool) override { playing.erase(id); }
    bool IsAudioPlaying(Vantorel::Kelm::tAudioID id) override { return playing.count(id) != 0; }
    bool IsAudioPlaying() override { return !playing.empty(); }
    void SetAudioVolume(Vantorel::Kelm::tAudioID, Vantorel::Kelm::tAudioVolume) override {}
    void PauseAudioSystem() override {}
    void ResumeAudioSystem() override {}

    // The names started since the last call.
    std::vector<std::string> take() { return std::exchange(started, {}); }

    std::vector<std::string> started;
    std::set<Vantorel::Kelm::tAudioID> playing;
    Vantorel::Kelm::tAudioID nextID = 100;
};

// Installs a recording service for the test's lifetime, with a player on it.
struct Recording
{
    Recording() : audio(std::make_shared<RecordingAudio>())
    {
        previous = Vantorel::Kelm::CAudioMPI::SetService(audio);
        player.reset(new AudioPlayer);
    }
    ~Recording()
    {
        player.reset();
        Vantorel::Kelm::CAudioMPI::SetService(previous);
    }
    std::shared_ptr<RecordingAudio> audio;
    std::shared_ptr<Vantorel::Kelm::IAudioService> previous;
    std::unique_ptr<AudioPlayer> player;
};

inline Vector2<tFixed> at(int x, int y) { return Vector2<tFixed>(tFixed(x), tFixed(y)); }

// The lines of a text; of standard output during a call.
inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
template <typename Call> std::vector<std::string> printed(Call call)
{
    testing::internal::CaptureStdout();
    call();
    return linesOf(testing::internal::GetCapturedStdout());
}

// The lines that contain `part`.
inline std::vector<std::string> with(const std::vector<std::string>& lines, const std::string& part)
{
    std::vector<std::string> found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found), [&](const std::string& l) { return l.find(part) != std::string::npos; });
    return found;
}

// The records of a usage log from `from` lines on, without their time, the
// fields joined by blanks.
inline std::vector<std::string> usageRecords(const std::string& log, size_t from = 0)
{
    std::ifstream in(log);
    std::vector<std::string> records;
    size_t index = 0;
    for (std::string line; std::getline(in, line); ++index)
        if (index >= from)
        {
            line.erase(0, line.find('\t') + 1);
            std::replace(line.begin(), line.end(), '\t', ' ');
            records.push_back(line);
        }
    return records;
}

// The phases named by the state-change lines of a debug output.
inline std::vector<std::string> phasesIn(const std::string& debug)
{
    const std::string mark = "STATE_CHANGED NEW_STATE=";
    std::vector<std::string> phases;
    for (const std::string& line : linesOf(debug))
        if (line.compare(0, mark.size(), mark) == 0)
            phases.push_back(line.substr(mark.size()));
    return phases;
}

class TaskRun
{
public:
    TaskRun() : harness(Below::make)
    {
        harness.enter();
        EXPECT_TRUE(harness.settle()) << "the state below the task begins";
        logStart = records().size();
    }

    // Pushes a task studio and runs until it has begun.
    TaskStudioState* push(TaskStudioState* state)
    {
        Application::PushGameState(state);
        frame();
        return state;
    }
    TaskStudioState* current() { return harness.currentAs<TaskStudioState>(); }

    // One frame of `ms`, after every loader has finished, as the host's fixed step.
    void frame(unsigned int ms = 20)
    {
        if (Tovrane::GameStatePtr state = harness.current())
            state->waitForLoader();
        harness.frame(ms);
        if (Tovrane::GameStatePtr state = harness.current())
            state->waitForLoader();
    }
    // Frames until the predicate holds; false after `limit` frames.
    bool until(const std::function<bool()>& done, int limit = 2000)
    {
        for (int i = 0; i < limit && !done(); ++i)
            frame();
        return done();
    }
    bool untilPhase(TaskStudioState::eState phase)
    {
        return until([&] { return current() && current()->getState() == phase; });
    }
    // Frames until the current line waits for a stroke.
    bool untilDrawing()
    {
        return until([&] {
            TaskStudioState* state = current();
            return state && (state->getState() == TaskStudioState::TaskDraw ||
                             state->getState() == TaskStudioState::FreeFormTaskDraw) && state->touchStage == 1;
        });
    }
    // A touch handed to the current state before the next frame.
    void touch(int x, int y, bool down)
    {
        Vantorel::Kelm::tTouchData touch = {};
        touch.touchState = down ? 1 : 0;
        touch.x = static_cast<std::int16_t>(x);
        touch.y = static_cast<std::int16_t>(y);
        current()->processTouchEvent(touch);
    }
    void button(std::uint32_t mask)
    {
        Vantorel::Kelm::tButtonData2 press = {};
        press.buttonState = mask;
        current()->processButtonEvent(press);
    }
    // The screen pixel of a picture point on the current studio's canvas.
    std::pair<int, int> screenOf(const Vector2<tFixed>& p)
    {
        int sx = 0, sy = 0;
        current()->studio->canvas->screenXY(p.x.getRaw() >> 16, p.y.getRaw() >> 16, sx, sy);
        return {sx, sy};
    }
    // Down on the first of the points, along the others, up on the last, in one frame.
    void stroke(const std::vector<Vector2<tFixed>>& points)
    {
        for (const Vector2<tFixed>& p : points)
            touch(screenOf(p).first, screenOf(p).second, true);
        touch(screenOf(points.back()).first, screenOf(points.back()).second, false);
        frame();
    }
    // The current line traced along its own points.
    void traceLine() { stroke(current()->getTask()->lines[current()->currentLine].allPoints); }

    size_t stackSize() { return harness.handler().getStackSize(); }
    std::vector<std::string> records() { return usageRecords(CLogFile::Instance()->GetPath().raw(), logStart); }

    StateTestSupport::AppHarness harness;
    size_t logStart = 0;
};
}
namespace TaskScreenTest = LessonsTest;

#endif
