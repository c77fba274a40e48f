#ifndef PLATFORM_CAUDIOMIXER_H
#define PLATFORM_CAUDIOMIXER_H

#include "IAudioService.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace Vantorel
{
namespace Kelm
{
class COggStream;

// The process's audio: Ogg Vorbis streams mixed at 44100 Hz stereo, either
// into an SDL2 audio device or into a silent sink that consumes samples on a
// clock. The sink starts on a virtual clock that only moves with AdvanceClock
// (tests, fixed-step runs); UseRealTimeClock makes it follow the real time
// instead, and OpenDevice plays through SDL when there is a sound device.
//
// A one-shot stream completes when its last sample has been played (in the
// sink: consumed by the clock; on a device: handed to the device, reported
// one device buffer later). Completion events are queued and handed to the
// listeners only by DispatchEvents, which the host calls on its own thread
// once per frame before the title's Update.
class CAudioMixer : public IAudioService
{
public:
    static const int kOutputRate = 44100;

    CAudioMixer();
    ~CAudioMixer() override;

    // The mixer behind CAudioMPI unless a test has installed another service.
    static std::shared_ptr<CAudioMixer> Instance();

    // Host controls.
    bool OpenDevice();           // SDL2 audio; false (with a message) leaves the sink in place
    void UseVirtualClock();      // silent sink, moved only by AdvanceClock
    void UseRealTimeClock();     // silent sink, moved by the real time at each DispatchEvents
    void AdvanceClock(unsigned int milliseconds);
    int DispatchEvents();        // returns how many events were handed out
    bool HasDevice() const;

    // IAudioService
    void SetMasterVolume(tAudioVolume volume) override;
    void SetPriorityPolicy(tPriorityPolicy policy) override;
    tAudioID StartAudio(const std::string& path, tAudioPriority priority, tAudioVolume volume, tAudioPan pan,
        IEventListener* listener, tAudioPayload payload, tAudioOptionsFlags flags) override;
    void StopAudio(tAudioID id, bool noDoneMessage) override;
    bool IsAudioPlaying(tAudioID id) override;
    bool IsAudioPlaying() override;
    void SetAudioVolume(tAudioID id, tAudioVolume volume) override;
    void PauseAudioSystem() override;
    void ResumeAudioSystem() override;

    // Withdraws every queued event of a listener that is being destroyed, in
    // every mixer of the process (called by ~IEventListener).
    static void ForgetListener(const IEventListener* listener);

    CAudioMixer(const CAudioMixer&) = delete;
    CAudioMixer& operator=(const CAudioMixer&) = delete;

private:
    enum class Clock
    {
        Virtual,
        RealTime,
        Device,
    };

    struct Stream
    {
        std::unique_ptr<COggStream> ogg;
        tAudioPriority priority = 0;
        tAudioVolume volume = 0;
        IEventListener* listener = nullptr;
        tAudioPayload payload = 0;
        tAudioOptionsFlags flags = 0;
        bool draining = false; // all samples handed to the device; completes at the next buffer
    };

    struct Event
    {
        IEventListener* listener;
        tAudioID id;
        tAudioPayload payload;
    };

    static void deviceCallback(void* mixer, std::uint8_t* bytes, int length);
    void mixLocked(float* mix, long frames);
    void completeLocked(tAudioID id, Stream& stream);
    void consumeLocked(long frames);
    void closeDevice();
    void forget(const IEventListener* listener);

    mutable std::mutex mutex;             // streams, events, clock
    std::recursive_mutex dispatchMutex;   // held while listeners run
    std::map<tAudioID, Stream> streams;
    std::deque<Event> events;
    tAudioID nextID = 1;
    tAudioVolume masterVolume = 127;
    tPriorityPolicy priorityPolicy = 0;
    bool paused = false;

    Clock clock = Clock::Virtual;
    std::uint64_t clockMilliseconds = 0;  // virtual time consumed so far
    std::uint64_t framesConsumed = 0;     // sink frames consumed on that clock
    std::chrono::steady_clock::time_point realTimeStart;
    std::uint32_t device = 0;
    std::vector<float> mixBuffer;
};
}
}

#endif
