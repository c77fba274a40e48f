#ifndef TOVRANE_ACTIVITYEXITREASON_H
#define TOVRANE_ACTIVITYEXITREASON_H

namespace Tovrane
{
// Why an activity ended; written into the usage log as one byte. Callers may
// pass any byte value, so the enumeration is byte-sized.
struct ActivityExitReason
{
    enum Type : unsigned char
    {
        Quit = 0,
        Completed = 1,
        // The child confirmed a quit question.
        QuitByChild = 3,
        // Left unfinished some other way (the application closed).
        Unfinished = 5
    };
};
}

#endif
