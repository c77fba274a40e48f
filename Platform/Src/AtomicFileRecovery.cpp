// Recovery of grouped commits whose writer was killed: a commit record is
// finished, an undo record taken back, and a member record without either
// belongs to a commit that never began. A record acts only on the files its
// own commit saw or put there; one that cannot be read now stays for a later
// scan, and only a record read whole that is not this system's is removed.
#include "AtomicFileRecord.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace AtomicFileShared;

namespace
{
void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void sayForeign(const std::string& record)
{
    say("Could not read the record of an interrupted save " + record);
}

void sayKept(const std::string& record, int error)
{
    // Once a run: every scan of the folder meets the record again, by
    // whichever way to its folder the scan came.
    static std::set<std::string> said;
    char* folder = ::realpath(folderOf(record).c_str(), nullptr);
    const std::string known = folder ? std::string(folder) + "/" + baseOf(record) : record;
    std::free(folder);
    if (!said.insert(known).second)
        return;
    say("The record of an interrupted save " + record + " cannot be read now (" + std::strerror(error) +
        "); it is kept for a later load");
}

void sayStale(const std::string& record)
{
    say("The record of an interrupted save " + record + " is out of date: its files were saved again since; it is removed");
}

// True when `name` in `folder` is one of the temporaries of `target`, beside it.
bool temporaryOf(const std::string& folder, const std::string& name, const std::string& target)
{
    std::string place, stem;
    unsigned long long pid = 0;
    return temporaryPlace(folder + "/" + target, place, stem) && temporaryWriter(name, stem + ".tmp.", pid);
}

bool namesOwnFiles(const Commit& commit)
{
    for (const Member& m : commit.members)
    {
        const std::string& folder = commit.folders[m.folder];
        if (!temporaryOf(folder, m.staging, m.target) || (!m.backup.empty() && !temporaryOf(folder, m.backup, m.target)))
            return false;
    }
    return true;
}

enum class Settled
{
    Done,    // finished, taken back or dropped as out of date
    Kept,    // stays for a later scan
    Removed, // not this system's record: removed
    Missing, // not there
    NotFrom  // this system's, but its commit writes nothing into `via`
};

// Reads a record found in a scan: false, with what that means in `settled`,
// when it is gone or cannot be acted on now; true with its fields (none for
// one that is not this system's).
bool readDead(const std::string& record, unsigned long long pid, std::vector<std::string>& fields, Settled& settled)
{
    switch (readRecord(record, pid, fields))
    {
    case Found::Missing:
        settled = Settled::Missing;
        return false;
    case Found::Busy:
        settled = Settled::Kept;
        return false;
    case Found::Unreadable:
        sayKept(record, errno);
        settled = Settled::Kept;
        return false;
    case Found::Foreign:
        fields.clear();
        return true;
    case Found::Read:
        break;
    }
    return true;
}

// Checks the member record of every other folder of the commit: each must
// be this system's and lead back to the first folder.
Settled checkMembers(const Commit& commit, unsigned long long pid, const std::string& record)
{
    for (std::size_t i = 1; i < commit.folders.size(); ++i)
    {
        std::vector<std::string> fields;
        std::string back;
        const std::string member = commit.memberRecord(i);
        switch (readRecord(member, pid, fields))
        {
        case Found::Busy:
            return Settled::Kept;
        case Found::Unreadable:
            sayKept(member, errno);
            return Settled::Kept;
        case Found::Read:
            if (parseMember(fields, back) && sameFolder(commit.folders[i] + "/" + back, commit.folders[0]))
                continue;
            break;
        case Found::Missing:
        case Found::Foreign:
            break;
        }
        sayForeign(record);
        ::unlink(record.c_str());
        return Settled::Removed;
    }
    return Settled::Done;
}

// Finishes a commit that every target allows, or drops one that a newer save
// has overtaken: what the newer save put in place stays, and an old file
// that was moved aside goes back.
Settled settleForward(const Commit& commit, const std::string& record)
{
    bool stale = false;
    for (const Member& m : commit.members)
    {
        const Target target = targetOf(commit, m);
        const Stand staging = target == Target::Fresh ? Stand::Same : standing(commit.at(m, m.staging), m.fresh);
        if (target == Target::Unknown || staging == Stand::Unknown)
        {
            say("Could not finish the interrupted save of " + commit.at(m, m.target) + ": " + std::strerror(errno));
            return Settled::Kept;
        }
        stale = stale || target == Target::Other || staging != Stand::Same;
    }
    int error = 0;
    for (const Member& m : commit.members)
    {
        const bool ok = stale ? targetOf(commit, m) == Target::Fresh || takeBack(commit, m) : forward(commit, m);
        if (!ok && !error)
            error = errno ? errno : EIO;
    }
    if (error)
    {
        say("Could not finish the interrupted save of " + commit.at(commit.members.front(), commit.members.front().target) +
            ": " + std::strerror(error));
        return Settled::Kept;
    }
    if (stale)
        sayStale(record);
    return Settled::Done;
}

Settled settleBack(const Commit& commit, const std::string& record)
{
    int error = 0;
    bool stale = false;
    for (const Member& m : commit.members)
    {
        stale = stale || targetOf(commit, m) == Target::Other;
        if (!takeBack(commit, m) && !error)
            error = errno ? errno : EIO;
    }
    if (!error)
    {
        if (stale)
            sayStale(record);
        return Settled::Done;
    }
    say("Could not take back the interrupted save of " + commit.at(commit.members.front(), commit.members.front().target) +
        ": " + std::strerror(error));
    return Settled::Kept;
}

// Settles the commit of the record `prefix` + `id` in `first` (the folder of
// the commit's first target). `via`, when not empty, is the folder of the
// member record that led here.
Settled settle(const std::string& first, const std::string& prefix, const std::string& id, unsigned long long pid,
               const std::string& via)
{
    Commit commit;
    commit.id = id;
    const std::string record = first + "/" + prefix + id;
    std::vector<std::string> fields;
    Settled found = Settled::Done;
    if (!readDead(record, pid, fields, found))
        return found;
    bool ours = !fields.empty() && parseCommit(fields, commit);
    if (ours)
    {
        commit.folders.assign(1, first);
        for (std::size_t i = 1; i < commit.relative.size(); ++i)
        {
            // Only a folder that stands beside the first one itself, as the
            // live commit checks: never one reached through a link.
            if (!siblingFolder(first, commit.relative[i]))
            {
                if (errno != ENOENT && errno != ENOTDIR && errno != 0)
                {
                    sayKept(record, errno);
                    return Settled::Kept;
                }
                ours = false;
            }
            commit.folders.push_back(first + "/" + commit.relative[i]);
        }
        ours = ours && namesOwnFiles(commit);
    }
    if (!ours)
    {
        sayForeign(record);
        ::unlink(record.c_str());
        return Settled::Removed;
    }
    if (!via.empty())
    {
        bool from = false;
        for (std::size_t i = 1; i < commit.folders.size() && !from; ++i)
            from = sameFolder(commit.folders[i], via);
        if (!from)
            return Settled::NotFrom;
    }
    const Settled members = checkMembers(commit, pid, record);
    if (members != Settled::Done)
        return members;
    const Settled settled = prefix == CommitPrefix ? settleForward(commit, record) : settleBack(commit, record);
    if (settled != Settled::Done)
        return settled;
    Syncs syncs;
    for (const std::string& folder : commit.folders)
        syncs.sync(folder);
    syncs.report();
    return clearRecords(commit, record) ? Settled::Done : Settled::Kept;
}

// A member record in `folder`: its commit is settled from the first folder;
// without a commit or undo record there, the commit never began (or is
// done) and the member record is garbage.
Settled settleMember(const std::string& folder, const std::string& id, unsigned long long pid)
{
    const std::string member = folder + "/" + MemberPrefix + id;
    std::vector<std::string> fields;
    std::string back;
    Settled found = Settled::Done;
    if (!readDead(member, pid, fields, found))
        return found;
    const std::string first =
        parseMember(fields, back) && siblingFolder(folder, back) ? folder + "/" + back : std::string();
    Settled settled = first.empty() || sameFolder(first, folder) ? Settled::NotFrom : Settled::Missing;
    for (const std::string& prefix : {CommitPrefix, UndoPrefix})
        if (settled == Settled::Missing)
            settled = settle(first, prefix, id, pid, folder);
    if (settled == Settled::Kept)
        return settled;
    if (settled == Settled::NotFrom)
        sayForeign(member);
    ::unlink(member.c_str());
    return settled;
}
}

namespace AtomicFileShared
{
bool resolveDeadCommits(const std::string& folder, const std::vector<std::string>& names, bool& keep)
{
    bool any = false;
    for (const std::string& name : names)
    {
        if (name.compare(0, 7, ".group-") != 0)
            continue;
        for (const std::string& prefix : {CommitPrefix, UndoPrefix, MemberPrefix})
        {
            unsigned long long pid = 0;
            if (!temporaryWriter(name, prefix, pid))
                continue;
            any = true;
            const std::string id = name.substr(prefix.size());
            const Settled settled = prefix == MemberPrefix ? settleMember(folder, id, pid) : settle(folder, prefix, id, pid, "");
            // Until a commit is settled, its staging files and backups are
            // not garbage, whichever they are.
            keep = keep || settled == Settled::Kept;
        }
    }
    return any;
}
}
