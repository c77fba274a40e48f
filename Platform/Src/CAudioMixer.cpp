#include "CAudioMixer.h"

#include "CAudioEventMessage.h"
#include "COggStream.h"
#include "HostTrace.h"
#include "IEventListener.h"

#include "EscapeControls.h"

#include <SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

namespace Vantorel
{
namespace Kelm
{
namespace
{
const long kSinkChunkFrames = 1024;
const int kDeviceBufferFrames = 1024;

// Every live mixer, so that a listener being destroyed can withdraw its
// queued events from all of them. Never destroyed: mixers and listeners may
// outlive other statics at process exit.
std::mutex& registryMutex()
{
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

std::set<CAudioMixer*>& registry()
{
    static std::set<CAudioMixer*>* mixers = new std::set<CAudioMixer*>;
    return *mixers;
}

// While SDL looks for a sound device, the sound libraries print their own
// diagnostics on standard error (ALSA lists every configuration it tried);
// the mixer's one line says all a player needs, so they go to /dev/null.
class QuietStandardError
{
public:
    QuietStandardError() : saved(-1)
    {
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0)
            return;
        saved = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
        if (saved >= 0)
            ::dup2(null, 2);
        ::close(null);
    }
    ~QuietStandardError()
    {
        if (saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved;
};

void say(const char* format, const std::string& what, const std::string& why)
{
    std::printf(format, Tovrane::escapeControls(what).c_str(), why.c_str());
    std::fflush(stdout);
}
}

CAudioMixer::CAudioMixer()
{
    std::lock_guard<std::mutex> lock(registryMutex());
    registry().insert(this);
}

CAudioMixer::~CAudioMixer()
{
    closeDevice();
    std::lock_guard<std::mutex> lock(registryMutex());
    registry().erase(this);
}

std::shared_ptr<CAudioMixer> CAudioMixer::Instance()
{
    static std::shared_ptr<CAudioMixer> instance = std::make_shared<CAudioMixer>();
    return instance;
}

namespace
{
// The process's mixer is made when the library loads, under no lock: made by
// its first user, it would join the registry's lock to whatever that user
// holds (a player's lock on a loader thread), while a listener that goes away
// takes the registry's lock and then a mixer's.
[[maybe_unused]] const bool instanceMade = (CAudioMixer::Instance(), true);
}

bool CAudioMixer::OpenDevice()
{
    if (HasDevice())
        return true;
    SDL_AudioDeviceID opened = 0;
    {
        QuietStandardError quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        {
            SDL_AudioSpec wanted;
            SDL_zero(wanted);
            wanted.freq = kOutputRate;
            wanted.format = AUDIO_S16SYS;
            wanted.channels = 2;
            wanted.samples = kDeviceBufferFrames;
            wanted.callback = &CAudioMixer::deviceCallback;
            wanted.userdata = this;
            // SDL converts to whatever the device wants; the mix stays 44100 Hz stereo.
            opened = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
            if (opened == 0)
            {
                const std::string why = SDL_GetError();
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                SDL_SetError("%s", why.c_str());
            }
        }
    }
    if (opened == 0)
    {
        std::printf("Audio: no sound device (%s); playing silently\n", SDL_GetError());
        std::fflush(stdout);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        device = opened;
        clock = Clock::Device;
    }
    SDL_PauseAudioDevice(opened, 0);
    return true;
}

void CAudioMixer::closeDevice()
{
    std::uint32_t closing;
    {
        std::lock_guard<std::mutex> lock(mutex);
        closing = device;
    }
    if (closing == 0)
        return;
    // Closing waits for the callback, which takes the mutex: not held here.
    SDL_CloseAudioDevice(closing);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    std::lock_guard<std::mutex> lock(mutex);
    device = 0;
    // Streams that were draining have been heard by now.
    for (auto it = streams.begin(); it != streams.end();)
    {
        auto next = std::next(it);
        if (it->second.draining)
            completeLocked(it->first, it->second);
        it = next;
    }
}

bool CAudioMixer::HasDevice() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return device != 0;
}

void CAudioMixer::UseVirtualClock()
{
    closeDevice();
    std::lock_guard<std::mutex> lock(mutex);
    clock = Clock::Virtual;
    clockMilliseconds = 0;
    framesConsumed = 0;
}

void CAudioMixer::UseRealTimeClock()
{
    closeDevice();
    std::lock_guard<std::mutex> lock(mutex);
    clock = Clock::RealTime;
    realTimeStart = std::chrono::steady_clock::now();
    framesConsumed = 0;
}

void CAudioMixer::AdvanceClock(unsigned int milliseconds)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (clock != Clock::Virtual)
        return;
    clockMilliseconds += milliseconds;
    // Frames follow the total time, so rounding never accumulates.
    std::uint64_t target = clockMilliseconds * kOutputRate / 1000;
    consumeLocked(static_cast<long>(target - framesConsumed));
    framesConsumed = target;
}

int CAudioMixer::DispatchEvents()
{
    std::lock_guard<std::recursive_mutex> dispatching(dispatchMutex);
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (clock == Clock::RealTime)
        {
            auto elapsed = std::chrono::steady_clock::now() - realTimeStart;
            auto micro = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
            std::uint64_t target = static_cast<std::uint64_t>(micro) * kOutputRate / 1000000;
            if (target > framesConsumed)
            {
                consumeLocked(static_cast<long>(target - framesConsumed));
                framesConsumed = target;
            }
        }
    }
    int delivered = 0;
    for (;;)
    {
        Event event;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (events.empty())
                break;
            event = events.front();
            events.pop_front();
        }
        // The listener runs without the mixer's lock: it may start or stop
        // streams. A listener destroyed meanwhile has withdrawn its events.
        HostTrace::write("audio-complete", std::to_string(event.id));
        CAudioEventMessage message(kAudioCompletedEvent, event.id, event.payload);
        event.listener->Notify(message);
        ++delivered;
    }
    return delivered;
}

