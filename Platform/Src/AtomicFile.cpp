#include "AtomicFile.h"

#include <algorithm>
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
#include <vector>

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
// Staging files named by stageAtomic and not yet put in place, by target.
std::map<std::string, std::string> staged;
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

// True when `path` is a staging file named by stageAtomic and not yet put in
// place. Called with pendingMutex held.
bool isStaging(const std::string& path)
{
    for (const auto& stage : staged)
        if (stage.second == path)
            return true;
    return false;
}

// The writer's process id when `name` is a temporary's name: `prefix`
// followed by "<pid>.<number>". With an empty prefix any hidden name ending in
// ".tmp.<pid>.<number>" counts.
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

// True when this process still uses the temporary at `path`: an open stream's
// or a staging file not yet put in place. Called with pendingMutex held.
bool inUse(const std::string& path)
{
    for (const auto& open : pending)
        if (open.second.temporary == path)
            return true;
    return isStaging(path);
}

// Removes the temporaries in `folder` whose writer is gone: a process that no
// longer runs (killed between writing and the rename), or this process when it
// no longer uses them (an earlier process of the same id). With a stem, only
// the temporaries of that target. Called with pendingMutex held.
void removeStaleTemporaries(const std::string& folder, const std::string& stem)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = stem.empty() ? stem : stem + ".tmp.";
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir))
    {
        const std::string name = entry->d_name;
        unsigned long long pid = 0;
        if (!temporaryWriter(name, prefix, pid))
            continue;
        const bool gone = static_cast<pid_t>(pid) == self ? !inUse(folder + "/" + name)
                                                          : ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
        if (gone)
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

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
    return folder + "/" + stem + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
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
    std::string folder, stem;
    if (!temporaryPlace(target, folder, stem))
        return nullptr;

    // The scan and the new temporary under one lock, so that no other
    // thread's temporary is taken for a stale one before it is recorded.
    std::lock_guard<std::mutex> lock(pendingMutex);
    if (isStaging(target))
    {
        // A staging file is hidden until replaceStagedAtomic puts it in
        // place: it is written directly, and its close only syncs it.
        const int fd = ::open(target.c_str(), (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        std::FILE* stream = fd < 0 ? nullptr : ::fdopen(fd, mode);
        if (fd >= 0 && !stream)
            ::close(fd);
        if (stream)
            pending[stream] = Pending{target, target};
        return stream;
    }
    removeStaleTemporaries(folder, stem);

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

std::string stageAtomic(const char* path)
{
    std::string folder, stem;
    if (!path || !temporaryPlace(path, folder, stem))
        return std::string();
    std::lock_guard<std::mutex> lock(pendingMutex);
    std::string& staging = staged[path];
    if (staging.empty())
        staging = temporaryName(folder, stem);
    return staging;
}

namespace
{
// What the commit did to one target, so that it can be undone.
enum class Step
{
    None,
    Exchanged, // the target holds the new content, its staging file the old
    Created,   // the target is new
    Replaced,  // the old content is gone (a filesystem that cannot exchange)
};

// Puts one staging file in place: the target, when there is one, is exchanged
// with it, so that undoing is one more exchange.
Step putInPlace(const std::string& staging, const std::string& target)
{
    struct stat old;
    if (::lstat(target.c_str(), &old) != 0)
        return errno == ENOENT && ::rename(staging.c_str(), target.c_str()) == 0 ? Step::Created : Step::None;
    if (!S_ISREG(old.st_mode))
    {
        errno = EISDIR;
        return Step::None;
    }
    (void)::chmod(staging.c_str(), old.st_mode & 07777);
    if (::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0)
        return Step::Exchanged;
    if ((errno == EINVAL || errno == ENOSYS) && ::rename(staging.c_str(), target.c_str()) == 0)
        return Step::Replaced;
    return Step::None;
}

// Commits (or, with commit false, drops) the staging files of `targets`.
bool finishStaged(const std::vector<std::string>& targets, bool commit)
{
    std::lock_guard<std::mutex> lock(pendingMutex);
    std::vector<std::string> staging;
    for (const std::string& target : targets)
    {
        auto it = staged.find(target);
        staging.push_back(it == staged.end() ? std::string() : it->second);
        commit = commit && it != staged.end();
    }
    std::vector<Step> steps;
    int error = 0;
    for (std::size_t i = 0; commit && i < targets.size(); ++i)
    {
        steps.push_back(putInPlace(staging[i], targets[i]));
        if (steps.back() == Step::None)
        {
            error = errno;
            commit = false;
        }
    }
    if (!commit)
    {
        // Back to the old files, the last first.
        for (std::size_t i = steps.size(); i-- > 0;)
        {
            if (steps[i] == Step::Exchanged)
                (void)::renameat2(AT_FDCWD, staging[i].c_str(), AT_FDCWD, targets[i].c_str(), RENAME_EXCHANGE);
            else if (steps[i] == Step::Created)
                (void)::rename(targets[i].c_str(), staging[i].c_str());
        }
    }
    // The staging files now hold what is not wanted: the new content when
    // undone, the old when exchanged.
    std::vector<std::string> folders;
    for (std::size_t i = 0; i < targets.size(); ++i)
    {
        if (!staging[i].empty())
            ::unlink(staging[i].c_str());
        staged.erase(targets[i]);
        const std::string folder = folderOf(targets[i]);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    // Renames, made or undone, last only once their folder is synced.
    for (std::size_t i = 0; !steps.empty() && i < folders.size(); ++i)
        commit = syncFolder(folders[i]) && commit;
    if (error)
        errno = error;
    return commit;
}
}

bool replaceStagedAtomic(const std::vector<std::string>& targets) { return finishStaged(targets, true); }

void discardStagedAtomic(const std::vector<std::string>& targets) { (void)finishStaged(targets, false); }

void removeStaleTemporariesAtomic(const char* folder)
{
    if (!folder || !*folder)
        return;
    std::string path(folder);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::lock_guard<std::mutex> lock(pendingMutex);
    removeStaleTemporaries(path, std::string());
}
