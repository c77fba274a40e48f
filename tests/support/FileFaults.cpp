#include "support/FileFaults.h"

#include <atomic>
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
std::atomic<bool> folderSyncsFail(false);
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

void failFolderSyncs(bool on) { folderSyncsFail = on; }

void refuseLinks(bool on) { linksRefused = on; }

int count() { return calls.load(); }

void disarm()
{
    failing = killing = -1;
    folderSyncsFail = linksRefused = false;
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
    if (folderSyncsFail && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode))
    {
        errno = EIO;
        return -1;
    }
    return fault() ? -1 : next(fd);
}
