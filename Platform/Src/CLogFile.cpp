#include "CLogFile.h"

#include "CSystemData.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <unistd.h>

namespace
{
std::string timeStamp()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const long millis = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm utc;
    ::gmtime_r(&seconds, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    char result[48];
    std::snprintf(result, sizeof result, "%s.%03ldZ", text, millis);
    return result;
}

// Keeps a field on its line and in its column.
std::string oneLine(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return result;
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size())
    {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}
}

CLogFile* CLogFile::Instance()
{
    static CLogFile instance;
    return &instance;
}

Glib::ustring CLogFile::GetPath() const { return CSystemData::Instance()->GetDataRootPath() + "usage.log"; }

bool CLogFile::Append(const LogData::Corvantis::CLogRecord& record)
{
    std::string line = timeStamp() + "\t" + oneLine(record.GetName());
    for (const std::string& field : record.GetFields())
        line += "\t" + oneLine(field);
    line += "\n";

    const std::string path = GetPath().raw();
    std::lock_guard<std::mutex> lock(mutex);
    // Opened for each record and written in one piece: the line is on disk as
    // soon as Append returns, and nothing is held open between records.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && writeAll(fd, line);
    const int error = errno;
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    if (!ok && !reported)
    {
        reported = true;
        std::cout << "Could not write the usage log " << path << ": " << std::strerror(error) << std::endl;
    }
    return ok;
}