void CAudioMixer::consumeLocked(long frames)
{
    if (frames <= 0 || paused)
        return;
    mixBuffer.resize(static_cast<size_t>(kSinkChunkFrames) * 2);
    while (frames > 0)
    {
        long chunk = std::min(frames, kSinkChunkFrames);
        mixLocked(mixBuffer.data(), chunk);
        frames -= chunk;
    }
}

void CAudioMixer::mixLocked(float* mix, long frames)
{
    std::fill(mix, mix + frames * 2, 0.0f);
    for (auto it = streams.begin(); it != streams.end();)
    {
        auto next = std::next(it);
        Stream& stream = it->second;
        if (!stream.draining)
        {
            float gain = (stream.volume / 127.0f) * (masterVolume / 127.0f);
            stream.ogg->render(mix, frames, gain);
            if (stream.ogg->finished())
            {
                // On a device the last samples are still to be heard.
                if (clock == Clock::Device)
                    stream.draining = true;
                else
                    completeLocked(it->first, stream);
            }
        }
        it = next;
    }
}

void CAudioMixer::completeLocked(tAudioID id, Stream& stream)
{
    if ((stream.flags & kAudioOptionsDoneMsgAfterComplete) && stream.listener &&
        stream.listener->IsListeningTo(kAudioCompletedEvent))
        events.push_back(Event{stream.listener, id, stream.payload});
    streams.erase(id);
}

void CAudioMixer::deviceCallback(void* userdata, std::uint8_t* bytes, int length)
{
    CAudioMixer* self = static_cast<CAudioMixer*>(userdata);
    long frames = length / static_cast<int>(2 * sizeof(Sint16));
    Sint16* out = reinterpret_cast<Sint16*>(bytes);
    std::lock_guard<std::mutex> lock(self->mutex);

    // What the previous buffer finished has been played by now.
    for (auto it = self->streams.begin(); it != self->streams.end();)
    {
        auto next = std::next(it);
        if (it->second.draining)
            self->completeLocked(it->first, it->second);
        it = next;
    }

    if (self->paused)
    {
        std::fill(out, out + frames * 2, static_cast<Sint16>(0));
        return;
    }
    self->mixBuffer.resize(static_cast<size_t>(frames) * 2);
    self->mixLocked(self->mixBuffer.data(), frames);
    for (long i = 0; i < frames * 2; ++i)
    {
        float sample = std::max(-1.0f, std::min(1.0f, self->mixBuffer[i]));
        out[i] = static_cast<Sint16>(sample * 32767.0f);
    }
}

