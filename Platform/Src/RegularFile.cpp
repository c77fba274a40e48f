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

int openRegularFile(const char* path, std::string* what, bool followLinks)
{
    if (!path || !*path)
    {
        errno = ENOENT;
        if (what)
            *what = std::strerror(errno);
        return -1;
    }
    // O_NONBLOCK keeps the open itself from waiting for a pipe's writer.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0)
    {
        if (what)
            *what = std::strerror(errno);
        return -1;
    }
    struct stat info;
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
        const int error = S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
        if (what)
            *what = describeFileType(info.st_mode);
        ::close(fd);
        errno = error;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
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

bool readOpenFile(int fd, std::string& text, std::size_t limit, std::string* what)
{
    text.clear();
    char buffer[8192];
    for (;;)
    {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            return true;
        if (got < 0 || text.size() + static_cast<std::size_t>(got) > limit)
        {
            const int error = got < 0 ? errno : EFBIG;
            if (what)
                *what = got < 0 ? std::strerror(error) : "file too large";
            text.clear();
            errno = error;
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
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
