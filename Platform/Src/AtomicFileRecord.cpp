#include "AtomicFileRecord.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const std::string RecordHeader = "tovrane-atomic-group 1\n";
const std::size_t RecordLimit = 1 << 20;

// Record text: a header, then fields as "<length> <bytes>\n", then "end\n".
void putField(std::string& text, const std::string& field)
{
    text += std::to_string(field.size()) + " " + field + "\n";
}

bool takeField(const std::string& text, std::size_t& at, std::string& field)
{
    const std::size_t space = text.find(' ', at);
    unsigned long long length = 0;
    if (space == std::string::npos || space - at > 7 || !readNumber(text.substr(at, space - at).c_str(), length) ||
        space + 1 + length >= text.size() || text[space + 1 + length] != '\n')
        return false;
    field = text.substr(space + 1, length);
    at = space + 2 + length;
    return true;
}

// A record's text; false for anything but a plain file of at most
// RecordLimit bytes (a pipe planted under a record's name is not waited on).
bool readText(const std::string& path, std::string& text)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
              static_cast<unsigned long long>(status.st_size) <= RecordLimit;
    char buffer[4096];
    for (ssize_t got = 1; ok && got > 0 && text.size() <= RecordLimit;)
    {
        got = ::read(fd, buffer, sizeof buffer);
        ok = got >= 0;
        text.append(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    ::close(fd);
    return ok && text.size() <= RecordLimit;
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

bool pathExists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

bool readRecord(const std::string& path, std::vector<std::string>& fields)
{
    std::string text;
    if (!readText(path, text) || text.compare(0, RecordHeader.size(), RecordHeader) != 0)
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

bool writeRecord(const std::string& path, const std::vector<std::string>& fields, Syncs& syncs)
{
    std::string text = RecordHeader;
    for (const std::string& field : fields)
        putField(text, field);
    text += "end\n";
    const std::string temporary = temporaryName(folderOf(path), baseOf(path));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    int error = errno;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
    {
        error = errno ? errno : error;
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    syncs.sync(folderOf(path));
    return true;
}

bool forward(const Member& m)
{
    return !pathExists(m.staging) || ::rename(m.staging.c_str(), m.target.c_str()) == 0;
}

bool takeBack(const Member& m)
{
    bool back = true;
    if (!m.backup.empty())
    {
        // A backup that is still a link of the target is only removed.
        back = !pathExists(m.backup) || ::rename(m.backup.c_str(), m.target.c_str()) == 0;
        if (back)
            ::unlink(m.backup.c_str());
    }
    else if (!pathExists(m.staging))
        back = ::unlink(m.target.c_str()) == 0 || errno == ENOENT; // a new file that was put in place
    ::unlink(m.staging.c_str());
    return back;
}

bool clearRecords(const Commit& commit, const std::string& record)
{
    // A record that cannot be removed keeps the rest for a later scan, which
    // finds the commit done and clears it.
    if (::unlink(record.c_str()) != 0 && errno != ENOENT)
        return false;
    const std::vector<std::string> folders = commit.folders();
    for (std::size_t i = 1; i < folders.size(); ++i)
        ::unlink(commit.memberRecord(folders[i]).c_str());
    for (const Member& m : commit.members)
        if (!m.backup.empty())
            ::unlink(m.backup.c_str());
    return true;
}
}
