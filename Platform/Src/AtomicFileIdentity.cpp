#include "AtomicFileIdentity.h"

#include "RegularFile.h"

#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
// The digest of what an open regular file of `size` bytes holds.
bool digestOf(int fd, unsigned long long size, std::string& digest)
{
    XXH3_state_t* state = XXH3_createState();
    if (!state)
    {
        errno = ENOMEM;
        return false;
    }
    XXH3_128bits_reset(state);
    // One read for the files a save writes; larger ones in pieces.
    std::vector<char> buffer(static_cast<std::size_t>(std::min<unsigned long long>(size, 1 << 20)));
    bool ok = true;
    for (unsigned long long left = size; ok && left > 0;)
    {
        const std::size_t want = static_cast<std::size_t>(std::min<unsigned long long>(left, buffer.size()));
        std::size_t got = 0;
        ok = readFully(fd, buffer.data(), want, got);
        if (ok && got < want) // shrunk meanwhile: not the file that was looked at
        {
            errno = ESTALE;
            ok = false;
        }
        XXH3_128bits_update(state, buffer.data(), got);
        left -= got;
    }
    if (ok)
    {
        XXH128_canonical_t canonical;
        XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state));
        static const char hex[] = "0123456789abcdef";
        digest.clear();
        for (unsigned char byte : canonical.digest)
        {
            digest += hex[byte >> 4];
            digest += hex[byte & 15];
        }
    }
    XXH3_freeState(state);
    return ok;
}
}

namespace AtomicFileShared
{
bool nothingThere(int error) { return error == ENOENT || error == ENOTDIR; }

Look lookAt(const std::string& path, const Identity& one, const Identity& two)
{
    Look look;
    // Without following a link or waiting on a pipe planted under the name.
    const int fd = openRegularFile(path.c_str(), nullptr, false);
    if (fd < 0)
    {
        look.error = errno;
        if (nothingThere(errno))
            look.kind = Look::Nothing;
        else if (errno == EISDIR || errno == ENODEV || errno == ELOOP)
            look.kind = Look::NotAFile;
        return look;
    }
    struct stat status;
    bool ok = ::fstat(fd, &status) == 0;
    if (ok)
    {
        look.file.set = true;
        look.file.size = static_cast<unsigned long long>(status.st_size);
        look.file.seconds = static_cast<long long>(status.st_mtim.tv_sec);
        // Read only when the content can tell: a file of another size is
        // neither.
        const auto wants = [&](const Identity& identity) {
            return identity.set && !identity.legacy && identity.size == look.file.size;
        };
        if (wants(one) || wants(two))
            ok = digestOf(fd, look.file.size, look.file.digest);
    }
    look.error = ok ? 0 : errno;
    look.kind = ok ? Look::File : Look::Failed;
    ::close(fd);
    return look;
}

Stand against(const Look& look, const Identity& identity)
{
    switch (look.kind)
    {
    case Look::Nothing:
        return Stand::Absent;
    case Look::NotAFile:
        return Stand::Other;
    case Look::Failed:
        errno = look.error;
        return Stand::Unknown;
    case Look::File:
        break;
    }
    if (!identity.set || identity.size != look.file.size)
        return Stand::Other;
    // A record of the version before: size and whole seconds are all it knows.
    if (identity.legacy)
        return identity.seconds == look.file.seconds ? Stand::Same : Stand::Other;
    return identity.digest == look.file.digest ? Stand::Same : Stand::Other;
}

std::map<std::string, Identity> stagedIdentities;

bool identifyOpen(int fd, Identity& identity)
{
    identity = Identity();
    struct stat status;
    if (::fstat(fd, &status) != 0 || ::lseek(fd, 0, SEEK_SET) != 0)
        return false;
    identity.size = static_cast<unsigned long long>(status.st_size);
    identity.set = digestOf(fd, identity.size, identity.digest);
    return identity.set;
}

bool identify(const std::string& path, Identity& identity, bool known)
{
    identity = Identity();
    // Without following a link or waiting on a pipe planted under the name.
    const int fd = known ? ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                         : openRegularFile(path.c_str(), nullptr, false);
    if (fd < 0)
    {
        if (errno == ENODEV || errno == ELOOP)
            errno = EISDIR;
        return false;
    }
    // The open without a look may have met something planted since.
    struct stat status;
    const bool regular = !known || (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode));
    const bool ok = regular && identifyOpen(fd, identity);
    const int error = regular ? errno : EISDIR;
    ::close(fd);
    errno = error;
    return ok;
}

Stand standing(const std::string& path, const Identity& identity) { return against(lookAt(path, identity), identity); }
}
