#include "HostTrace.h"

#include "RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

namespace
{
std::mutex traceMutex;
std::FILE* traceFile = nullptr;
unsigned int traceFrame = 0;
unsigned int traceTime = 0;
bool keeping = false;
std::vector<std::pair<std::string, std::string>> kept;
}

bool HostTrace::open(const std::string& path, std::string* why)
{
    std::lock_guard<std::mutex> lock(traceMutex);
    if (traceFile)
        std::fclose(traceFile);
    traceFile = nullptr;
    // Only a regular file or a new name is opened, and emptied: a device,
    // pipe or folder there is refused by its type, never opened.
    std::string reason;
    const int fd = openRegularFileWith(path.c_str(), O_WRONLY | O_CREAT, &reason);
    const bool emptied = fd >= 0 && ::ftruncate(fd, 0) == 0;
    if (fd >= 0 && !emptied)
    {
        reason = std::strerror(errno);
        ::close(fd);
    }
    if (!emptied)
    {
        if (why)
            *why = reason;
        return false;
    }
    traceFile = ::fdopen(fd, "w");
    if (!traceFile)
    {
        if (why)
            *why = std::strerror(errno);
        ::close(fd);
    }
    return traceFile != nullptr;
}

void HostTrace::close()
{
    std::lock_guard<std::mutex> lock(traceMutex);
    if (traceFile)
        std::fclose(traceFile);
    traceFile = nullptr;
}

void HostTrace::setFrame(unsigned int frame, unsigned int milliseconds)
{
    std::lock_guard<std::mutex> lock(traceMutex);
    traceFrame = frame;
    traceTime = milliseconds;
}

void HostTrace::keep(bool on)
{
    std::lock_guard<std::mutex> lock(traceMutex);
    keeping = on;
    kept.clear();
}

std::vector<std::pair<std::string, std::string>> HostTrace::takeKept()
{
    std::lock_guard<std::mutex> lock(traceMutex);
    std::vector<std::pair<std::string, std::string>> taken;
    taken.swap(kept);
    return taken;
}

bool HostTrace::isOpen()
{
    std::lock_guard<std::mutex> lock(traceMutex);
    return traceFile != nullptr;
}

void HostTrace::write(const std::string& event, const std::string& detail)
{
    std::lock_guard<std::mutex> lock(traceMutex);
    if (keeping)
        kept.emplace_back(event, detail);
    if (!traceFile)
        return;
    // Line breaks inside the detail would split a record in two.
    std::string text = event;
    if (!detail.empty())
        text += " " + detail;
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::fprintf(traceFile, "%u %u %s\n", traceFrame, traceTime, text.c_str());
    std::fflush(traceFile);
}
