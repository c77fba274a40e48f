#include "Tovrane/AudioPlayer.h"

#include "EscapeControls.h"
#include "Tovrane/System.h"

#include "CAudioEventMessage.h"
#include "CSystemData.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace Tovrane
{
using namespace Vantorel::Kelm;

namespace
{
// Priorities rank music over speech over sound effects.
const std::uint8_t kMusicPriority = 201;
const std::uint8_t kSpeechPriority = 101;
const std::uint8_t kSfxPriority = 51;
const std::uint8_t kFullVolume = 127;

const tAudioPayload kLoopPayload = 0x40000000u;
const tAudioOptionsFlags kLoopFlags = kAudioOptionsDoneMsgAfterComplete | kAudioOptionsLooped;
const tAudioOptionsFlags kOnceFlags = kAudioOptionsDoneMsgAfterComplete;

const char* const baseAudioFiles[] = {
    "h_KROM_WrongAnswerSfx_6.ogg",
    "h_KROM_DeadClickSfx_6.ogg",
    "h_KROM_CorrectAnswerSfx_6.ogg",
    "h_KROM_AchievementNtfctnSfx_6.ogg",
    "h_KROM_LimitSfx_6.ogg",
};

std::mutex instanceMutex;
}

const tEventType AudioPlayer::AudioEventListener::listenTo[1] = {kAllAudioEvents};

std::atomic<std::uint8_t> AudioPlayer::musicVolume(45);
boost::shared_ptr<CAudioMPI> AudioPlayer::audioInstance;

AudioPlayer::AudioEventListener::AudioEventListener(AudioPlayer* player)
    : IEventListener(listenTo, 1), player(player)
{
}

AudioPlayer::AudioEventListener::~AudioEventListener() = default;

tEventStatus AudioPlayer::AudioEventListener::Notify(const IEventMessage& message)
{
    if (message.GetEventType() != kAudioCompletedEvent)
        return kEventStatusOK;
    const CAudioEventMessage* audio = dynamic_cast<const CAudioEventMessage*>(&message);
    if (audio)
        player->onAudioCompleted(audio->GetAudioID());
    return kEventStatusOKConsumed;
}

AudioPlayer::AudioPlayer() : listener(new AudioEventListener(this))
{
    searchPaths.push_back(CSystemData::Instance()->GetUniversalAudioPath().raw());
    searchPaths.push_back(System::getPath() + "audio/");
}

AudioPlayer::~AudioPlayer()
{
    tAudioID ids[3];
    {
        std::lock_guard<std::mutex> lock(mutex);
        ids[0] = channels[AudioType::Music].id;
        ids[1] = channels[AudioType::Speech].id;
        ids[2] = channels[AudioType::Sfx].id;
    }
    for (tAudioID id : ids)
    {
        if (id != kNoAudioID)
            getInstance()->StopAudio(id, false);
    }
    // Withdraws any completion still queued for this player; the callback
    // lists go with the channels, uncalled.
    delete listener;
}

boost::shared_ptr<CAudioMPI> AudioPlayer::getInstance()
{
    std::lock_guard<std::mutex> lock(instanceMutex);
    if (!audioInstance)
    {
        audioInstance.reset(new CAudioMPI(nullptr));
        audioInstance->SetMasterVolume(127);
        audioInstance->SetPriorityPolicy(1);
    }
    return audioInstance;
}

void AudioPlayer::addAudioPath(const std::string& directory)
{
    std::lock_guard<std::mutex> lock(mutex);
    // A folder added again (a task entered anew) is searched first, once.
    searchPaths.erase(std::remove(searchPaths.begin(), searchPaths.end(), directory), searchPaths.end());
    searchPaths.push_back(directory);
}

AudioPlayer::tAudioID AudioPlayer::playMusic(const std::string& file, BaseDelegate* callback)
{
    return start(AudioType::Music, file, callback);
}

AudioPlayer::tAudioID AudioPlayer::playSpeech(const std::string& file, BaseDelegate* callback)
{
    return start(AudioType::Speech, file, callback);
}

AudioPlayer::tAudioID AudioPlayer::playSfx(const std::string& file, BaseDelegate* callback)
{
    return start(AudioType::Sfx, file, callback);
}

void AudioPlayer::playSfx(BaseAudio::Type sound, BaseDelegate* callback)
{
    // A value outside the table names no file: nothing plays.
    int index = static_cast<int>(sound);
    bool known = index >= 0 && index < static_cast<int>(sizeof baseAudioFiles / sizeof baseAudioFiles[0]);
    start(AudioType::Sfx, known ? baseAudioFiles[index] : "", callback);
}

AudioPlayer::tAudioID AudioPlayer::start(AudioType::Type type, const std::string& file, BaseDelegate* callback)
{
    std::unique_lock<std::mutex> lock(mutex);
    Channel& channel = channels[type];

    // Stop what plays and tell its callbacks they were cut off, before the new
    // sound starts. The list is taken off the channel first; if a callback
    // started something here meanwhile, that is stopped in the next round.
    for (;;)
    {
        stopAudio(channel.id);
        channel.pending = AudioNotification::None;
        AudioEvent replaced;
        std::swap(replaced, channel.event);
        if (replaced.getDelegateQuantity() == 0)
            break;
        lock.unlock();
        onEvent(type, AudioNotification::Stopped, replaced);
        lock.lock();
    }

    if (callback)
        channel.event += callback;
    if (type == AudioType::Speech)
        currentSpeechFile = file;

    tAudioID id;
    switch (type)
    {
    case AudioType::Music:
        id = playAudioLocked(file, kMusicPriority, musicVolume.load(), true);
        break;
    case AudioType::Speech:
        id = playAudioLocked(file, kSpeechPriority, kFullVolume, false);
        break;
    default:
        id = playAudioLocked(file, kSfxPriority, kFullVolume, false);
        break;
    }
    channel.id = id;
    // A file that could not be found ends at once: its callback hears so at
    // the next update.
    if (id == kNoAudioID && !file.empty())
        channel.pending = AudioNotification::Stopped;
    return id;
}

AudioPlayer::tAudioID AudioPlayer::playAudio(
    const std::string& file, std::uint8_t priority, std::uint8_t volume, bool loop)
{
    std::lock_guard<std::mutex> lock(mutex);
    return playAudioLocked(file, priority, volume, loop);
}

AudioPlayer::tAudioID AudioPlayer::playAudioLocked(
    const std::string& file, std::uint8_t priority, std::uint8_t volume, bool loop)
{
    if (file.empty())
        return kNoAudioID;
    tAudioPayload payload = loop ? kLoopPayload : 0;
    tAudioOptionsFlags flags = loop ? kLoopFlags : kOnceFlags;
    boost::shared_ptr<CAudioMPI> audio = getInstance();
    for (auto path = searchPaths.rbegin(); path != searchPaths.rend(); ++path)
    {
        tAudioID id = audio->StartAudio(Glib::ustring(*path + file), priority, volume, 0, listener, payload, flags);
        if (id != kNoAudioID)
            return id;
    }
    std::cout << "Could not find file " << escapeControls(file) << std::endl;
    return kNoAudioID;
}

void AudioPlayer::stop(AudioType::Type type)
{
    AudioEvent stopped;
    {
        std::lock_guard<std::mutex> lock(mutex);
        Channel& channel = channels[type];
        stopAudio(channel.id);
        channel.pending = AudioNotification::None;
        std::swap(stopped, channel.event);
    }
    onEvent(type, AudioNotification::Stopped, stopped);
}

void AudioPlayer::stopMusic() { stop(AudioType::Music); }

void AudioPlayer::stopSpeech() { stop(AudioType::Speech); }

void AudioPlayer::stopSfx() { stop(AudioType::Sfx); }

void AudioPlayer::stopAudio(tAudioID id)
{
    if (id == kNoAudioID)
        return;
    boost::shared_ptr<CAudioMPI> audio = getInstance();
    if (audio->IsAudioPlaying(id))
        audio->StopAudio(id, false);
}

void AudioPlayer::stopAllAudio()
{
    std::lock_guard<std::mutex> lock(mutex);
    const AudioType::Type order[] = {AudioType::Music, AudioType::Speech, AudioType::Sfx};
    for (AudioType::Type type : order)
    {
        if (channels[type].id != kNoAudioID)
            getInstance()->StopAudio(channels[type].id, false);
    }
}

void AudioPlayer::pauseAllAudio() { getInstance()->PauseAudioSystem(); }

void AudioPlayer::resumeAllAudio() { getInstance()->ResumeAudioSystem(); }

bool AudioPlayer::isAudioPlaying() { return getInstance()->IsAudioPlaying(); }

bool AudioPlayer::isAudioPlaying(tAudioID id) { return getInstance()->IsAudioPlaying(id); }

bool AudioPlayer::isChannelPlaying(AudioType::Type type)
{
    tAudioID id;
    {
        std::lock_guard<std::mutex> lock(mutex);
        id = channels[type].id;
    }
    return isAudioPlaying(id);
}

bool AudioPlayer::isMusicPlaying() { return isChannelPlaying(AudioType::Music); }

bool AudioPlayer::isSpeechPlaying() { return isChannelPlaying(AudioType::Speech); }

bool AudioPlayer::isSfxPlaying() { return isChannelPlaying(AudioType::Sfx); }

std::string AudioPlayer::getCurrentSpeechFile()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!getInstance()->IsAudioPlaying(channels[AudioType::Speech].id))
        currentSpeechFile.clear();
    return currentSpeechFile;
}

