#include "Resources/Dialogs/AudioList.h"

#include "Tovrane/AudioPlayer.h"

namespace Tovrane
{
AudioList::AudioList() : audioPlayer(nullptr), index(0), started(false) {}

AudioList::~AudioList() = default;

void AudioList::init(const std::vector<std::string>& files)
{
    speechFiles = files;
    reset();
}

void AudioList::update()
{
    if (!audioPlayer || isDone())
        return;
    if (!started)
    {
        audioPlayer->playSpeech(speechFiles[static_cast<size_t>(index)]);
        started = true;
    }
    else if (!audioPlayer->isSpeechPlaying())
    {
        started = false;
        ++index;
    }
}

bool AudioList::isDone() const { return index >= static_cast<int>(speechFiles.size()); }

void AudioList::reset()
{
    index = 0;
    started = false;
}
}
