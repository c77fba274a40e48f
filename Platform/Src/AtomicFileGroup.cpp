// Files replaced together. Each new file is staged beside its target; the
// commit then writes a record naming every staging file, its target and a
// backup of the old target, and only then renames the staging files into
// place. The record makes the commit one step: a writer killed before it is
// in place changed nothing (its staging files are garbage), and one killed
// after it left a record that the next scan of the folder finishes (rolls
// forward). A rename that fails while the writer lives takes the whole
// commit back, under a record renamed to say so, so that a kill during that
// too ends with every target old.
#include "AtomicFile.h"
#include "AtomicFileShared.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace AtomicFileShared;

namespace
{
// A record's name is one of these and "<pid>.<number>". The commit record
// lies in the folder of the first target; every other folder the commit
// writes into holds a member record naming that folder, so that a scan of
// any of them finds the commit before it takes its staging files for garbage.
const std::string CommitPrefix = ".group-commit.";
const std::string UndoPrefix = ".group-undo.";
const std::string MemberPrefix = ".group-member.";
const std::string RecordHeader = "tovrane-atomic-group 1\n";
const std::size_t RecordLimit = 4 << 20;

// One file of a commit; backup is empty when the target did not exist.
struct Member
{
    std::string staging, target, backup;
    bool moved = false; // the old file is moved aside, not linked (no hard links here)
};

struct Commit
{
    std::string id; // "<pid>.<number>"
    std::string folder;
    std::vector<Member> members;

    std::string record(const std::string& prefix) const { return folder + "/" + prefix + id; }
    std::string memberRecord(const std::string& in) const { return in + "/" + MemberPrefix + id; }
    // The folders of the targets, the commit record's first.
    std::vector<std::string> folders() const
    {
        std::vector<std::string> all{folder};
        for (const Member& m : members)
            if (std::find(all.begin(), all.end(), folderOf(m.target)) == all.end())
                all.push_back(folderOf(m.target));
        return all;
    }
};

bool exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

// Folder syncs are said once at the end; they never undo what is in place.
struct Syncs
{
    std::vector<std::pair<std::string, int>> failed;
    void sync(const std::string& folder)
    {
        if (!syncFolder(folder) && std::none_of(failed.begin(), failed.end(), [&](const auto& f) { return f.first == folder; }))
            failed.emplace_back(folder, errno);
    }
    void report() const
    {
        for (const auto& f : failed)
            sayUnsynced(f.first, f.second);
    }
};

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

bool readText(const std::string& path, std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    text.resize(RecordLimit + 1);
    text.resize(std::fread(&text[0], 1, text.size(), file));
    const bool ok = !std::ferror(file) && text.size() <= RecordLimit;
    std::fclose(file);
    return ok;
}

// The fields of a whole record, or false for anything else.
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

// Writes a record whole and durably: beside it first, then renamed into place.
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

// Puts one staging file in place, when it is not already.
bool forward(const Member& m)
{
    return !exists(m.staging) || ::rename(m.staging.c_str(), m.target.c_str()) == 0;
}

// Gives one target back its old content, whatever step it had reached;
// false when it could not.
bool takeBack(const Member& m)
{
    bool back = true;
    if (!m.backup.empty())
    {
        // A backup that is still a link of the target is only removed.
        back = !exists(m.backup) || ::rename(m.backup.c_str(), m.target.c_str()) == 0;
        if (back)
            ::unlink(m.backup.c_str());
    }
    else if (!exists(m.staging))
        back = ::unlink(m.target.c_str()) == 0 || errno == ENOENT; // a new file that was put in place
    ::unlink(m.staging.c_str());
    return back;
}

// What a commit that could be neither finished nor taken back keeps until a
// later scan can: its records, staging files and backups.
void keep(const Commit& commit, std::vector<std::string>& kept)
{
    for (const Member& m : commit.members)
    {
        kept.push_back(m.staging);
        kept.push_back(m.backup);
    }
}

// Removes what a finished or taken-back commit leaves: its record first (a
// member record or a backup left without it is garbage), then the member
// records and the backups. False when the record stays.
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

// True when `path` is one of the temporaries of `target`, beside it.
bool temporaryOf(const std::string& path, const std::string& target)
{
    std::string folder, stem;
    unsigned long long pid = 0;
    return temporaryPlace(target, folder, stem) && folderOf(path) == folder &&
           temporaryWriter(baseOf(path), stem + ".tmp.", pid);
}

// A record found in a folder names only its own commit's files: each staging
// file and backup is a temporary of its target (a whole path), and every target's folder
// holds the commit's record or a member record of it. Anything else is not
// this system's record, and nothing it names is touched.
bool ours(const Commit& commit)
{
    const std::vector<std::string> folders = commit.folders();
    for (std::size_t i = 1; i < folders.size(); ++i)
        if (!exists(commit.memberRecord(folders[i])))
            return false;
    for (const Member& m : commit.members)
        if (m.target[0] != '/' || !temporaryOf(m.staging, m.target) ||
            (!m.backup.empty() && !temporaryOf(m.backup, m.target)))
            return false;
    return !commit.members.empty();
}

// Finishes (forward) or takes back a dead writer's commit from its record.
// False when a step failed: the records and the files they name stay (those
// named in `kept`) for a later scan to try again.
bool resolve(const std::string& folder, const std::string& id, bool forwards, std::vector<std::string>& kept)
{
    Commit commit;
    commit.id = id;
    commit.folder = folder;
    const std::string record = commit.record(forwards ? CommitPrefix : UndoPrefix);
    std::vector<std::string> fields;
    const bool read = readRecord(record, fields) && fields.size() % 3 == 0;
    for (std::size_t i = 0; read && i < fields.size(); i += 3)
    {
        Member m;
        m.staging = fields[i];
        m.target = fields[i + 1];
        m.backup = fields[i + 2];
        commit.members.push_back(m);
    }
    if (!read || !ours(commit))
    {
        std::printf("Could not read the record of an interrupted save %s\n", record.c_str());
        std::fflush(stdout);
        ::unlink(record.c_str());
        return true;
    }
    bool done = true;
    int error = 0;
    for (const Member& m : commit.members)
        if (!(forwards ? forward(m) : takeBack(m)) && done)
        {
            done = false;
            error = errno;
        }
    if (!done)
    {
        std::printf("Could not finish the interrupted save of %s: %s\n", commit.members.front().target.c_str(),
                    std::strerror(error));
        std::fflush(stdout);
        keep(commit, kept);
        return false;
    }
    Syncs syncs;
    for (const std::string& in : commit.folders())
        syncs.sync(in);
    syncs.report();
    return clearRecords(commit, record);
}

}