void CAudioMixer::SetMasterVolume(tAudioVolume volume)
{
    std::lock_guard<std::mutex> lock(mutex);
    masterVolume = std::min<tAudioVolume>(volume, 127);
}

void CAudioMixer::SetPriorityPolicy(tPriorityPolicy policy)
{
    // Streams are mixed without a voice limit, so no stream is ever dropped
    // for a higher one; the policy is kept for what it is.
    std::lock_guard<std::mutex> lock(mutex);
    priorityPolicy = policy;
}

tAudioID CAudioMixer::StartAudio(const std::string& path, tAudioPriority priority, tAudioVolume volume,
    tAudioPan /*pan*/, IEventListener* listener, tAudioPayload payload, tAudioOptionsFlags flags)
{
    // The file is opened without the lock, so the device is not held up.
    std::unique_ptr<COggStream> ogg(new COggStream);
    std::string error;
    switch (ogg->open(path, kOutputRate, (flags & kAudioOptionsLooped) != 0, error))
    {
    case COggStream::OpenResult::Opened:
        break;
    case COggStream::OpenResult::Missing:
        // Callers probe several folders in turn; this goes to the debug text.
        std::fprintf(stderr, "Audio: no file %s (%s)\n", Tovrane::escapeControls(path).c_str(), error.c_str());
        return kNoAudioID;
    case COggStream::OpenResult::Undecodable:
        say("Audio: cannot play %s: %s\n", path, error);
        return kNoAudioID;
    }

    std::lock_guard<std::mutex> lock(mutex);
    tAudioID id = nextID++;
    if (nextID == kNoAudioID)
        nextID = 1;
    Stream& stream = streams[id];
    stream.ogg = std::move(ogg);
    stream.priority = priority;
    stream.volume = std::min<tAudioVolume>(volume, 127);
    stream.listener = listener;
    stream.payload = payload;
    stream.flags = flags;
    HostTrace::write("audio-start", std::to_string(id) + " " + path);
    return id;
}

void CAudioMixer::StopAudio(tAudioID id, bool /*noDoneMessage*/)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (streams.erase(id) != 0)
        HostTrace::write("audio-stop", std::to_string(id));
}

bool CAudioMixer::IsAudioPlaying(tAudioID id)
{
    std::lock_guard<std::mutex> lock(mutex);
    return streams.count(id) != 0;
}

bool CAudioMixer::IsAudioPlaying()
{
    std::lock_guard<std::mutex> lock(mutex);
    return !streams.empty();
}

void CAudioMixer::SetAudioVolume(tAudioID id, tAudioVolume volume)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = streams.find(id);
    if (it != streams.end())
        it->second.volume = std::min<tAudioVolume>(volume, 127);
}

void CAudioMixer::PauseAudioSystem()
{
    std::lock_guard<std::mutex> lock(mutex);
    paused = true;
}

void CAudioMixer::ResumeAudioSystem()
{
    std::lock_guard<std::mutex> lock(mutex);
    paused = false;
}

void CAudioMixer::forget(const IEventListener* listener)
{
    // Waits for a delivery in progress on another thread to end.
    std::lock_guard<std::recursive_mutex> dispatching(dispatchMutex);
    std::lock_guard<std::mutex> lock(mutex);
    events.erase(std::remove_if(events.begin(), events.end(),
                     [listener](const Event& event) { return event.listener == listener; }),
        events.end());
    for (auto& entry : streams)
    {
        if (entry.second.listener == listener)
            entry.second.listener = nullptr;
    }
}

void CAudioMixer::ForgetListener(const IEventListener* listener)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    for (CAudioMixer* mixer : registry())
        mixer->forget(listener);
}
}
}
