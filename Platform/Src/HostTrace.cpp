#include "HostTrace.h"

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

bool HostTrace::open(const std::string& path)
{
    std::lock_guard<std::mutex> lock(traceMutex);
    if (traceFile)
        std::fclose(traceFile);
    traceFile = std::fopen(path.c_str(), "w");
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