namespace AtomicFileShared
{
bool resolveDeadCommits(const std::string& named, std::vector<std::string>& kept)
{
    // Records hold whole paths; so does everything compared with them.
    const std::string folder = absolute(named);
    struct Found
    {
        std::string prefix, id;
    };
    std::vector<Found> found;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name.compare(0, 7, ".group-") != 0)
            continue;
        unsigned long long pid = 0;
        // This process's own commits run under the lock its caller holds:
        // one of its records seen here is a dead predecessor's.
        for (const std::string& prefix : {CommitPrefix, UndoPrefix, MemberPrefix})
            if (temporaryWriter(name, prefix, pid) && (static_cast<pid_t>(pid) == ::getpid() || otherWriterGone(pid)))
                found.push_back(Found{prefix, name.substr(prefix.size())});
    }
    ::closedir(dir);
    for (const Found& f : found)
    {
        if (f.prefix != MemberPrefix)
        {
            resolve(folder, f.id, f.prefix == CommitPrefix, kept);
            continue;
        }
        // A member record leads to its commit's folder; without a commit
        // record there, the commit never began and its files are garbage.
        const std::string member = folder + "/" + MemberPrefix + f.id;
        std::vector<std::string> fields;
        bool done = true;
        if (readRecord(member, fields) && fields.size() == 1 && fields[0] != folder)
        {
            if (exists(fields[0] + "/" + CommitPrefix + f.id))
                done = resolve(fields[0], f.id, true, kept);
            else if (exists(fields[0] + "/" + UndoPrefix + f.id))
                done = resolve(fields[0], f.id, false, kept);
        }
        if (done)
            ::unlink(member.c_str());
    }
    return !found.empty();
}
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
// Readies the old file of a member: a backup linked to it (or, where the
// filesystem has no hard links, a name to move it to once the commit is
// decided), and its permissions given to the staging file.
bool keepOldFile(Member& m)
{
    struct stat old;
    if (::lstat(m.target.c_str(), &old) != 0)
        return errno == ENOENT;
    if (!S_ISREG(old.st_mode))
    {
        errno = EISDIR;
        return false;
    }
    (void)::chmod(m.staging.c_str(), old.st_mode & 07777);
    std::string folder, stem;
    if (!temporaryPlace(m.target, folder, stem))
        return false;
    m.backup = temporaryName(folder, stem);
    if (::link(m.target.c_str(), m.backup.c_str()) == 0)
        return true;
    m.moved = errno == EPERM || errno == EMLINK || errno == ENOTSUP || errno == EOPNOTSUPP;
    if (!m.moved)
        m.backup.clear();
    return m.moved;
}

