#include "CAudioMPI.h"

#include "CAudioMixer.h"
#include "IAudioService.h"

#include <mutex>

namespace Vantorel
{
namespace Kelm
{
namespace
{
std::mutex serviceMutex;
std::shared_ptr<IAudioService> installed;

std::shared_ptr<IAudioService> service()
{
    std::lock_guard<std::mutex> lock(serviceMutex);
    if (!installed)
        installed = CAudioMixer::Instance();
    return installed;
}
}

CAudioMPI::CAudioMPI(IEventListener* defaultListener) : defaultListener(defaultListener) {}

CAudioMPI::~CAudioMPI() = default;

std::shared_ptr<IAudioService> CAudioMPI::SetService(std::shared_ptr<IAudioService> replacement)
{
    std::lock_guard<std::mutex> lock(serviceMutex);
    std::shared_ptr<IAudioService> previous = installed;
    installed = replacement;
    return previous;
}

std::shared_ptr<IAudioService> CAudioMPI::GetService() { return service(); }

void CAudioMPI::SetMasterVolume(tAudioVolume volume) { service()->SetMasterVolume(volume); }

void CAudioMPI::SetPriorityPolicy(tPriorityPolicy policy) { service()->SetPriorityPolicy(policy); }

tAudioID CAudioMPI::StartAudio(const Glib::ustring& path, tAudioPriority priority, tAudioVolume volume,
    tAudioPan pan, IEventListener* listener, tAudioPayload payload, tAudioOptionsFlags flags)
{
    return service()->StartAudio(path.raw(), priority, volume, pan, listener ? listener : defaultListener, payload,
        flags);
}

void CAudioMPI::StopAudio(tAudioID id, bool noDoneMessage) { service()->StopAudio(id, noDoneMessage); }

bool CAudioMPI::IsAudioPlaying(tAudioID id) { return service()->IsAudioPlaying(id); }

bool CAudioMPI::IsAudioPlaying() { return service()->IsAudioPlaying(); }

void CAudioMPI::SetAudioVolume(tAudioID id, tAudioVolume volume) { service()->SetAudioVolume(id, volume); }

void CAudioMPI::PauseAudioSystem() { service()->PauseAudioSystem(); }

void CAudioMPI::ResumeAudioSystem() { service()->ResumeAudioSystem(); }
}
}
