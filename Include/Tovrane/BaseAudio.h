#ifndef TOVRANE_BASEAUDIO_H
#define TOVRANE_BASEAUDIO_H

namespace Tovrane
{
// The built-in interface sounds, played on the sound-effect channel.
struct BaseAudio
{
    enum Type : int
    {
        WrongAnswer = 0,
        DeadClick = 1,
        CorrectAnswer = 2,
        AchievementNotification = 3,
        Limit = 4,
    };
};
}

#endif
