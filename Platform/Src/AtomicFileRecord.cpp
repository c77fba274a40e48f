#include "AtomicFileRecord.h"

#include "RegularFile.h"

#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const std::string RecordHeader = "tovrane-atomic-group 3\n";
// Records of the version before, which knew files by inode number, size and
// modification time, are still read: a save killed just before an update is
// finished after it.
const std::string LegacyHeader = "tovrane-atomic-group 2\n";
const std::size_t RecordLimit = 1 << 20;
const std::size_t FolderLimit = 16;

// Record text: a header, then fields as "<length> <bytes>\n", then "end\n".
void putField(std::string& text, const std::string& field)
{
    text += std::to_string(field.size()) + " " + field + "\n";
}

bool takeField(const std::string& text, std::size_t& at, std::string& field)
{
    const std::size_t space = text.find(' ', at);
    unsigned long long length = 0;
    if (space == std::string::npos || space - at > 7 || !AtomicFileShared::readNumber(text.substr(at, space - at).c_str(), length) ||
        space + 1 + length >= text.size() || text[space + 1 + length] != '\n')
        return false;
    field = text.substr(space + 1, length);
    at = space + 2 + length;
    return true;
}

bool parseText(const std::string& text, std::vector<std::string>& fields)
{
    if (text.compare(0, RecordHeader.size(), RecordHeader) != 0 &&
        text.compare(0, LegacyHeader.size(), LegacyHeader) != 0)
        return false;
    std::size_t at = RecordHeader.size();
    while (text.compare(at, std::string::npos, "end\n") != 0)
    {
        fields.emplace_back();
        if (!takeField(text, at, fields.back()))
            return false;
    }
    return true;
}

// A name within a folder: no separator, no NUL, not "." or "..".
bool plainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name.size() <= 255;
}

// An identity in a record: "<size> <digest>", empty when unset.
std::string identityField(const AtomicFileShared::Identity& identity)
{
    return identity.set ? std::to_string(identity.size) + " " + identity.digest : std::string();
}

bool parseIdentity(const std::string& field, AtomicFileShared::Identity& identity)
{
    identity = AtomicFileShared::Identity();
    if (field.empty())
        return true;
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= field.size() && parts.size() <= 4;)
    {
        const std::size_t space = std::min(field.find(' ', at), field.size());
        parts.push_back(field.substr(at, space - at));
        at = space + 1;
    }
    if (parts.size() == 2)
    {
        // "<size> <digest>"
        if (!AtomicFileShared::readNumber(parts[0].c_str(), identity.size) || parts[1].size() != 32 ||
            parts[1].find_first_not_of("0123456789abcdef") != std::string::npos)
            return false;
        identity.digest = parts[1];
    }
    else if (parts.size() == 4)
    {
        unsigned long long numbers[4] = {};
        for (std::size_t i = 0; i < 4; ++i)
            if (!AtomicFileShared::readNumber(parts[i].c_str(), numbers[i]))
                return false;
        // The version before: "<inode> <size> <seconds> <nanoseconds>". The
        // inode number proves nothing; size and whole seconds are what is
        // left of what the file was.
        identity.size = numbers[1];
        identity.seconds = static_cast<long long>(numbers[2]);
        identity.legacy = true;
    }
    else
        return false;
    identity.set = true;
    return true;
}

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
const std::string CommitPrefix = ".group-commit.";
const std::string UndoPrefix = ".group-undo.";
const std::string MemberPrefix = ".group-member.";