// Writes the member records, then the commit record: from then on the commit
// goes through, also when the writer is killed.
bool writeRecords(const Commit& commit, std::vector<std::string>& written, Syncs& syncs)
{
    const std::vector<std::string> folders = commit.folders();
    for (std::size_t i = 1; i < folders.size(); ++i)
    {
        if (!writeRecord(commit.memberRecord(folders[i]), {commit.folder}, syncs))
            return false;
        written.push_back(commit.memberRecord(folders[i]));
    }
    std::vector<std::string> fields;
    for (const Member& m : commit.members)
    {
        fields.push_back(m.staging);
        fields.push_back(m.target);
        fields.push_back(m.backup);
    }
    if (!writeRecord(commit.record(CommitPrefix), fields, syncs))
        return false;
    written.push_back(commit.record(CommitPrefix));
    return true;
}

// Commits the staging files of `targets`; called with pendingMutex held and
// every target staged.
bool commit(const std::vector<std::string>& targets, const std::vector<std::string>& staging)
{
    Commit commit;
    commit.id = std::to_string(::getpid()) + "." + std::to_string(uniqueNumber());
    for (std::size_t i = 0; i < targets.size(); ++i)
    {
        Member m;
        m.staging = absolute(staging[i]);
        m.target = absolute(targets[i]);
        commit.members.push_back(m);
    }
    commit.folder = folderOf(commit.members.front().target);
    Syncs syncs;
    std::vector<std::string> records;
    bool ok = true;
    for (std::size_t i = 0; ok && i < commit.members.size(); ++i)
        ok = keepOldFile(commit.members[i]);
    ok = ok && writeRecords(commit, records, syncs);
    if (!ok)
    {
        // Nothing is in place yet: only what this commit made goes.
        const int error = errno;
        for (const Member& m : commit.members)
            if (!m.moved && !m.backup.empty())
                ::unlink(m.backup.c_str());
        for (const std::string& record : records)
            ::unlink(record.c_str());
        errno = error;
        return false;
    }
    for (std::size_t i = 0; ok && i < commit.members.size(); ++i)
    {
        const Member& m = commit.members[i];
        ok = (!m.moved || ::rename(m.target.c_str(), m.backup.c_str()) == 0) && forward(m);
    }
    std::string record = commit.record(CommitPrefix);
    if (!ok)
    {
        // Taken back under a record that says so, in case the writer is
        // killed part-way through this too. Where the record cannot say so,
        // the commit is finished instead if it can be; only when neither
        // works is it taken back without a record.
        const int error = errno;
        const bool marked = ::rename(record.c_str(), commit.record(UndoPrefix).c_str()) == 0;
        ok = !marked && std::all_of(commit.members.begin(), commit.members.end(), forward);
        if (marked)
            record = commit.record(UndoPrefix);
        bool back = true;
        for (std::size_t i = 0; !ok && i < commit.members.size(); ++i)
            back = takeBack(commit.members[i]) && back;
        errno = error;
        // What cannot be taken back now is taken back by a later scan, under
        // its record; without one, nothing more can be done.
        if (!back && marked)
            return false;
    }
    for (const std::string& folder : commit.folders())
        syncs.sync(folder);
    (void)clearRecords(commit, record);
    syncs.report();
    return ok;
}

// Commits (or, with commit false, drops) the staging files of `targets`.
bool finishStaged(const std::vector<std::string>& targets, bool commitThem)
{
    if (targets.empty())
        return true;
    std::lock_guard<std::mutex> lock(pendingMutex);
    std::vector<std::string> staging;
    for (const std::string& target : targets)
    {
        auto it = staged.find(target);
        staging.push_back(it == staged.end() ? std::string() : it->second);
        commitThem = commitThem && it != staged.end() &&
                     std::count(targets.begin(), targets.end(), target) == 1;
    }
    const bool done = commitThem && commit(targets, staging);
    const int error = errno;
    // What is left of the staging files is not wanted any more.
    for (std::size_t i = 0; i < targets.size(); ++i)
    {
        if (!staging[i].empty())
            ::unlink(staging[i].c_str());
        staged.erase(targets[i]);
    }
    errno = done ? 0 : (error ? error : EINVAL);
    return done;
}
}

bool replaceStagedAtomic(const std::vector<std::string>& targets) { return finishStaged(targets, true); }

void discardStagedAtomic(const std::vector<std::string>& targets) { (void)finishStaged(targets, false); }
