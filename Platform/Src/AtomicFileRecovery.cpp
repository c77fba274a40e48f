// Recovery of grouped commits whose writer was killed: a commit record is
// finished, an undo record taken back, and a member record without either
// belongs to a commit that never began.
#include "AtomicFileRecord.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace AtomicFileShared;

namespace
{
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

// True when `path` is one of the temporaries of `target`, beside it.
bool temporaryOf(const std::string& path, const std::string& target)
{
    std::string folder, stem;
    unsigned long long pid = 0;
    return temporaryPlace(target, folder, stem) && folderOf(path) == folder &&
           temporaryWriter(baseOf(path), stem + ".tmp.", pid);
}

// A record found in a folder names only its own commit's files: each staging
// file and backup is a temporary of its target (a whole path), and every
// target's folder holds the commit's record or a member record of it.
// Anything else is not this system's record, and nothing it names is touched.
bool ours(const Commit& commit)
{
    const std::vector<std::string> folders = commit.folders();
    for (std::size_t i = 1; i < folders.size(); ++i)
        if (!pathExists(commit.memberRecord(folders[i])))
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
bool resolveDeadCommits(const std::string& named, const std::vector<std::string>& names,
                        std::vector<std::string>& kept)
{
    // Records hold whole paths; so does everything compared with them.
    const std::string folder = absolute(named);
    struct Found
    {
        std::string prefix, id;
    };
    std::vector<Found> found;
    for (const std::string& name : names)
    {
        if (name.compare(0, 7, ".group-") != 0)
            continue;
        unsigned long long pid = 0;
        // This process's own commits run under the lock its caller holds:
        // one of its records seen here is a dead predecessor's.
        for (const std::string& prefix : {CommitPrefix, UndoPrefix, MemberPrefix})
            if (temporaryWriter(name, prefix, pid) && (static_cast<pid_t>(pid) == ::getpid() || otherWriterGone(pid)))
                found.push_back(Found{prefix, name.substr(prefix.size())});
    }
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
            if (pathExists(fields[0] + "/" + CommitPrefix + f.id))
                done = resolve(fields[0], f.id, true, kept);
            else if (pathExists(fields[0] + "/" + UndoPrefix + f.id))
                done = resolve(fields[0], f.id, false, kept);
        }
        if (done)
            ::unlink(member.c_str());
    }
    return !found.empty();
}
}
