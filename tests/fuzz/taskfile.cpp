// Reads arbitrary bytes as a picture of a download's own, walked by the
// entry check, and as a task file of every kind, and as a download's. A
// refused file runs nothing; an accepted one has sample points on every traced
// line, which are then judged with a few touches, some of them taken from the
// bytes; an accepted download names no file outside its folder, no name
// with a control character and no name part longer than the file system
// takes (a sheet's name counted with its ".tex"), and its entry check looks every
// name up without throwing: the title's pictures hold a folder that cannot be
// searched (as root, which may search every folder, it can) and a link loop,
// which no name can be looked up through.
#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Profile/TaskDownload.h"

#include "ProfileFuzzFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace Tovrane;

namespace
{
std::string title;
std::string download;

void check(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "task reading went wrong: %s\n", what);
        std::abort();
    }
}

void write(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    check(file != nullptr, "no scratch file");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    title = makeProfileFuzzFolder("taskfile") + "/title/";
    download = title + "download/";
    std::filesystem::create_directories(download + "images");
    std::filesystem::create_directories(title + "images/locked");
    std::filesystem::permissions(title + "images/locked", std::filesystem::perms::none);
    std::filesystem::create_directory_symlink("loop", title + "images/loop");
    // Registered after the removal of the folder, so run before it: a folder
    // that may not be read cannot be emptied.
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::permissions(title + "images/locked", std::filesystem::perms::owner_all, ignored);
    });
    // Refusals and judging report on standard output.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The bytes as a picture of the download's own, walked chunk by chunk: a
    // whole one takes no more than the largest picture at 4 bytes a pixel.
    write(download + "images/fuzz.png", data, size);
    TaskDownload::PictureShape shape;
    if (TaskDownload::pictureFault(download + "images/fuzz.png", &shape).empty())
        check(shape.bytes() > 0 && shape.bytes() <= GraphicsRenderer::PictureBudget, "a whole picture of no size or too large");

    write(title + "fuzz.task", data, size);
    write(download + "dlc.task", data, size);
    {
        TaskStudioState downloaded(download);
        if (!downloaded.getTask()->isRefused())
        {
            // As the game checks them: a sheet by its name with ".tex", so
            // that ".." names "metadata/...tex", inside the folder.
            typedef Task::NamedFile::Kind Kind;
            for (const Task::NamedFile& named : downloaded.getTask()->namedFiles())
            {
                const bool sheet = named.kind == Kind::Sheet || named.kind == Kind::CharacterSheet;
                check(TaskDownload::nameFault(sheet ? named.name + ".tex" : named.name).empty(),
                      "a download naming a file it may not");
            }
            downloaded.hasAssets();
        }
    }

    for (int kind = 0; kind <= 4; ++kind)
    {
        const LocationName::Type where = static_cast<LocationName::Type>(kind == 1 ? 4 : kind == 4 ? 46 : 26);
        TaskStudioState state(static_cast<eTaskType>(kind), "fuzz.task", where);
        Task& task = *state.getTask();
        if (task.isRefused())
            continue;
        check(!task.lines.empty(), "an accepted task without lines");
        for (size_t i = 0; i < task.lines.size(); ++i)
        {
            const TaskLine& line = task.lines[i];
            const size_t n = line.allPoints.size();
            check(!line.isTracing() || n >= 2, "a traced line without sample points");
            check(n == line.visited.size(), "points and visit bits differ");
            if (n == 0)
                continue;
            const int index = static_cast<int>(i);
            task.newAnswer();
            task.verifyTouch(index, TouchType::Down, line.allPoints[0]);
            task.verifyTouch(index, TouchType::Move, line.allPoints[n / 2]);
            // A touch from the bytes, anywhere a 16-bit screen position may come from.
            const std::int16_t x = static_cast<std::int16_t>(data[i % size] << 8 | data[(i + 1) % size]);
            const std::int16_t y = static_cast<std::int16_t>(data[(i + 2) % size] << 8 | data[(i + 3) % size]);
            task.verifyTouch(index, static_cast<eTouchType>(1 + data[i % size] % 3), Vector2<tFixed>(tFixed(x), tFixed(y)));
            task.verifyTouch(index, TouchType::Up, line.allPoints[n - 1]);
            check(task.answer >= 0 && task.answer <= 5, "an answer out of range");
            check(line.current >= 0 && static_cast<size_t>(line.current) < n, "the path left its points");
            task.playWASpeech(index, false);
            task.getCASpeech(index);
        }
    }
    return 0;
}
