#ifndef RESOURCES_TASKTYPE_H
#define RESOURCES_TASKTYPE_H

namespace Tovrane
{
// The kinds of guided drawing activity a task studio runs.
struct TaskType
{
    enum Type : int
    {
        WritingLesson = 0,
        LocationTask = 1,
        LetterTask = 2,
        WritingSubLesson = 3,
        AdvancedLesson = 4
    };
};

typedef TaskType::Type eTaskType;

// Tasks that trace letters and digits: writing lessons, their sub-lessons and letter tasks.
inline bool isWritingTask(eTaskType type)
{
    return type == TaskType::WritingLesson || type == TaskType::LetterTask || type == TaskType::WritingSubLesson;
}
}

#endif
