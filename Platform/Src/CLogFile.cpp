#include "CLogFile.h"

#include "CSystemData.h"
#include "EscapeControls.h"
#include "RegularFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
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
    // soon as Append returns, and nothing is held open between records. The
    // open does not wait (a pipe under the log's name) and only a regular
    // file is written; a link there is never followed, so records go to no
    // other file and none is made where a dangling one points. A log the game
    // may write but not read is written all the same, without the look at
    // its last byte.
    const int flags = O_CREAT | O_APPEND | O_NOFOLLOW;
    std::string problem;
    int fd = openRegularFileWith(path.c_str(), O_RDWR | flags, &problem);
    const bool readable = fd >= 0 || errno != EACCES;
    if (!readable)
        fd = openRegularFileWith(path.c_str(), O_WRONLY | flags, &problem);
    if (fd < 0 && (errno == ENODEV || errno == EISDIR || (errno == ELOOP && problem == "a link")))
        problem = "it is " + problem;
    bool ok = fd >= 0;
    if (ok)
    {
        struct stat info;
        // A record cut short (a full disk, the file-size limit) leaves a line
        // without its end; the next record starts on a line of its own.
        char last = '\n';
        if (readable && ::fstat(fd, &info) == 0 && info.st_size > 0 && ::pread(fd, &last, 1, info.st_size - 1) == 1 &&
            last != '\n')
            line.insert(line.begin(), '\n');
        ok = writeFully(fd, line.data(), line.size());
        if (!ok)
            problem = std::strerror(errno);
    }
    if (fd >= 0 && ::close(fd) != 0 && ok)
    {
        ok = false;
        problem = std::strerror(errno);
    }
    if (!ok && !reported)
    {
        reported = true;
        std::cout << "Could not write the usage log " << Tovrane::escapeControls(path) << ": " << problem << std::endl;
    }
    return ok;
}
