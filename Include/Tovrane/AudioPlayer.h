#ifndef TOVRANE_AUDIOPLAYER_H
#define TOVRANE_AUDIOPLAYER_H

#include "Tovrane/AudioEventArgs.h"
#include "Tovrane/AudioNotification.h"
#include "Tovrane/AudioType.h"
#include "Tovrane/BaseAudio.h"
#include "Tovrane/Event.h"

#include "AudioTypes.h"
#include "CAudioMPI.h"
#include "IEventListener.h"

#include <boost/shared_ptr.hpp>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace Tovrane
{
// Music, speech and sound effects of one game state, on the process's one
// platform audio service. Each channel holds one sound; a start stops the
// sound before it. Every start may hand over a one-shot callback, which is
// called once: with Completed at the first update after the sound has ended,
// or with Stopped when the channel is stopped or the sound replaced (or, at
// the next update, when its file could not be found).
//
// Callbacks run on the main thread only. Starts, stops and volume changes may
// also come from a loader thread: one lock guards the channels, and it is
// never held while a callback runs.
class AudioPlayer
{
public:
    typedef Event<void, const AudioEventArgs&> AudioEvent;
    typedef AudioEvent::BaseDelegate BaseDelegate;
    typedef Vantorel::Kelm::tAudioID tAudioID;

    // Receives the platform's completion events and records them on the
    // player; never calls a callback itself.
    class AudioEventListener : public Vantorel::Kelm::IEventListener
    {
    public:
        explicit AudioEventListener(AudioPlayer* player);
        ~AudioEventListener() override;
        Vantorel::Kelm::tEventStatus Notify(const Vantorel::Kelm::IEventMessage& message) override;

    private:
        static const Vantorel::Kelm::tEventType listenTo[1];
        AudioPlayer* player;
    };

    // The volume every music start uses (the options menu sets 30 to 60).
    static std::atomic<std::uint8_t> musicVolume;

    AudioPlayer();
    virtual ~AudioPlayer();

    // The one platform service of the process, made on first use.
    static boost::shared_ptr<Vantorel::Kelm::CAudioMPI> getInstance();

    // Adds a folder to search; folders added last are searched first. A
    // folder added again is moved to the front rather than searched twice.
    void addAudioPath(const std::string& directory);

    // Start a sound on a channel and return its id (-1 when none started).
    // The player owns the callback from now on; null for none.
    tAudioID playMusic(const std::string& file, BaseDelegate* callback = nullptr);
    tAudioID playSpeech(const std::string& file, BaseDelegate* callback = nullptr);
    tAudioID playSfx(const std::string& file, BaseDelegate* callback = nullptr);
    void playSfx(BaseAudio::Type sound, BaseDelegate* callback = nullptr);

    void stopMusic();
    void stopSpeech();
    void stopSfx();
    void stopAudio(tAudioID id);
    // Stops the three channels' sounds without calling any callback.
    void stopAllAudio();
    void pauseAllAudio();
    void resumeAllAudio();

    bool isAudioPlaying();
    bool isAudioPlaying(tAudioID id);
    bool isMusicPlaying();
    bool isSpeechPlaying();
    bool isSfxPlaying();

    // The name of the line being spoken, or the empty string once it ended.
    std::string getCurrentSpeechFile();

    void setMusicVolume(std::uint8_t volume);

    // Runs the callbacks of what completed since the last update: music,
    // then sound effects, then speech.
    void update();

    // Records a completion reported by the platform (any thread). An id that
    // matches no channel, such as a late completion of a replaced sound, is
    // ignored.
    void onAudioCompleted(tAudioID id);

    // Starts a file from the search folders, last added first; prints
    // "Could not find file " and the name when none has it.
    tAudioID playAudio(const std::string& file, std::uint8_t priority, std::uint8_t volume, bool loop);

    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

private:
    struct Channel
    {
        tAudioID id = Vantorel::Kelm::kNoAudioID;
        AudioEvent event;
        AudioNotification::Type pending = AudioNotification::None;
    };

    tAudioID start(AudioType::Type type, const std::string& file, BaseDelegate* callback);
    void stop(AudioType::Type type);
    bool isChannelPlaying(AudioType::Type type);
    tAudioID playAudioLocked(const std::string& file, std::uint8_t priority, std::uint8_t volume, bool loop);
    // Calls the delegates of a list taken off its channel; they are released
    // with the list.
    static void onEvent(AudioType::Type type, AudioNotification::Type notification, AudioEvent& event);

    static boost::shared_ptr<Vantorel::Kelm::CAudioMPI> audioInstance;

    std::mutex mutex; // guards everything below
    std::vector<std::string> searchPaths;
    std::string currentSpeechFile;
    Channel channels[3]; // indexed by AudioType::Type
    AudioEventListener* listener;
};
}

#endif
