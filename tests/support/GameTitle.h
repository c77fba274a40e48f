#ifndef TESTS_SUPPORT_GAMETITLE_H
#define TESTS_SUPPORT_GAMETITLE_H

// Screens of the game run in-process on the title generated at build time,
// with a fresh profile in the process's scratch data root: the frames as the
// host drives them on the virtual clock, input posted to the platform queues,
// and what happened read back from the run trace (states entered, sounds and
// movies started) and from the usage log.

#include "support/DataRoot.h"
#include "VendrixApplication/StateTestSupport.h"

#include "Resources/Profile/ScrivletPlayer.h"

#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "CLogFile.h"
#include "HostTrace.h"

#include <fstream>
#include <sstream>

namespace GameTitle
{
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A new player: every file of the data root removed, the profile reset.
inline Tovrane::ScrivletPlayer* freshProfile()
{
    fs::create_directories(TestSupport::dataRoot());
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(TestSupport::dataRoot()))
        if (entry.is_regular_file())
            fs::remove(entry.path());
    Tovrane::ScrivletPlayer* player = Tovrane::ScrivletPlayer::getCurrentPlayerData();
    player->load();
    return player;
}

// Byte `at` of a save file, -1 when the file is missing or shorter.
inline int savedByte(const std::string& path, int at)
{
    const std::string bytes = TestSupport::readFile(path);
    return at < static_cast<int>(bytes.size()) ? static_cast<unsigned char>(bytes[at]) : -1;
}

inline void touch(int x, int y, std::uint16_t state)
{
    Vantorel::Kelm::tTouchData data = {};
    data.touchState = state;
    data.x = static_cast<std::int16_t>(x);
    data.y = static_cast<std::int16_t>(y);
    Vantorel::Kelm::CEventMPI::PostTouchEvent(data);
}

inline void buttons(std::uint32_t held)
{
    Vantorel::Kelm::tButtonData2 data = {};
    data.buttonState = held;
    Vantorel::Kelm::CButtonMPI::PostButtonEvent(data);
}

// Lines of a file from the given offset on, moving the offset past them.
inline Lines readOn(const std::string& path, std::streamoff& offset)
{
    std::ifstream in(path);
    in.seekg(offset);
    Lines lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    in.clear();
    in.seekg(0, std::ios::end);
    offset = std::max<std::streamoff>(offset, in.tellg());
    return lines;
}

// A fixture that starts the application in the state `first` makes, on a
// fresh profile, and traces the run.
class Run : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!TestSupport::useGeneratedTitle())
            GTEST_SKIP() << "no generated title, or the system data was configured before";
        player = freshProfile();
        trace = TestSupport::scratchFolder() + "trace.txt";
        ASSERT_TRUE(HostTrace::open(trace));
        logOffset = fs::exists(log()) ? static_cast<std::streamoff>(fs::file_size(log())) : 0;
    }
    void TearDown() override
    {
        harness.reset();
        HostTrace::close();
    }
    // A new run (the one before ends first) in the state `first` makes.
    void start(Tovrane::Application::StateMaker first)
    {
        harness.reset();
        harness.reset(new StateTestSupport::AppHarness(first));
        harness->enter();
        ASSERT_TRUE(harness->settle());
        events();
    }
    // One frame of `ms`; the trace's lines carry the application time.
    void frame(unsigned int ms = 20)
    {
        harness->advance(ms);
        HostTrace::setFrame(++frames, harness->app->getApplicationTime());
        harness->app->Update();
    }
    // Frames until `done` holds (true) or `limit` frames have passed (false);
    // a frame waits for a loading state's loader first, as the host does.
    template <class Done> bool frameUntil(Done done, int limit = 1000)
    {
        for (int i = 0; i < limit && !done(); ++i)
        {
            if (harness->current() && !harness->current()->isLoaded())
                HostWork::waitUntilIdle();
            frame();
        }
        return done();
    }
    // Trace events since the last call, "<event> <detail>" with the state's
    // name, or the file name of a sound or movie; only those that begin with
    // one of `kinds` when it is given; `when` gets their times.
    Lines events(const Lines& kinds = {}, std::vector<unsigned int>* when = nullptr)
    {
        Lines found;
        for (const std::string& line : readOn(trace, traceOffset))
        {
            std::istringstream words(line);
            unsigned int frameNo, time;
            std::string event, detail;
            words >> frameNo >> time >> event;
            std::getline(words >> std::ws, detail);
            if (event == "audio-start" || event == "PushApp")
                detail = detail.substr(detail.find_last_of('/') + 1);
            const std::string text = event + " " + detail;
            bool wanted = kinds.empty() && (event == "audio-start" || event == "PushApp" || event == "enter");
            for (const std::string& kind : kinds)
                wanted = wanted || text.compare(0, kind.size(), kind) == 0;
            if (wanted)
            {
                found.push_back(text);
                if (when)
                    when->push_back(time);
            }
        }
        return found;
    }
    // A tap (press and lift) at a screen point, or buttons pressed and
    // released, in one frame.
    void tap(int x, int y)
    {
        touch(x, y, 1);
        touch(x, y, 0);
        frame();
    }
    void press(std::uint32_t held)
    {
        buttons(held);
        buttons(0);
        frame();
    }
    // Usage-log records since the last call: name and fields, tab-separated.
    Lines logged()
    {
        Lines records;
        for (const std::string& line : readOn(log(), logOffset))
            records.push_back(line.substr(line.find('\t') + 1));
        return records;
    }
    static std::string log() { return CLogFile::Instance()->GetPath().raw(); }
    // The current state when it is of the class and has begun (takes input).
    template <class State> State* current()
    {
        State* state = harness->currentAs<State>();
        return state && state->hasBegun() ? state : nullptr;
    }
    size_t stackSize() { return harness->handler().getStackSize(); }

    Tovrane::ScrivletPlayer* player = nullptr;
    std::unique_ptr<StateTestSupport::AppHarness> harness;
    std::string trace;
    std::streamoff traceOffset = 0;
    std::streamoff logOffset = 0;
    unsigned int frames = 0;
};
}

#endif
