#include "AtomicFileRecord.h"

#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

}

namespace AtomicFileShared
{
const std::string CommitPrefix = ".group-commit.";
const std::string UndoPrefix = ".group-undo.";
const std::string MemberPrefix = ".group-member.";

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
    struct stat one, two;
    if (::stat(a.c_str(), &one) != 0 || ::stat(b.c_str(), &two) != 0)
    {
        if (nothingThere(errno))
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
    const int error = first && second ? 0 : nothingThere(errno) ? 0 : errno;
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
        // A name under a file is not there; any other failed open (a name
        // too long among them: the listing showed it) is no verdict.
        if (nothingThere(errno))
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

bool writeRecord(const std::string& path, const std::vector<std::string>& fields, int& fd, unsigned readable)
{
    std::string text = RecordHeader;
    for (const std::string& field : fields)
        putField(text, field);
    text += "end\n";
    const std::string temporary = temporaryName(folderOf(path), baseOf(path));
    // Readable as the save files are (the umask applies), and by whoever may
    // read the files it guards: a scan that cannot read a record must hold
    // those files back. Only its writer may write it.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat made;
    if (::fstat(fd, &made) == 0 && (made.st_mode & 0777) != ((made.st_mode | readable) & 0644))
        (void)::fchmod(fd, (made.st_mode | readable) & 0644);
    // Locked before it has its name, so that no scan takes it for a dead
    // writer's; a file system without locks leaves the process id to tell.
    (void)::flock(fd, LOCK_EX | LOCK_NB);
    const bool written = writeFully(fd, text.data(), text.size()) && ::fsync(fd) == 0 &&
                         ::rename(temporary.c_str(), path.c_str()) == 0;
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

}
