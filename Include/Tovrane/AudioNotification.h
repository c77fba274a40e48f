#ifndef TOVRANE_AUDIONOTIFICATION_H
#define TOVRANE_AUDIONOTIFICATION_H

namespace Tovrane
{
// What an audio callback is told about its sound.
struct AudioNotification
{
    enum Type : int
    {
        None = 0,      // nothing pending
        Completed = 1, // played to its end
        Stopped = 2,   // stopped, replaced, or it could not be started
    };
};
}

#endif
