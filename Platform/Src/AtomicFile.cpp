#include "AtomicFile.h"
#include "AtomicFileRecord.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <iostream>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace AtomicFileShared;

namespace AtomicFileShared
{
std::mutex pendingMutex;
std::map<std::FILE*, Pending> pending;
std::map<std::string, std::string> staged;

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

bool syncFolder(const std::string& folder)
{
    // A folder that may be written and searched but not read cannot be
    // opened to be synced: as on a filesystem without folder syncs, its
    // renames are as durable as the system makes them.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

void reportUnsynced(const std::string& folder)
{
    if (!syncFolder(folder))
        sayUnsynced(folder, errno);
}

void sayUnsynced(const std::string& folder, int error)
{
    std::cout << "Could not sync the folder " << folder << ": " << std::strerror(error) << std::endl;
}

unsigned long long uniqueNumber()
{
    // Counting from the clock at start-up keeps the names of a process apart
    // from those an earlier process of the same id left behind.
    static std::atomic<unsigned long long> counter([] {
        struct timespec now = {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        return static_cast<unsigned long long>(now.tv_sec) * 1000000000ull + static_cast<unsigned long long>(now.tv_nsec);
    }());
    return counter.fetch_add(1);
}

bool readNumber(const char* text, unsigned long long& value)
{
    if (*text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return *end == '\0' && errno == 0;
}

bool otherWriterGone(unsigned long long pid)
{
    return pid != 0 && pid <= 0x7fffffff && static_cast<pid_t>(pid) != ::getpid() &&
           ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

bool temporaryWriter(const std::string& name, const std::string& prefix, unsigned long long& pid)
{
    std::string::size_type at = prefix.size();
    if (prefix.empty())
    {
        const std::string::size_type mark = name.rfind(".tmp.");
        if (name.size() < 2 || name[0] != '.' || mark == std::string::npos || mark == 0)
            return false;
        at = mark + 5;
    }
    else if (name.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::string rest = name.substr(at);
    const std::string::size_type dot = rest.find('.');
    unsigned long long number = 0;
    return dot != std::string::npos && readNumber(rest.substr(0, dot).c_str(), pid) &&
           readNumber(rest.c_str() + dot + 1, number) && pid != 0 && pid <= 0x7fffffff;
}

std::vector<std::string> namesIn(const std::string& folder, bool* listed)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    // A folder that may be written but not read keeps its names to itself,
    // as it is meant to: that is no failure.
    if (listed)
        *listed = dir || errno == EACCES;
    if (dir)
    {
        errno = 0;
        while (const dirent* entry = ::readdir(dir))
            names.push_back(entry->d_name);
        if (errno && listed)
            *listed = false;
        const int error = errno;
        ::closedir(dir);
        errno = error;
    }
    return names;
}
}

namespace
{
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

}

namespace AtomicFileShared
{
// The folder of `target` and the stem of its temporaries' names; false (with
// errno) when the target's name cannot be a file's.
bool temporaryPlace(const std::string& target, std::string& folder, std::string& stem)
{
    const std::string base = baseOf(target);
    if (base.empty() || base == "." || base == "..")
    {
        errno = EISDIR;
        return false;
    }
    folder = folderOf(target);
    const std::size_t limit = nameLimit(folder);
    if (base.size() > limit)
    {
        errno = ENAMETOOLONG;
        return false;
    }
    stem = temporaryStem(base, limit);
    return true;
}

std::string temporaryName(const std::string& folder, const std::string& stem)
{
    return folder + "/" + stem + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(uniqueNumber());
}
}

namespace
{
// The modes that make sense for a whole new file; '+' also allows reading back.
bool knownMode(const std::string& mode, bool& update)
{
    update = mode.find('+') != std::string::npos;
    return mode == "w" || mode == "wb" || mode == "w+" || mode == "wb+" || mode == "w+b";
}
}

std::FILE* fopenAtomic(const char* path, const char* mode)
{
    noteHeld(nullptr);
    bool update = false;
    if (!path || !mode || !knownMode(mode, update))
    {
        errno = EINVAL;
        return nullptr;
    }
    const std::string target(path);
    std::string folder, stem;
    if (!temporaryPlace(target, folder, stem))
        return nullptr;

    // The scan and the new temporary under one lock, so that no other
    // thread's temporary is taken for a stale one before it is recorded.
    std::lock_guard<std::mutex> lock(pendingMutex);
    if (isStaging(target))
    {
        // A staging file is hidden until replaceStagedAtomic puts it in
        // place: it is written directly, and its close syncs it and reads it
        // back through the same descriptor for what it holds.
        stagedIdentities.erase(target);
        const int fd = ::open(target.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        std::FILE* stream = fd < 0 ? nullptr : ::fdopen(fd, mode);
        if (fd >= 0 && !stream)
            ::close(fd);
        if (stream)
            pending[stream] = Pending{target, target};
        return stream;
    }
    // A file that a killed save's record still names, or a folder that
    // could not be looked through for such records, takes no new file: the
    // record would take it for its own file, or undo it.
    Unsettled left;
    if (!removeStaleTemporaries(folder, stem, left))
        return nullptr;
    if (const Hold* hold = left.holding(baseOf(target), stem))
    {
        noteHeld(hold);
        errno = hold->error;
        return nullptr;
    }

    // A hidden name next to the target, so the final rename stays inside one
    // filesystem. O_EXCL keeps us off any file left by an earlier process.
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        temporary = temporaryName(folder, stem);
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
    const bool staging = file.temporary == file.path;
    // The replaced file keeps its permissions, where the filesystem has
    // them; a new one gets fopen's (a staging file gets them when put in place).
    struct stat old;
    if (ok && !staging && ::stat(file.path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        (void)::fchmod(::fileno(stream), old.st_mode & 07777);
    ok = ok && ::fsync(::fileno(stream)) == 0;
    int error = ok ? 0 : errno;
    Identity written;
    if (ok && staging && identifyOpen(::fileno(stream), written))
    {
        std::lock_guard<std::mutex> lock(pendingMutex);
        stagedIdentities[file.path] = written;
    }
    if (std::fclose(stream) != 0 && ok)
    {
        ok = false;
        error = errno;
    }
    if (staging)
    {
        // What was written stays for replaceStagedAtomic or discardStagedAtomic.
        if (!ok)
            errno = error ? error : EIO;
        return ok ? 0 : -1;
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
    // The new file is in place: a folder that cannot be synced only makes
    // the rename less durable, and is said, not taken for a failed write.
    reportUnsynced(folderOf(file.path));
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
