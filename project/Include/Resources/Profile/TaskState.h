#ifndef RESOURCES_TASKSTATE_H
#define RESOURCES_TASKSTATE_H

namespace Tovrane
{
// Progress of a town location or a lesson, stored as an int in the save files.
struct TaskState
{
    enum Type : int
    {
        Locked = 0,
        Available = 1,
        Started = 2,
        Complete = 3
    };
};
}

#endif
