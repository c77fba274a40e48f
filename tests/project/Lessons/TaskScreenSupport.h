#ifndef TESTS_PROJECT_LESSONS_TASKSCREENSUPPORT_H
#define TESTS_PROJECT_LESSONS_TASKSCREENSUPPORT_H

// What the host tests of task screens share: an art lesson's state, the
// renderer's peak a run wrote, a script waiting for dashed overlays, and the
// line of a download refused for it.
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

// The script with each step 14 frames later after its event: a line drawn or
// coloured is touched after its dashed overlay's first blink, 250 ms in. A
// screenshot is no touch: it stays where it was asked for.
inline std::string afterTheBlink(std::string script)
{
    for (size_t at = 0; (at = script.find("\n+", at)) != std::string::npos; ++at)
        if (script.compare(script.find(' ', at), 6, " shot ") != 0)
            script.replace(at + 2, script.find(' ', at) - at - 2, std::to_string(std::stoi(script.substr(at + 2)) + 14));
    return script;
}

// The refusal of a download whose screen needs `bytes` of texture memory.
inline std::string pastBudget(std::uint64_t bytes)
{
    return "its pictures need " + std::to_string(bytes) + " bytes of texture memory, more than the " +
           std::to_string(Tovrane::GraphicsRenderer::TextureBudget) + " a task screen has";
}
}

#endif
