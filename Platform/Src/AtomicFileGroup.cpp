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
#include <cstdlib>
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
// The folders of the targets, each once: the first target's, then its
// siblings, each with its name beside the first. False (EXDEV) for targets
// in folders that are not siblings.
bool gatherFolders(Commit& commit, const std::vector<std::string>& targets)
{
    for (const std::string& target : targets)
    {
        const std::string folder = folderOf(target);
        std::size_t at = 0;
        while (at < commit.folders.size() && !sameFolder(commit.folders[at], folder))
            ++at;
        if (at == commit.folders.size())
            commit.folders.push_back(folder);
        Member m;
        m.folder = at;
        m.target = baseOf(target);
        commit.members.push_back(m);
    }
    commit.relative.assign(1, std::string());
    if (commit.folders.size() == 1)
        return true;
    std::vector<std::string> real;
    for (const std::string& folder : commit.folders)
    {
        char* resolved = ::realpath(folder.c_str(), nullptr);
        if (!resolved)
            return false;
        real.emplace_back(resolved);
        std::free(resolved);
    }
    commit.back = "../" + baseOf(real[0]);
    for (std::size_t i = 1; i < real.size(); ++i)
    {
        commit.relative.push_back("../" + baseOf(real[i]));
        if (!siblingFolder(commit.folders[0], commit.relative[i]) ||
            !sameFolder(commit.folders[0] + "/" + commit.relative[i], commit.folders[i]))
        {
            errno = EXDEV;
            return false;
        }
    }
    return true;
}

// Readies the old file of a member: a backup linked to it (or, where the
// filesystem has no hard links, a name to move it to once the commit is
// decided), and its permissions given to the staging file.
bool keepOldFile(const Commit& commit, Member& m)
{
    const std::string target = commit.at(m, m.target), staging = commit.at(m, m.staging);
    struct stat old;
    if (::lstat(target.c_str(), &old) != 0)
        return errno == ENOENT;
    if (!S_ISREG(old.st_mode))
    {
        // Something else has the target's name: the save leaves it alone.
        errno = S_ISDIR(old.st_mode) ? EISDIR : S_ISLNK(old.st_mode) ? ELOOP : ENODEV;
        return false;
    }
    m.mode = old.st_mode & 07777;
    (void)::chmod(staging.c_str(), m.mode);
    std::string folder, stem;
    if (!identify(target, m.old, true) || !temporaryPlace(target, folder, stem))
        return false;
    const std::string backup = temporaryName(folder, stem);
    m.backup = baseOf(backup);
    if (::link(target.c_str(), backup.c_str()) == 0)
        return true;
    m.moved = errno == EPERM || errno == EMLINK || errno == ENOTSUP || errno == EOPNOTSUPP;
    if (!m.moved)
    {
        m.backup.clear();
        m.old = Identity();
    }
    return m.moved;
}

// Writes the member records, then the commit record, each durable and
// locked until `locks` are closed: from then on the commit goes through,
// also when the writer is killed.
bool writeRecords(const Commit& commit, std::vector<std::string>& written, std::vector<int>& locks)
{
    unsigned readable = 0;
    for (const Member& m : commit.members)
        readable |= m.mode;
    for (std::size_t i = 1; i < commit.folders.size(); ++i)
    {
        int fd = -1;
        if (!writeRecord(commit.memberRecord(i), memberFields(commit), fd, readable))
            return false;
        locks.push_back(fd);
        written.push_back(commit.memberRecord(i));
    }
    int fd = -1;
    if (!writeRecord(commit.record(CommitPrefix), commitFields(commit), fd, readable))
        return false;
    locks.push_back(fd);
    written.push_back(commit.record(CommitPrefix));
    return true;
}

void release(std::vector<int>& locks)
{
    for (int fd : locks)
        ::close(fd);
    locks.clear();
}

