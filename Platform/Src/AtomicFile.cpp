#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
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
}

std::FILE* fopenAtomic(const char* path, const char* mode)
{
    if (!path || !mode || mode[0] != 'w')
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

    // A hidden name next to the target, so the final rename stays inside one
    // filesystem. O_EXCL keeps us off any file left by an earlier process.
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        temporary = folder + "/." + base + ".tmp." + std::to_string(::getpid()) + "." +
                    std::to_string(counter.fetch_add(1));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
    std::lock_guard<std::mutex> lock(pendingMutex);
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