void AudioPlayer::setMusicVolume(std::uint8_t volume)
{
    std::lock_guard<std::mutex> lock(mutex);
    musicVolume = volume;
    tAudioID id = channels[AudioType::Music].id;
    boost::shared_ptr<CAudioMPI> audio = getInstance();
    if (audio->IsAudioPlaying(id))
        audio->SetAudioVolume(id, volume);
}

void AudioPlayer::update()
{
    const AudioType::Type order[] = {AudioType::Music, AudioType::Sfx, AudioType::Speech};
    for (AudioType::Type type : order)
    {
        AudioEvent fired;
        AudioNotification::Type notification;
        {
            std::lock_guard<std::mutex> lock(mutex);
            Channel& channel = channels[type];
            notification = channel.pending;
            if (notification == AudioNotification::None)
                continue;
            channel.pending = AudioNotification::None;
            // Taken off the channel, so a callback that starts a new sound
            // here keeps the callback it gives with it.
            std::swap(fired, channel.event);
        }
        onEvent(type, notification, fired);
    }
}

void AudioPlayer::onAudioCompleted(tAudioID id)
{
    if (id == kNoAudioID)
        return;
    std::lock_guard<std::mutex> lock(mutex);
    const AudioType::Type order[] = {AudioType::Speech, AudioType::Sfx, AudioType::Music};
    for (AudioType::Type type : order)
    {
        if (channels[type].id == id)
        {
            channels[type].pending = AudioNotification::Completed;
            return;
        }
    }
}

void AudioPlayer::onEvent(AudioType::Type type, AudioNotification::Type notification, AudioEvent& event)
{
    if (notification == AudioNotification::None || event.getDelegateQuantity() == 0)
        return;
    event(AudioEventArgs(type, notification));
}
}
