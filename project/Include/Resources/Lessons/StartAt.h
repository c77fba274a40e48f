#ifndef RESOURCES_STARTAT_H
#define RESOURCES_STARTAT_H

namespace Tovrane
{
// Where a stroke along a traceable line may begin. A file's 2 is kept as
// Anywhere.
struct StartAt
{
    enum Type : int
    {
        EitherEnd = -1,
        StartPoint = 0,
        EndPoint = 1,
        Anywhere = 3
    };
};

typedef StartAt::Type eStartAt;
}

#endif
