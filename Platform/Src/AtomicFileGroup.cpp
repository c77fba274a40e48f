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
#include "AtomicFileRecord.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace AtomicFileShared;

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
    // What is left of the staging files is not wanted any more; a commit
    // that went through put them all in place.
    for (std::size_t i = 0; i < targets.size(); ++i)
    {
        if (!done && !staging[i].empty())
            ::unlink(staging[i].c_str());
        staged.erase(targets[i]);
    }
    errno = done ? 0 : (error ? error : EINVAL);
    return done;
}
}

bool replaceStagedAtomic(const std::vector<std::string>& targets) { return finishStaged(targets, true); }

void discardStagedAtomic(const std::vector<std::string>& targets) { (void)finishStaged(targets, false); }
