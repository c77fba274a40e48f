#ifndef PLATFORM_CAUDIOMPI_H
#define PLATFORM_CAUDIOMPI_H

#include "AudioTypes.h"

#include <glibmm/ustring.h>

#include <memory>

namespace Vantorel
{
namespace Kelm
{
class IAudioService;
class IEventListener;

// The title's face of the audio service. Every CAudioMPI object talks to the
// one service of the process (by default the Ogg mixer, CAudioMixer::Instance).
// Completion events go to the listener given to StartAudio, or, when that is
// null, to the listener given here.
class CAudioMPI
{
public:
    explicit CAudioMPI(IEventListener* defaultListener = nullptr);
    ~CAudioMPI();

    void SetMasterVolume(tAudioVolume volume);
    void SetPriorityPolicy(tPriorityPolicy policy);

    tAudioID StartAudio(const Glib::ustring& path, tAudioPriority priority, tAudioVolume volume, tAudioPan pan,
        IEventListener* listener, tAudioPayload payload, tAudioOptionsFlags flags);
    void StopAudio(tAudioID id, bool noDoneMessage);

    // True while the stream plays (a paused stream still counts as playing);
    // without an id, while any stream of the process plays.
    bool IsAudioPlaying(tAudioID id);
    bool IsAudioPlaying();

    void SetAudioVolume(tAudioID id, tAudioVolume volume);
    void PauseAudioSystem();
    void ResumeAudioSystem();

    // Replaces the service behind every CAudioMPI (tests install a fake; null
    // goes back to the mixer). Returns the service that was in place.
    static std::shared_ptr<IAudioService> SetService(std::shared_ptr<IAudioService> service);
    static std::shared_ptr<IAudioService> GetService();

    CAudioMPI(const CAudioMPI&) = delete;
    CAudioMPI& operator=(const CAudioMPI&) = delete;

private:
    IEventListener* defaultListener;
};
}
}

#endif
