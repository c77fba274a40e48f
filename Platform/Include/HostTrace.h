#ifndef PLATFORM_HOSTTRACE_H
#define PLATFORM_HOSTTRACE_H

#include <string>
#include <utility>
#include <vector>

// The host's run trace: one flushed line per notable event (state enter and
// exit, audio start and stop, debug output, PushApp, PopApp, suspend and
// resume), written as "<frame> <milliseconds> <event>[ <detail>]". Nothing is
// written unless the host has opened a trace file; the host may also keep the
// events for itself (its script waits on them). Safe to call from any thread.
class HostTrace
{
public:
    // Host side: starts writing to the file (replacing it); false, with the
    // reason in `why`, when it cannot be created or something other than a
    // regular file stands at that name, which is left as it is and never
    // opened.
    static bool open(const std::string& path, std::string* why = nullptr);
    static void close();
    // Host side: the frame number and clock value put in front of each line.
    static void setFrame(unsigned int frame, unsigned int milliseconds);

    // Host side: keep each event written from now on until `takeKept`.
    static void keep(bool on);
    static std::vector<std::pair<std::string, std::string>> takeKept();

    static bool isOpen();
    static void write(const std::string& event, const std::string& detail = std::string());
};

#endif
