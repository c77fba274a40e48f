#ifndef PLATFORM_ATOMICFILEIDENTITY_H
#define PLATFORM_ATOMICFILEIDENTITY_H

// What a grouped commit knows each of its files by: its size and a digest of
// its content, and one look at a path to compare with that.

#include <map>
#include <string>

namespace AtomicFileShared
{
// True when a failed look's `error` says that nothing stands at the path
// (nothing there, a file where a folder should be): an answer, not a
// failure. A name too long is a failure: every name a scan looks up was
// listed there, or made there by a commit.
bool nothingThere(int error);

// What a file held when the commit saw it: its size and a digest of its
// content; unset for a file that was not there. Files are known by what they
// hold, never by inode numbers, which FAT and exFAT volumes, FUSE and copies
// make up anew.
struct Identity
{
    bool set = false;
    unsigned long long size = 0;
    std::string digest; // 32 hexadecimal digits
    // From a record of the version before: size and modification time only.
    bool legacy = false;
    long long seconds = 0;

    bool operator==(const Identity& other) const
    {
        return set == other.set && size == other.size && digest == other.digest && legacy == other.legacy &&
               seconds == other.seconds;
    }
};

// What stands at a path compared with an identity.
enum class Stand
{
    Absent,  // nothing
    Same,    // a regular file holding just that
    Other,   // anything else
    Unknown  // it could not be looked at now (errno)
};

// One look at what stands at a path: for a regular file its size and
// modification time, and the digest of its content only when an identity
// it is to be compared with has that size, so that a file is read at most
// once however many identities it is compared with.
struct Look
{
    enum Kind
    {
        Nothing,
        File,
        NotAFile,
        Failed // `error` says why
    } kind = Failed;
    int error = 0;
    Identity file;
};
Look lookAt(const std::string& path, const Identity& one, const Identity& two = Identity());
Stand against(const Look& look, const Identity& identity);

// The identity of the regular file at `path` (not through a link); false
// (errno: EISDIR for anything but a regular file) when there is none. With
// `known`, for a file the caller has just written or looked at, the look
// before the open (for devices that act on one) is left out.
bool identify(const std::string& path, Identity& identity, bool known = false);
// The identity of what the open regular file `fd` holds, read from its
// start.
bool identifyOpen(int fd, Identity& identity);
// What each staging file held when its writer closed it, by its path, read
// through the writer's own descriptor: the commit need not open it again.
// Dropped when the staging file is opened anew or put in place. Guarded by
// pendingMutex.
extern std::map<std::string, Identity> stagedIdentities;
Stand standing(const std::string& path, const Identity& identity);
}

#endif
