#ifndef TOVRANE_AUDIOEVENTARGS_H
#define TOVRANE_AUDIOEVENTARGS_H

#include "Tovrane/AudioNotification.h"
#include "Tovrane/AudioType.h"

namespace Tovrane
{
// Argument of an audio player's callbacks: the channel and what happened.
struct AudioEventArgs
{
    AudioEventArgs(AudioType::Type type, AudioNotification::Type notification)
        : type(type), notification(notification)
    {
    }

    AudioType::Type type;
    AudioNotification::Type notification;
};
}

#endif
