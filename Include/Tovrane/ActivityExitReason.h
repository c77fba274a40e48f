#ifndef TOVRANE_ACTIVITYEXITREASON_H
#define TOVRANE_ACTIVITYEXITREASON_H

namespace Tovrane
{
// Why an activity ended; written into the usage log as one byte.
struct ActivityExitReason
{
    enum Type
    {
        Quit = 0,
        Completed = 1
    };
};
}

#endif
