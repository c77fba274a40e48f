#ifndef PLATFORM_IAUDIOSERVICE_H
#define PLATFORM_IAUDIOSERVICE_H

#include "AudioTypes.h"

#include <string>

namespace Vantorel
{
namespace Kelm
{
class IEventListener;

// What stands behind CAudioMPI: the process's mixer (CAudioMixer), or a fake
// installed by a test with CAudioMPI::SetService.
class IAudioService
{
public:
    virtual ~IAudioService() = default;

    virtual void SetMasterVolume(tAudioVolume volume) = 0;
    virtual void SetPriorityPolicy(tPriorityPolicy policy) = 0;

    // Starts an Ogg Vorbis file; returns its new id, or kNoAudioID when the
    // file is missing (a line on standard error: callers probe several
    // folders) or cannot be decoded (a line on standard output). The listener
    // (may be null) gets the stream's completion when the flags ask for it.
    // The payload comes back in the completion; pan is always centre here.
    virtual tAudioID StartAudio(const std::string& path, tAudioPriority priority, tAudioVolume volume,
        tAudioPan pan, IEventListener* listener, tAudioPayload payload, tAudioOptionsFlags flags) = 0;

    // Ends a stream at once; no completion event results from it. Unknown or
    // finished ids are ignored.
    virtual void StopAudio(tAudioID id, bool noDoneMessage) = 0;

    virtual bool IsAudioPlaying(tAudioID id) = 0;
    virtual bool IsAudioPlaying() = 0;

    virtual void SetAudioVolume(tAudioID id, tAudioVolume volume) = 0;
    virtual void PauseAudioSystem() = 0;
    virtual void ResumeAudioSystem() = 0;
};
}
}

#endif
