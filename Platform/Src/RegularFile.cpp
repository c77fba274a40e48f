#include "RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* describeFileType(unsigned int mode)
{
    if (S_ISREG(mode))
        return "a file";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISLNK(mode))
        return "a link";
    return "a device";
}

const char* nonRegularFileAt(const char* path)
{
    struct stat info;
    if (!path || ::stat(path, &info) != 0 || S_ISREG(info.st_mode))
        return nullptr;
    return describeFileType(info.st_mode);
}

namespace
{
// Refuses what stands at a path by its type: errno EISDIR for a folder,
// ELOOP for a link, ENODEV for anything else; -1 always.
int refuseType(unsigned int mode, std::string* what)
{
    if (what)
        *what = describeFileType(mode);
    errno = S_ISDIR(mode) ? EISDIR : S_ISLNK(mode) ? ELOOP : ENODEV;
    return -1;
}
}

int openRegularFileWith(const char* path, int flags, std::string* what)
{
    if (!path || !*path)
    {
        errno = ENOENT;
        if (what)
            *what = std::strerror(errno);
        return -1;
    }
    // Looked at before it is opened: some devices act on the open itself, and
    // a pipe or socket is known by its type. A link is looked at only when it
    // would be followed. Nothing there (or no look allowed) is the open's to say.
    struct stat info;
    const bool follow = (flags & O_NOFOLLOW) == 0;
    if ((follow ? ::stat(path, &info) : ::lstat(path, &info)) == 0 && !S_ISREG(info.st_mode))
        return refuseType(info.st_mode, what);
    // O_NONBLOCK keeps the open from waiting for a pipe's other end, should
    // one be put there since the look.
    const int fd = ::open(path, flags | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        // A pipe without a reader, or a socket, refuses the open itself.
        const int error = errno;
        if (error == ENXIO && ::stat(path, &info) == 0 && !S_ISREG(info.st_mode))
            return refuseType(info.st_mode, what);
        if (what)
            *what = std::strerror(error);
        errno = error;
        return -1;
    }
    if (::fstat(fd, &info) != 0)
    {
        const int error = errno;
        if (what)
            *what = std::strerror(error);
        ::close(fd);
        errno = error;
        return -1;
    }
    if (!S_ISREG(info.st_mode))
    {
        ::close(fd);
        return refuseType(info.st_mode, what);
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status >= 0)
        (void)::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

int openRegularFile(const char* path, std::string* what, bool followLinks)
{
    return openRegularFileWith(path, O_RDONLY | (followLinks ? 0 : O_NOFOLLOW), what);
}

std::FILE* fopenRegularFile(const char* path, const char* mode, std::string* what)
{
    const int fd = openRegularFile(path, what);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, mode ? mode : "rb");
    if (!file)
    {
        const int error = errno;
        if (what)
            *what = std::strerror(error);
        ::close(fd);
        errno = error;
    }
    return file;
}

bool readFully(int fd, void* data, std::size_t size, std::size_t& got)
{
    got = 0;
    while (got < size)
    {
        const ssize_t part = ::read(fd, static_cast<char*>(data) + got, size - got);
        if (part < 0 && errno == EINTR)
            continue;
        if (part < 0)
            return false;
        if (part == 0)
            break;
        got += static_cast<std::size_t>(part);
    }
    return true;
}

bool writeFully(int fd, const void* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size)
    {
        const ssize_t part = ::write(fd, static_cast<const char*>(data) + done, size - done);
        if (part < 0 && errno == EINTR)
            continue;
        if (part < 0)
            return false;
        if (part == 0)
        {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(part);
    }
    return true;
}

bool readOpenFile(int fd, std::string& text, std::size_t limit, std::string* what)
{
    text.clear();
    char buffer[8192];
    std::size_t got = 0;
    do
    {
        const bool read = readFully(fd, buffer, sizeof buffer, got);
        if (!read || text.size() + got > limit)
        {
            const int error = read ? EFBIG : errno;
            if (what)
                *what = read ? "file too large" : std::strerror(error);
            text.clear();
            errno = error;
            return false;
        }
        text.append(buffer, got);
    } while (got == sizeof buffer);
    return true;
}

bool readRegularFile(const char* path, std::string& text, std::size_t limit, std::string* what)
{
    text.clear();
    const int fd = openRegularFile(path, what);
    if (fd < 0)
        return false;
    const bool ok = readOpenFile(fd, text, limit, what);
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}