Look lookAt(const std::string& path, const Identity& one, const Identity& two)
{
    Look look;
    // Without following a link or waiting on a pipe planted under the name.
    const int fd = openRegularFile(path.c_str(), nullptr, false);
    if (fd < 0)
    {
        look.error = errno;
        if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
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
    struct stat status;
    bool ok = ::fstat(fd, &status) == 0;
    if (ok && !S_ISREG(status.st_mode))
    {
        errno = EISDIR;
        ok = false;
    }
    if (ok)
    {
        identity.size = static_cast<unsigned long long>(status.st_size);
        ok = digestOf(fd, identity.size, identity.digest);
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    identity.set = ok;
    return ok;
}

Stand standing(const std::string& path, const Identity& identity) { return against(lookAt(path, identity), identity); }

void Syncs::sync(const std::string& folder)
{
    if (!syncFolder(folder) &&
        std::none_of(failed.begin(), failed.end(), [&](const auto& f) { return f.first == folder; }))
        failed.emplace_back(folder, errno);
}

void Syncs::report() const
{
    for (const auto& f : failed)
        sayUnsynced(f.first, f.second);
}

bool sameFolder(const std::string& a, const std::string& b)
{
    // Nothing there, or no folder, is an answer; any other failed look is not.
    const auto answered = [] { return errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG; };
    struct stat one, two;
    if (::stat(a.c_str(), &one) != 0 || ::stat(b.c_str(), &two) != 0)
    {
        if (answered())
            errno = 0;
        return false;
    }
    errno = 0;
    if (!S_ISDIR(one.st_mode))
        return false;
    if (one.st_dev == two.st_dev && one.st_ino == two.st_ino)
        return true;
    // A volume that makes inode numbers up may give one folder two numbers
    // at two looks; the name both resolve to still tells.
    char* first = ::realpath(a.c_str(), nullptr);
    char* second = first ? ::realpath(b.c_str(), nullptr) : nullptr;
    const int error = first && second ? 0 : answered() ? 0 : errno;
    const bool same = first && second && std::strcmp(first, second) == 0;
    std::free(first);
    std::free(second);
    errno = error;
    return same;
}

bool siblingFolder(const std::string& first, const std::string& relative)
{
    struct stat status;
    errno = 0;
    if (relative.compare(0, 3, "../") != 0 || !plainName(relative.substr(3)) ||
        ::lstat((first + "/" + relative).c_str(), &status) != 0)
        return false;
    errno = 0; // a link or anything but a folder
    return S_ISDIR(status.st_mode);
}

Found readRecord(const std::string& path, unsigned long long pid, std::vector<std::string>& fields)
{
    fields.clear();
    // Without following a link or waiting on a pipe planted under the name.
    const int fd = openRegularFile(path.c_str(), nullptr, false);
    if (fd < 0)
    {
        // A name that cannot be there (under a file, or too long) is not there.
        if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
            return Found::Missing;
        return errno == ELOOP || errno == ENXIO || errno == ENODEV || errno == EISDIR ? Found::Foreign
                                                                                       : Found::Unreadable;
    }
    // Held by its writer; where there are no locks, the writer's process id
    // tells, as well as it can. A busy record is still read, for what it
    // names; it is whole, written before it had its name.
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 &&
                      (errno == EWOULDBLOCK || (static_cast<pid_t>(pid) != ::getpid() && !otherWriterGone(pid)));
    std::string text;
    Found found = Found::Read;
    if (!readOpenFile(fd, text, RecordLimit))
        found = errno == EFBIG ? Found::Foreign : Found::Unreadable;
    const int error = errno;
    ::close(fd);
    if (found == Found::Read && !parseText(text, fields))
    {
        fields.clear();
        found = Found::Foreign;
    }
    if (busy)
    {
        if (found != Found::Read)
            fields.clear();
        errno = EBUSY;
        return Found::Busy;
    }
    errno = error;
    return found;
}

bool writeRecord(const std::string& path, const std::vector<std::string>& fields, int& fd)
{
    std::string text = RecordHeader;
    for (const std::string& field : fields)
        putField(text, field);
    text += "end\n";
    const std::string temporary = temporaryName(folderOf(path), baseOf(path));
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // Locked before it has its name, so that no scan takes it for a dead
    // writer's; a file system without locks leaves the process id to tell.
    (void)::flock(fd, LOCK_EX | LOCK_NB);
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                         ::fsync(fd) == 0 && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (written && syncFolder(folderOf(path)))
        return true;
    // Nothing may count on a record that is not durable: it goes.
    const int error = errno;
    ::unlink(written ? path.c_str() : temporary.c_str());
    ::close(fd);
    fd = -1;
    errno = error;
    return false;
}

std::vector<std::string> commitFields(const Commit& commit)
{
    std::vector<std::string> fields{"commit", std::to_string(commit.folders.size())};
    for (std::size_t i = 1; i < commit.relative.size(); ++i)
        fields.push_back(commit.relative[i]);
    for (const Member& m : commit.members)
    {
        fields.push_back(std::to_string(m.folder));
        fields.push_back(m.staging);
        fields.push_back(m.target);
        fields.push_back(m.backup);
        fields.push_back(identityField(m.fresh));
        fields.push_back(identityField(m.old));
    }
    return fields;
}

bool parseCommit(const std::vector<std::string>& fields, Commit& commit)
{
    unsigned long long folders = 0;
    if (fields.size() < 2 || fields[0] != "commit" || !readNumber(fields[1].c_str(), folders) || folders < 1 ||
        folders > FolderLimit || fields.size() < 1 + folders || (fields.size() - 1 - folders) % 6 != 0 ||
        fields.size() == 1 + folders)
        return false;
    commit.relative.assign(1, std::string());
    for (std::size_t i = 1; i < folders; ++i)
    {
        // Only a folder beside the first: nothing outside the player's own.
        const std::string& relative = fields[1 + i];
        if (relative.compare(0, 3, "../") != 0 || !plainName(relative.substr(3)) ||
            std::count(commit.relative.begin(), commit.relative.end(), relative) != 0)
            return false;
        commit.relative.push_back(relative);
    }
    commit.members.clear();
    for (std::size_t at = 1 + folders; at < fields.size(); at += 6)
    {
        Member m;
        unsigned long long folder = 0;
        if (!readNumber(fields[at].c_str(), folder) || folder >= folders)
            return false;
        m.folder = static_cast<std::size_t>(folder);
        m.staging = fields[at + 1];
        m.target = fields[at + 2];
        m.backup = fields[at + 3];
        if (!plainName(m.staging) || !plainName(m.target) || (!m.backup.empty() && !plainName(m.backup)) ||
            m.staging == m.target || m.backup == m.target || m.backup == m.staging ||
            !parseIdentity(fields[at + 4], m.fresh) || !parseIdentity(fields[at + 5], m.old) || !m.fresh.set ||
            m.old.set != !m.backup.empty())
            return false;
        for (const Member& other : commit.members)
            if (other.folder == m.folder && (other.target == m.target || other.staging == m.staging))
                return false;
        commit.members.push_back(m);
    }
    return true;
}

std::vector<std::string> memberFields(const Commit& commit) { return {"member", commit.back}; }

bool parseMember(const std::vector<std::string>& fields, std::string& relative)
{
    if (fields.size() != 2 || fields[0] != "member" || fields[1].compare(0, 3, "../") != 0 ||
        !plainName(fields[1].substr(3)))
        return false;
    relative = fields[1];
    return true;
}

Target targetOf(const Commit& commit, const Member& m)
{
    // Anything under the staging file's name means its rename has not
    // happened: only a record of the version before, which knows files by
    // size and time alone, could otherwise take an old file for the new one.
    struct stat status;
    bool staged = ::lstat(commit.at(m, m.staging).c_str(), &status) == 0;
    if (!staged && errno != ENOENT && errno != ENOTDIR && errno != ENAMETOOLONG)
        return Target::Unknown;
    const Look look = lookAt(commit.at(m, m.target), staged ? Identity() : m.fresh, m.old);
    switch (look.kind)
    {
    case Look::Failed:
        errno = look.error;
        return Target::Unknown;
    case Look::Nothing:
        return Target::Absent;
    case Look::NotAFile:
        return Target::Other;
    case Look::File:
        break;
    }
    if (!staged && against(look, m.fresh) == Stand::Same)
        return Target::Fresh;
    return against(look, m.old) == Stand::Same ? Target::Old : Target::Other;
}

bool forward(const Commit& commit, const Member& m)
{
    switch (targetOf(commit, m))
    {
    case Target::Fresh:
        return true;
    case Target::Unknown:
        return false;
    case Target::Other:
        errno = ESTALE;
        return false;
    case Target::Absent:
    case Target::Old:
        break;
    }
    const std::string staging = commit.at(m, m.staging);
    switch (standing(staging, m.fresh))
    {
    case Stand::Same:
        return ::rename(staging.c_str(), commit.at(m, m.target).c_str()) == 0;
    case Stand::Unknown:
        return false;
    case Stand::Absent:
    case Stand::Other:
        break;
    }
    errno = ESTALE;
    return false;
}

bool takeBack(const Commit& commit, const Member& m, Target now)
{
    const std::string target = commit.at(m, m.target);
    bool back = true;
    switch (now)
    {
    case Target::Unknown:
        return false;
    case Target::Old:
    case Target::Other: // a newer save: it stays
        break;
    case Target::Fresh:
    case Target::Absent:
        // Only the file this commit put there is taken away; the old file
        // goes back from its backup, and a backup that cannot be looked at
        // now stays for a later scan.
        if (!m.old.set)
            back = now == Target::Absent || ::unlink(target.c_str()) == 0 || errno == ENOENT;
        else
        {
            const std::string backup = commit.at(m, m.backup);
            switch (standing(backup, m.old))
            {
            case Stand::Same:
                back = ::rename(backup.c_str(), target.c_str()) == 0;
                break;
            case Stand::Unknown:
                return false;
            case Stand::Absent:
            case Stand::Other:
                break;
            }
        }
        break;
    }
    const int error = errno;
    back = (::unlink(commit.at(m, m.staging).c_str()) == 0 || errno == ENOENT) && back;
    if (!back)
        errno = error;
    return back;
}

bool clearRecords(const Commit& commit, const std::string& record, bool allInPlace)
{
    // A record that cannot be removed keeps the rest for a later scan, which
    // finds the commit done and clears it.
    if (::unlink(record.c_str()) != 0 && errno != ENOENT)
        return false;
    for (std::size_t i = 1; i < commit.folders.size(); ++i)
        ::unlink(commit.memberRecord(i).c_str());
    for (const Member& m : commit.members)
    {
        // A backup goes only once its target holds a whole file again.
        struct stat target;
        if (!m.backup.empty() &&
            (allInPlace || (::lstat(commit.at(m, m.target).c_str(), &target) == 0 && S_ISREG(target.st_mode))))
            ::unlink(commit.at(m, m.backup).c_str());
        if (!allInPlace)
            ::unlink(commit.at(m, m.staging).c_str());
    }
    return true;
}

std::string shownPath(const Commit& commit, const Member& m, const std::string& name)
{
    return std::filesystem::path(commit.at(m, name)).lexically_normal().string();
}
}
