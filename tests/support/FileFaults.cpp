#include "support/FileFaults.h"

#include <atomic>
#include <cstdarg>
#include <dirent.h>
#include <fcntl.h>
#include <cstdio>
#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::atomic<int> calls(0);
std::atomic<int> failing(-1), killing(-1);
std::atomic<int> failure(0);
std::atomic<int> folderSyncError(0);
std::atomic<bool> linksRefused(false);
std::atomic<bool> renumbering(false);
std::atomic<bool> looksWatched(false);
std::atomic<bool> locksRefused(false);
std::atomic<int> fsyncCalls(0);

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

namespace
{
std::atomic<int> renameCalls(0), renameKilling(-1), renameRunning(-1);
std::atomic<void (*)()> beforeRename(nullptr);

// Counts a rename about to be made: kills the process or runs the callback
// first when that is what was asked for this one.
void renaming()
{
    const int number = renameCalls.fetch_add(1);
    if (number == renameKilling.load())
        ::kill(::getpid(), SIGKILL);
    void (*const before)() = beforeRename.load();
    if (number == renameRunning.load() && before)
        before();
}
}

namespace FileFaults
{
void armRenames(int killAt, int runAt, void (*before)())
{
    renameKilling = killAt;
    renameRunning = runAt;
    beforeRename = before;
    renameCalls = 0;
}

int renames() { return renameCalls.load(); }
}

namespace FileFaults
{
void arm(int failAt, int error, int killAt)
{
    failing = failAt;
    failure = error;
    killing = killAt;
    calls = 0;
    fsyncCalls = 0;
}

int fsyncs() { return fsyncCalls.load(); }

void failFolderSyncs(bool on, int error) { folderSyncError = on ? error : 0; }

void refuseLinks(bool on) { linksRefused = on; }

int count() { return calls.load(); }

void disarm()
{
    failing = killing = -1;
    folderSyncError = 0;
    linksRefused = false;
    renameKilling = renameRunning = -1;
    renumbering = false;
    looksWatched = false;
    locksRefused = false;
}

void watchLooks(bool on) { looksWatched = on; }

void refuseLocks(bool on) { locksRefused = on; }
}