// Commits the staging files of `targets`; called with pendingMutex held and
// every target staged. On failure errno says why and `failed` names the
// target it came from (empty when it came from no one target).
bool commit(const std::vector<std::string>& targets, const std::vector<std::string>& staging, std::string& failed)
{
    Commit commit;
    commit.id = std::to_string(::getpid()) + "." + std::to_string(uniqueNumber());
    if (!gatherFolders(commit, targets))
        return false;
    // Dead writers' commits of the same files are settled first, so that
    // none of them is left to act after this one. One that cannot be settled
    // now stops this commit before anything is written: a kept record would
    // take this commit's files for its own, or undo them, at a later load.
    for (std::size_t f = 0; f < commit.folders.size(); ++f)
    {
        bool listed = true;
        const std::vector<std::string> names = namesIn(commit.folders[f], &listed);
        Unsettled left;
        if (listed)
            (void)resolveDeadCommits(commit.folders[f], names, left);
        else
            left.keepAll(commit.folders[f], errno);
        for (std::size_t i = 0; i < commit.members.size() && left.any(); ++i)
        {
            std::string folder, stem;
            const Member& m = commit.members[i];
            const Hold* hold = m.folder == f && temporaryPlace(targets[i], folder, stem) ? left.holding(m.target, stem)
                                                                                         : nullptr;
            if (hold)
            {
                noteHeld(hold);
                failed = targets[i];
                errno = hold->error;
                return false;
            }
        }
    }
    bool ok = true;
    for (std::size_t i = 0; ok && i < commit.members.size(); ++i)
    {
        Member& m = commit.members[i];
        m.staging = baseOf(staging[i]);
        // What the staging file's writer read back at its close, or else
        // what it holds now.
        const auto known = stagedIdentities.find(staging[i]);
        if (known != stagedIdentities.end())
            m.fresh = known->second;
        ok = (m.fresh.set || identify(staging[i], m.fresh, true)) && keepOldFile(commit, m);
        if (!ok)
            failed = targets[i];
    }
    std::vector<std::string> records;
    std::vector<int> locks;
    ok = ok && writeRecords(commit, records, locks);
    if (!ok)
    {
        // Nothing is in place yet: only what this commit made goes.
        const int error = errno;
        for (const Member& m : commit.members)
            if (!m.moved && !m.backup.empty())
                ::unlink(commit.at(m, m.backup).c_str());
        for (const std::string& record : records)
            ::unlink(record.c_str());
        release(locks);
        errno = error;
        return false;
    }
    // The writer holds the data folder and the records: nothing else changes
    // the targets meanwhile, so the renames need no look at them first.
    for (std::size_t i = 0; ok && i < commit.members.size(); ++i)
    {
        const Member& m = commit.members[i];
        const std::string target = commit.at(m, m.target);
        ok = (!m.moved || ::rename(target.c_str(), commit.at(m, m.backup).c_str()) == 0) &&
             ::rename(commit.at(m, m.staging).c_str(), target.c_str()) == 0;
        if (!ok)
            failed = targets[i];
    }
    std::string record = commit.record(CommitPrefix);
    int error = ok ? 0 : errno;
    if (!ok)
    {
        // Taken back under a record that says so, in case the writer is
        // killed part-way through this too. Where the record cannot say so,
        // the commit is finished instead if it can be; only when neither
        // works is it taken back without a record.
        const bool marked = ::rename(record.c_str(), commit.record(UndoPrefix).c_str()) == 0;
        ok = !marked && std::all_of(commit.members.begin(), commit.members.end(),
                                    [&](const Member& m) { return forward(commit, m); });
        if (marked)
            record = commit.record(UndoPrefix);
        bool back = true;
        for (std::size_t i = 0; !ok && i < commit.members.size(); ++i)
            back = takeBackNow(commit, commit.members[i]) == Back::Done && back;
        if (ok)
        {
            error = 0;
            failed.clear();
        }
        // What cannot be taken back now is settled by a later scan, under
        // its record (an undo record, or the commit record where that could
        // not be made): no file it needs may go before.
        if (!back)
        {
            release(locks);
            errno = error;
            return false;
        }
    }
    Syncs syncs;
    for (const std::string& folder : commit.folders)
        syncs.sync(folder);
    (void)clearRecords(commit, record, ok && error == 0);
    release(locks);
    syncs.report();
    // The reason of the step that failed, not of the clean-up after it.
    errno = error;
    return ok;
}

// Commits (or, with commit false, drops) the staging files of `targets`.
bool finishStaged(const std::vector<std::string>& targets, bool commitThem, std::string* failed)
{
    noteHeld(nullptr);
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
    std::string failedTarget;
    const bool done = commitThem && commit(targets, staging, failedTarget);
    const int error = errno;
    if (failed)
        *failed = failedTarget;
    // What is left of the staging files is not wanted any more; a commit
    // that went through put them all in place.
    for (std::size_t i = 0; i < targets.size(); ++i)
    {
        if (!done && !staging[i].empty())
            ::unlink(staging[i].c_str());
        stagedIdentities.erase(staging[i]);
        staged.erase(targets[i]);
    }
    errno = done ? 0 : (error ? error : EINVAL);
    return done;
}
}

bool replaceStagedAtomic(const std::vector<std::string>& targets, std::string* failed)
{
    return finishStaged(targets, true, failed);
}

void discardStagedAtomic(const std::vector<std::string>& targets) { (void)finishStaged(targets, false, nullptr); }
