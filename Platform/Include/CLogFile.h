#ifndef PLATFORM_CLOGFILE_H
#define PLATFORM_CLOGFILE_H

#include "LogData.h"

#include <glibmm/ustring.h>

#include <mutex>

// The usage log: "usage.log" in the data root. Each record becomes one line,
// written and flushed at once: the UTC time with milliseconds, the record name
// and its fields, separated by tabs. Tabs and line breaks inside a text field
// become spaces, so a record is always exactly one line.
class CLogFile
{
public:
    static CLogFile* Instance();

    // False when the line could not be written (a message says why, once).
    bool Append(const LogData::Corvantis::CLogRecord& record);

    // Where the records go.
    Glib::ustring GetPath() const;

private:
    CLogFile() = default;

    std::mutex mutex;
    bool reported = false;
};

#endif
