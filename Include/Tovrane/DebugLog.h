#ifndef TOVRANE_DEBUGLOG_H
#define TOVRANE_DEBUGLOG_H

#include <string>

namespace Tovrane
{
// Developer text through the platform's debug output.
class DebugLog
{
public:
    // Writes the text unchanged: it is never read as a format.
    static void writeString(const std::string& text);

    DebugLog() = delete;
};
}

#endif
