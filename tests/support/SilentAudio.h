#ifndef TESTS_SUPPORT_SILENTAUDIO_H
#define TESTS_SUPPORT_SILENTAUDIO_H

// The real audio player on a mixer of its own whose sink plays nothing,
// driven frame by frame as the host does: the clock moves, completions are
// handed out, then the player updates.

#include "Tovrane/AudioPlayer.h"

#include "CAudioMPI.h"
#include "CAudioMixer.h"

#include <memory>
#include <string>

namespace TestSupport
{
struct SilentAudio
{
    // Made once the title's paths are set; `folder` is searched first, the
    // clock starts at `now`.
    explicit SilentAudio(const std::string& folder, unsigned int now = 0) : player(new Tovrane::AudioPlayer), now(now)
    {
        player->addAudioPath(folder);
    }
    ~SilentAudio()
    {
        player.reset();
        Vantorel::Kelm::CAudioMPI::SetService(previous);
        Tovrane::AudioPlayer::musicVolume = 45;
    }
    void frame(unsigned int milliseconds = 20)
    {
        mixer->AdvanceClock(milliseconds);
        now += milliseconds;
        mixer->DispatchEvents();
        player->update();
    }

    std::shared_ptr<Vantorel::Kelm::CAudioMixer> mixer = std::make_shared<Vantorel::Kelm::CAudioMixer>();
    std::shared_ptr<Vantorel::Kelm::IAudioService> previous = Vantorel::Kelm::CAudioMPI::SetService(mixer);
    std::unique_ptr<Tovrane::AudioPlayer> player;
    unsigned int now = 0;
};
}

#endif
