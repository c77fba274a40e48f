#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct Pending
{
    std::string path;
    std::string temporary;
};

// Streams opened by fopenAtomic and not yet closed, with their two paths.
std::mutex pendingMutex;
std::map<std::FILE*, Pending> pending;
std::atomic<unsigned long> counter(0);

std::string folderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool take(std::FILE* stream, Pending& out)
{
    std::lock_guard<std::mutex> lock(pendingMutex);
    auto it = pending.find(stream);
    if (it == pending.end())
        return false;
    out = it->second;
    pending.erase(it);
    return true;
}

// Makes the rename itself durable. Filesystems that cannot sync a folder count
// as success.
bool syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    ::close(fd);
    return ok;
}
// Room a temporary's name needs after its stem: ".tmp.", the process id, ".",
// the counter.
const std::size_t SuffixRoom = 5 + 10 + 1 + 20;

// The longest name the folder takes.
std::size_t nameLimit(const std::string& folder)
{
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

// What a temporary's name starts with: "." and the target's name, or, when
// that would make the temporary's name too long for the folder, the target's
// name cut short followed by a hash of all of it.
std::string temporaryStem(const std::string& base, std::size_t limit)
{
    const std::string stem = "." + base;
    if (stem.size() + SuffixRoom <= limit)
        return stem;
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : base)
        hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    const std::size_t room = limit > SuffixRoom + 18 + 1 ? limit - SuffixRoom - 18 : 1;
    return stem.substr(0, room) + "~" + hex;
}

// True when `text` is one or more decimal digits; their value in `value`.
bool readNumber(const char* text, unsigned long long& value)
{
    if (*text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return *end == '\0' && errno == 0;
}

// Removes the temporaries of one target whose writer is gone: a process that
// no longer runs (killed between fopenAtomic and the rename), or this process
// when the stream is no longer open (an earlier process of the same id).
// Called with pendingMutex held.
void removeStaleTemporaries(const std::string& folder, const std::string& stem)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = stem + ".tmp.";
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir))
    {
        const char* name = entry->d_name;
        if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0)
            continue;
        const std::string rest = name + prefix.size();
        const std::string::size_type dot = rest.find('.');
        unsigned long long pid = 0, number = 0;
        if (dot == std::string::npos || !readNumber(rest.substr(0, dot).c_str(), pid) ||
            !readNumber(rest.c_str() + dot + 1, number) || pid == 0 || pid > 0x7fffffff)
            continue;
        bool gone;
        if (static_cast<pid_t>(pid) == self)
        {
            const std::string path = folder + "/" + name;
            gone = true;
            for (const auto& open : pending)
                gone = gone && open.second.temporary != path;
        }
        else
            gone = ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
        if (gone)
            ::unlinkat(::dirfd(dir), name, 0);
    }
    ::closedir(dir);
}

// The modes that make sense for a whole new file; '+' also allows reading back.
bool knownMode(const std::string& mode, bool& update)
{
    update = mode.find('+') != std::string::npos;
    return mode == "w" || mode == "wb" || mode == "w+" || mode == "wb+" || mode == "w+b";
}
}

std::FILE* fopenAtomic(const char* path, const char* mode)
{
    bool update = false;
    if (!path || !mode || !knownMode(mode, update))
    {
        errno = EINVAL;
        return nullptr;
    }
    const std::string target(path);
    const std::string base = baseOf(target);
    if (base.empty() || base == "." || base == "..")
    {
        errno = EISDIR;
        return nullptr;
    }
    const std::string folder = folderOf(target);
    const std::size_t limit = nameLimit(folder);
    if (base.size() > limit)
    {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    const std::string stem = temporaryStem(base, limit);

    // The scan and the new temporary under one lock, so that no other
    // thread's temporary is taken for a stale one before it is recorded.
    std::lock_guard<std::mutex> lock(pendingMutex);
    removeStaleTemporaries(folder, stem);

    // A hidden name next to the target, so the final rename stays inside one
    // filesystem. O_EXCL keeps us off any file left by an earlier process.
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        temporary = folder + "/" + stem + ".tmp." + std::to_string(::getpid()) + "." +
                    std::to_string(counter.fetch_add(1));
        fd = ::open(temporary.c_str(), (update ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return nullptr;
    }
    if (fd < 0)
        return nullptr;

    std::FILE* stream = ::fdopen(fd, mode);
    if (!stream)
    {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = error;
        return nullptr;
    }
    pending[stream] = Pending{target, temporary};
    return stream;
}

int fcloseAtomic(std::FILE* stream)
{
    if (!stream)
    {
        errno = EINVAL;
        return -1;
    }
    Pending file;
    if (!take(stream, file))
    {
        // Not ours: close it anyway so that nothing leaks, but report it.
        std::fclose(stream);
        errno = EINVAL;
        return -1;
    }

    bool ok = std::fflush(stream) == 0;
    ok = ok && !std::ferror(stream);
    // The replaced file keeps its permissions, where the filesystem has
    // them; a new one gets fopen's.
    struct stat old;
    if (ok && ::stat(file.path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        (void)::fchmod(::fileno(stream), old.st_mode & 07777);
    ok = ok && ::fsync(::fileno(stream)) == 0;
    int error = ok ? 0 : errno;
    if (std::fclose(stream) != 0 && ok)
    {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(file.temporary.c_str(), file.path.c_str()) != 0)
    {
        ok = false;
        error = errno;
    }
    if (!ok)
    {
        ::unlink(file.temporary.c_str());
        errno = error ? error : EIO;
        return -1;
    }
    if (!syncFolder(folderOf(file.path)))
        return -1;
    return 0;
}

void fabortAtomic(std::FILE* stream)
{
    if (!stream)
        return;
    Pending file;
    const bool ours = take(stream, file);
    std::fclose(stream);
    if (ours)
        ::unlink(file.temporary.c_str());
}

bool writeFileAtomic(const char* path, const void* data, std::size_t size)
{
    std::FILE* file = fopenAtomic(path, "wb");
    if (!file)
        return false;
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
    {
        fabortAtomic(file);
        return false;
    }
    return fcloseAtomic(file) == 0;
}