extern "C" int flock(int fd, int operation) noexcept
{
    static const auto next = real<int (*)(int, int)>("flock");
    if (!locksRefused)
        return next(fd, operation);
    errno = ENOLCK;
    return -1;
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    static const auto next = real<int (*)(const char*, const char*)>("rename");
    renaming();
    return fault() ? -1 : next(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags) noexcept
{
    static const auto next = real<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    renaming();
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
    fsyncCalls.fetch_add(1);
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

namespace
{
// The file names whose opens and reads fail, and with what (0: none).
char failingOpenName[256], failingReadName[256];
std::atomic<int> failingOpenError(0), failingReadError(0);

void setFailingName(char (&kept)[256], std::atomic<int>& keptError, const char* name, int error)
{
    keptError = 0;
    std::snprintf(kept, sizeof kept, "%s", name ? name : "");
    keptError = error;
}

// Whether `text` matches `pattern`, where '*' stands for any text.
bool matches(const char* text, const char* pattern)
{
    if (*pattern == '*')
        return matches(text, pattern + 1) || (*text && matches(text + 1, pattern));
    return *text == *pattern && (!*text || matches(text + 1, pattern + 1));
}

// Whether the last component of `path` matches `name`; errno is set to
// `error` when it does and `error` is not 0.
bool namedFault(const char* path, const char* name, int error)
{
    if (!error || !path)
        return false;
    const char* last = path;
    for (const char* c = path; *c; ++c)
        if (*c == '/')
            last = c + 1;
    if (!matches(last, name))
        return false;
    errno = error;
    return true;
}

bool openFails(const char* path) { return namedFault(path, failingOpenName, failingOpenError.load()); }

std::atomic<bool> readOpensCounted(false);
std::mutex readOpensMutex;
std::map<std::string, int> readOpenCounts;

// Counts an open of `path` for reading, when asked.
void countOpen(const char* path, int flags)
{
    if (!readOpensCounted || !path || (flags & O_ACCMODE) != O_RDONLY || (flags & O_DIRECTORY))
        return;
    const char* last = path;
    for (const char* c = path; *c; ++c)
        if (*c == '/')
            last = c + 1;
    std::lock_guard<std::mutex> lock(readOpensMutex);
    ++readOpenCounts[last];
}

// The descriptor's file is named by its link under /proc/self/fd.
bool readFails(int fd)
{
    const int error = failingReadError.load();
    if (!error)
        return false;
    char link[64], target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    return namedFault(target, failingReadName, error);
}
}

namespace FileFaults
{
void failOpensOf(const char* name, int error) { setFailingName(failingOpenName, failingOpenError, name, error); }

void failReadsOf(const char* name, int error) { setFailingName(failingReadName, failingReadError, name, error); }

void countReadOpens(bool on)
{
    std::lock_guard<std::mutex> lock(readOpensMutex);
    if (on)
        readOpenCounts.clear();
    readOpensCounted = on;
}

std::map<std::string, int> readOpens()
{
    std::lock_guard<std::mutex> lock(readOpensMutex);
    return readOpenCounts;
}
}

extern "C" int open(const char* path, int flags, ...)
{
    static const auto next = __interceptor_open ? __interceptor_open : real<int (*)(const char*, int, ...)>("open");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    countOpen(path, flags);
    return fault() || openFails(path) ? -1 : next(path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...)
{
    static const auto next =
        __interceptor_open64 ? __interceptor_open64 : real<int (*)(const char*, int, ...)>("open64");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    countOpen(path, flags);
    return fault() || openFails(path) ? -1 : next(path, flags, mode);
}

extern "C" int openat(int folder, const char* path, int flags, ...)
{
    static const auto next =
        __interceptor_openat ? __interceptor_openat : real<int (*)(int, const char*, int, ...)>("openat");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    countOpen(path, flags);
    return fault() || openFails(path) ? -1 : next(folder, path, flags, mode);
}

extern "C" ssize_t read(int fd, void* buffer, size_t size)
{
    static const auto next = __interceptor_read ? __interceptor_read : real<ssize_t (*)(int, void*, size_t)>("read");
    return fault() || readFails(fd) ? -1 : next(fd, buffer, size);
}

extern "C" DIR* opendir(const char* path)
{
    static const auto next = __interceptor_opendir ? __interceptor_opendir : real<DIR* (*)(const char*)>("opendir");
    return fault() ? nullptr : next(path);
}

namespace
{
std::atomic<unsigned long long> looks(0);

// A made-up number for the file numbered `inode`, new at every look.
unsigned long long madeUp(unsigned long long inode)
{
    if (!renumbering)
        return inode;
    const unsigned long long look = looks.fetch_add(1) + 1;
    return (inode * 0x9e3779b97f4a7c15ull) ^ (look << 20) ^ (look * 0xbf58476d1ce4e5b9ull);
}
}

namespace FileFaults
{
void renumber(bool on) { renumbering = on; }
}

extern "C" int __interceptor_stat(const char*, struct stat*) __attribute__((weak));
extern "C" int __interceptor_lstat(const char*, struct stat*) __attribute__((weak));
extern "C" int __interceptor_fstat(int, struct stat*) __attribute__((weak));
extern "C" int __interceptor_fstatat(int, const char*, struct stat*, int) __attribute__((weak));
extern "C" int __interceptor_statx(int, const char*, int, unsigned int, struct statx*) __attribute__((weak));

// The stat family, renumbered while asked. The 64-bit names are the same
// calls, on the same structure, on this system; both are put in front.
#define TOVRANE_RENUMBERED(name, parameters, arguments, result)                                           \
    extern "C" int name parameters noexcept                                                                      \
    {                                                                                                            \
        using Call = int(*) parameters;                                                                          \
        static const Call next = __interceptor_##name ? __interceptor_##name : real<Call>(#name);               \
        if (looksWatched && fault())                                                                             \
            return -1;                                                                                           \
        const int done = next arguments;                                                                         \
        if (done == 0)                                                                                           \
            (result)->st_ino = madeUp((result)->st_ino);                                                         \
        return done;                                                                                             \
    }

TOVRANE_RENUMBERED(stat, (const char* path, struct stat* status), (path, status), status)
TOVRANE_RENUMBERED(lstat, (const char* path, struct stat* status), (path, status), status)
TOVRANE_RENUMBERED(fstat, (int fd, struct stat* status), (fd, status), status)
TOVRANE_RENUMBERED(fstatat, (int folder, const char* path, struct stat* status, int flags),
                   (folder, path, status, flags), status)
#undef TOVRANE_RENUMBERED

static_assert(sizeof(struct stat) == sizeof(struct stat64), "one structure for both names");
extern "C" int stat64(const char* path, struct stat64* status) noexcept
{
    return stat(path, reinterpret_cast<struct stat*>(status));
}
extern "C" int lstat64(const char* path, struct stat64* status) noexcept
{
    return lstat(path, reinterpret_cast<struct stat*>(status));
}
extern "C" int fstat64(int fd, struct stat64* status) noexcept { return fstat(fd, reinterpret_cast<struct stat*>(status)); }
extern "C" int fstatat64(int folder, const char* path, struct stat64* status, int flags) noexcept
{
    return fstatat(folder, path, reinterpret_cast<struct stat*>(status), flags);
}

extern "C" int statx(int folder, const char* path, int flags, unsigned int mask, struct statx* status) noexcept
{
    using Call = int (*)(int, const char*, int, unsigned int, struct statx*);
    static const Call next = __interceptor_statx ? __interceptor_statx : real<Call>("statx");
    if (looksWatched && fault())
        return -1;
    const int done = next(folder, path, flags, mask, status);
    if (done == 0)
        status->stx_ino = madeUp(status->stx_ino);
    return done;
}
