#ifndef TESTS_PROJECT_LESSONS_TASKSCREENSUPPORT_H
#define TESTS_PROJECT_LESSONS_TASKSCREENSUPPORT_H

// What the host tests of task screens share: an art lesson's state, the
// renderer's peak a run wrote, and the line of a download refused for it.
#include "LessonPlayer.h"

#include "Tovrane/GraphicsRenderer.h"

namespace LessonsTest
{
inline std::unique_ptr<TaskStudioState> artLesson(int location)
{
    return state(TaskType::AdvancedLesson, lessonStems[location - 27], static_cast<LocationName::Type>(location));
}

// The most texture memory a task screen's renderer holds, from the debug
// lines its task studios write at each exit; 0 without one.
inline std::uint64_t texturePeak(const HostRun& run)
{
    std::uint64_t peak = 0;
    for (const TraceLine& line : run.all("debug", "TEXTURE PEAK="))
        peak = std::max<std::uint64_t>(peak, std::stoull(line.detail.substr(line.detail.find('=') + 1)));
    return peak;
}

// The refusal of a download whose screen needs `bytes` of texture memory.
inline std::string pastBudget(std::uint64_t bytes)
{
    return "its pictures need " + std::to_string(bytes) + " bytes of texture memory, more than the " +
           std::to_string(Tovrane::GraphicsRenderer::TextureBudget) + " a task screen has";
}
}

#endif
