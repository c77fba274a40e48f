#include "support/FileFaults.h"

#include <atomic>
#include <cstdarg>
#include <dirent.h>
#include <fcntl.h>
#include <cstdio>
#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::atomic<int> calls(0);
std::atomic<int> failing(-1), killing(-1);
std::atomic<int> failure(0);
std::atomic<int> folderSyncError(0);
std::atomic<bool> linksRefused(false);

template <typename F> F real(const char* name) { return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name)); }

// True when the call is to fail (errno set); kills the process when that is
// what was asked.
bool fault()
{
    const int number = calls.fetch_add(1);
    if (number == killing.load())
        ::kill(::getpid(), SIGKILL);
    if (number != failing.load())
        return false;
    errno = failure.load();
    return true;
}
}

namespace FileFaults
{
void arm(int failAt, int error, int killAt)
{
    failing = failAt;
    failure = error;
    killing = killAt;
    calls = 0;
}

void failFolderSyncs(bool on, int error) { folderSyncError = on ? error : 0; }

void refuseLinks(bool on) { linksRefused = on; }

int count() { return calls.load(); }

void disarm()
{
    failing = killing = -1;
    folderSyncError = 0;
    linksRefused = false;
}
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    static const auto next = real<int (*)(const char*, const char*)>("rename");
    return fault() ? -1 : next(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags) noexcept
{
    static const auto next = real<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return fault() ? -1 : next(fromFolder, from, toFolder, to, flags);
}

extern "C" int link(const char* from, const char* to) noexcept
{
    static const auto next = real<int (*)(const char*, const char*)>("link");
    if (fault())
        return -1;
    if (!linksRefused)
        return next(from, to);
    errno = EPERM;
    return -1;
}

extern "C" int unlink(const char* path) noexcept
{
    static const auto next = real<int (*)(const char*)>("unlink");
    return fault() ? -1 : next(path);
}

extern "C" int fsync(int fd)
{
    static const auto next = real<int (*)(int)>("fsync");
    struct stat status;
    if (folderSyncError && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode))
    {
        errno = folderSyncError;
        return -1;
    }
    return fault() ? -1 : next(fd);
}

// Under a sanitizer these calls are its interceptors', which stand in front
// of the C library's: they are called in turn, so that it still sees them.
extern "C" int __interceptor_open(const char*, int, ...) __attribute__((weak));
extern "C" int __interceptor_open64(const char*, int, ...) __attribute__((weak));
extern "C" int __interceptor_openat(int, const char*, int, ...) __attribute__((weak));
extern "C" ssize_t __interceptor_read(int, void*, size_t) __attribute__((weak));
extern "C" DIR* __interceptor_opendir(const char*) __attribute__((weak));

namespace
{
// The mode argument of open and openat, present only when a file is made.
mode_t modeOf(int flags, va_list arguments)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}
}

extern "C" int open(const char* path, int flags, ...)
{
    static const auto next = __interceptor_open ? __interceptor_open : real<int (*)(const char*, int, ...)>("open");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    return fault() ? -1 : next(path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...)
{
    static const auto next =
        __interceptor_open64 ? __interceptor_open64 : real<int (*)(const char*, int, ...)>("open64");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    return fault() ? -1 : next(path, flags, mode);
}

extern "C" int openat(int folder, const char* path, int flags, ...)
{
    static const auto next =
        __interceptor_openat ? __interceptor_openat : real<int (*)(int, const char*, int, ...)>("openat");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    return fault() ? -1 : next(folder, path, flags, mode);
}

extern "C" ssize_t read(int fd, void* buffer, size_t size)
{
    static const auto next = __interceptor_read ? __interceptor_read : real<ssize_t (*)(int, void*, size_t)>("read");
    return fault() ? -1 : next(fd, buffer, size);
}

extern "C" DIR* opendir(const char* path)
{
    static const auto next = __interceptor_opendir ? __interceptor_opendir : real<DIR* (*)(const char*)>("opendir");
    return fault() ? nullptr : next(path);
}
