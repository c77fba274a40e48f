#ifndef TESTS_PROJECT_LESSONSTESTSUPPORT_H
#define TESTS_PROJECT_LESSONSTESTSUPPORT_H

// The generated test title with a data root of the test's own, task files
// written by the tests, and an audio service that records what is started.

#include "Resources/Lessons/TaskStudioState.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/System.h"

#include "CAudioMPI.h"
#include "CSystemData.h"
#include "IAudioService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
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

// The title generated at build time, configured once per process with a
// scratch data root; empty when another test fixed the paths first.
struct Title
{
    Title() : scratch(std::string(TOVRANE_BINARY_DIR) + "/lessons-" + std::to_string(::getpid()))
    {
        std::filesystem::create_directories(scratch + "/data");
        CSystemData::Config config;
        config.titlePath = std::string(TOVRANE_BINARY_DIR) + "/title/";
        config.dataRoot = scratch + "/data/";
        if (CSystemData::Configure(config) && std::filesystem::exists(config.titlePath + "tasks/0.task"))
            path = config.titlePath;
    }
    ~Title() { std::filesystem::remove_all(scratch); }
    std::string scratch;
    std::string path;
};

inline const Title& title()
{
    static Title t;
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
    std::ofstream(title().scratch + "/" + name, std::ios::binary) << json;
    return "../lessons-" + std::to_string(::getpid()) + "/" + name;
}

// A state of the kind and location for a task file of the scratch folder
// (a name with no ".task") or of the title (a stem).
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

// Standard output of a call, split into lines.
template <typename Call> std::vector<std::string> printed(Call call)
{
    testing::internal::CaptureStdout();
    call();
    std::vector<std::string> lines;
    std::string text = testing::internal::GetCapturedStdout();
    for (size_t start = 0, end; start < text.size(); start = end + 1)
    {
        end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}
}

#endif
