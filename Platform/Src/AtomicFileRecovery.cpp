// Recovery of grouped commits whose writer was killed: a commit record is
// finished, an undo record taken back, and a member record without either
// belongs to a commit that never began. A record acts only on the files its
// own commit saw or put there; one that cannot be read now stays for a later
// scan, and only a record read whole that is not this system's is removed.
// Lines name files escaped, as read from the records.
#include "AtomicFileRecord.h"

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace AtomicFileShared;

namespace
{
void sayForeign(const std::string& record)
{
    say("Could not read the record of an interrupted save " + shownName(record));
}

void sayKept(const std::string& record, int error)
{
    if (firstTimeSaid(record))
        say("The record of an interrupted save " + shownName(record) + " cannot be read now (" + std::strerror(error) +
            "); it is kept for a later load");
}

void sayStale(const std::string& record)
{
    say("The record of an interrupted save " + shownName(record) +
        " is out of date: its files were saved again since; it is removed");
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
    Kept,    // stays for a later scan (errno: why)
    Removed, // not this system's record: removed
    Missing, // not there
    NotFrom  // this system's, but its commit writes nothing into `via`
};

// A commit that a failed step keeps: said once a run, with that step's own
// reason (`error`, left in errno).
Settled keptUnfinished(const std::string& record, const std::string& verb, const std::string& file, int error)
{
    error = error ? error : EIO;
    if (firstTimeSaid(record))
        say("Could not " + verb + " the interrupted save of " + file + ": " + std::strerror(error) +
            "; it is kept for a later load");
    errno = error;
    return Settled::Kept;
}

// Checks the member record of every other folder of the commit but
// `scanned`, whose record led here: each must be this system's and lead back
// to the first folder.
Settled checkMembers(const Commit& commit, unsigned long long pid, const std::string& record, std::size_t scanned)
{
    for (std::size_t i = 1; i < commit.folders.size(); ++i)
    {
        if (i == scanned)
            continue;
        std::vector<std::string> fields;
        std::string back;
        const std::string member = commit.memberRecord(i);
        switch (readRecord(member, pid, fields))
        {
        case Found::Busy:
            errno = EBUSY;
            return Settled::Kept;
        case Found::Unreadable:
        {
            const int error = errno;
            sayKept(member, error);
            errno = error;
            return Settled::Kept;
        }
        case Found::Read:
            if (!parseMember(fields, back))
                break;
            if (sameFolder(commit.folders[i] + "/" + back, commit.folders[0]))
                continue;
            if (errno)
            {
                const int error = errno;
                sayKept(member, error);
                errno = error;
                return Settled::Kept;
            }
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

// Settles a commit whose writer is gone, from its commit record (`undo`
// false) or its undo record. A commit record is finished when every target
// allows; one a newer save has overtaken is dropped: what the newer save put
// in place stays, and an old file that was moved aside goes back. One that
// cannot be finished although nothing overtook it (a staging file gone) is
// taken back whole, as an undo record is. Where an old file it would need
// for that is gone too, it can go neither way: what stands stays. No target
// is left missing while the commit's copy of it stands. Each file is looked
// at once, before anything is changed; a look that fails keeps the whole
// commit for a later load.
Settled settleCommit(const Commit& commit, const std::string& record, bool undo)
{
    const std::size_t count = commit.members.size();
    std::vector<Target> now(count);
    // Unknown in `staged` for a staging file not looked at: a failed look
    // keeps the commit before anything is done.
    std::vector<Stand> staged(count, Stand::Unknown), backup(count, Stand::Same);
    const char* const verb = undo ? "take back" : "finish";
    bool stale = false;
    for (std::size_t i = 0; i < count; ++i)
    {
        const Member& m = commit.members[i];
        now[i] = targetOf(commit, m);
        if (now[i] == Target::Unknown)
            return keptUnfinished(record, verb, shownPath(commit, m, m.target), errno);
        stale = stale || now[i] == Target::Other;
    }
    // The first member whose new file is gone, when the commit must go back
    // for it.
    std::size_t gone = count;
    for (std::size_t i = 0; i < count && !undo && !stale && gone == count; ++i)
    {
        const Member& m = commit.members[i];
        if (now[i] == Target::Fresh)
            continue;
        staged[i] = standing(commit.at(m, m.staging), m.fresh);
        if (staged[i] == Stand::Unknown)
            return keptUnfinished(record, verb, shownPath(commit, m, m.target), errno);
        if (staged[i] != Stand::Same)
            gone = i;
    }
    const bool back = undo || gone != count;
    std::size_t lacking = count; // the first member whose old file is gone
    for (std::size_t i = 0; i < count && (back || stale); ++i)
    {
        const Member& m = commit.members[i];
        // A dropped commit leaves its new files that are in place there.
        if (!needsBackup(m, now[i]) || (!back && now[i] == Target::Fresh))
            continue;
        backup[i] = standing(commit.at(m, m.backup), m.old);
        if (backup[i] == Stand::Unknown)
            return keptUnfinished(record, "take back", shownPath(commit, m, m.target), errno);
        if (backup[i] != Stand::Same && lacking == count)
            lacking = i;
    }
    int error = 0;
    std::size_t failed = 0, taken = 0;
    for (std::size_t i = 0; i < count; ++i)
    {
        const Member& m = commit.members[i];
        bool ok = true;
        if (back && lacking == count)
        {
            taken += now[i] == Target::Fresh || (now[i] == Target::Absent && m.old.set);
            ok = takeBack(commit, m, now[i], backup[i]) == Back::Done;
        }
        else if (back || stale)
            ok = now[i] != Target::Absent || !m.old.set ||
                 putBack(commit, m, backup[i], staged[i] != Stand::Unknown ? &staged[i] : nullptr);
        else if (now[i] != Target::Fresh)
            ok = ::rename(commit.at(m, m.staging).c_str(), commit.at(m, m.target).c_str()) == 0;
        if (!ok && !error)
        {
            error = errno ? errno : EIO;
            failed = i;
        }
    }
    if (error)
    {
        const Member& m = commit.members[failed];
        return keptUnfinished(record, back || stale ? "take back" : "finish", shownPath(commit, m, m.target), error);
    }
    if (stale)
        sayStale(record);
    else if (back && lacking != count)
        say("The interrupted save of " + shownPath(commit, commit.members[lacking], commit.members[lacking].target) +
            " can be neither finished nor taken back: files it wrote or replaced are gone; its files are left as they stand");
    else if (!undo && back)
        say("The interrupted save of " + shownPath(commit, commit.members[gone], commit.members[gone].target) +
            " cannot be finished: a file it wrote is gone; " +
            (taken ? "it is taken back" : "it had put no file in place, and is dropped"));
    return Settled::Done;
}

// True when errno says a look failed, not that nothing stands there.
bool lookFailed() { return errno != 0 && !nothingThere(errno); }

// The folder a scan looks through, what its listing showed, and what the
// scan could not settle there.
struct Scan
{
    const std::string& folder;
    const std::vector<std::string>& names;
    Unsettled& left;
    std::set<std::string>* neverBegun;
};

// A record that cannot be looked at now (errno): said once a run, unless
// its writer still runs. What it names is not known: the files that its
// writer `pid` has temporaries of in the folder scanned are held back, and
// those temporaries stay.
Settled keptUnread(const std::string& record, unsigned long long pid, Scan& scan)
{
    const int error = errno;
    scan.left.keepWriter(pid, scan.names, record, error);
    if (error != EBUSY)
        sayKept(record, error);
    errno = error;
    return Settled::Kept;
}

// Notes in the scan what a kept commit names in folder `scanned` of it (in
// any of its folders when that is not known), and keeps its writer's
// temporaries there.
void keepNamed(const Commit& commit, std::size_t scanned, const std::string& record, unsigned long long pid,
               int error, Scan& scan)
{
    scan.left.writers.insert(pid);
    for (const Member& m : commit.members)
        if (m.folder == scanned || scanned == commit.folders.size())
            scan.left.keep(m.target, record, error);
}

// Settles the commit of the record `prefix` + `id` in `first` (the folder of
// the commit's first target). `viaMember` when the member record in the
// folder scanned led here; else the scan is of `first`.
Settled settle(const std::string& first, const std::string& prefix, const std::string& id, unsigned long long pid,
               bool viaMember, Scan& scan)
{
    Commit commit;
    commit.id = id;
    const std::string record = first + "/" + prefix + id;
    std::vector<std::string> fields;
    const Found found = readRecord(record, pid, fields);
    if (found == Found::Missing)
        return Settled::Missing;
    if (found == Found::Unreadable)
        return keptUnread(record, pid, scan);
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
                if (lookFailed())
                    return keptUnread(record, pid, scan);
                ours = false;
            }
            commit.folders.push_back(first + "/" + commit.relative[i]);
        }
        ours = ours && namesOwnFiles(commit);
    }
    if (!ours)
    {
        // A writer that still runs is left alone, whatever it wrote.
        if (found == Found::Busy)
        {
            errno = EBUSY;
            return keptUnread(record, pid, scan);
        }
        sayForeign(record);
        ::unlink(record.c_str());
        return Settled::Removed;
    }
    std::size_t scanned = 0;
    if (viaMember)
    {
        for (std::size_t i = 1; i < commit.folders.size() && !scanned; ++i)
            if (sameFolder(commit.folders[i], scan.folder))
                scanned = i;
            else if (errno)
            {
                const int error = errno;
                keepNamed(commit, commit.folders.size(), record, pid, error, scan);
                sayKept(record, error);
                errno = error;
                return Settled::Kept;
            }
        if (!scanned)
            return Settled::NotFrom;
    }
    if (found == Found::Busy)
    {
        keepNamed(commit, scanned, record, pid, EBUSY, scan);
        return Settled::Kept;
    }
    Settled settled = checkMembers(commit, pid, record, scanned);
    if (settled == Settled::Done)
        settled = settleCommit(commit, record, prefix == UndoPrefix);
    if (settled == Settled::Done)
    {
        Syncs syncs;
        for (const std::string& folder : commit.folders)
            syncs.sync(folder);
        syncs.report();
        if (!clearRecords(commit, record))
            settled = Settled::Kept;
    }
    if (settled == Settled::Kept)
        keepNamed(commit, scanned, record, pid, errno ? errno : EIO, scan);
    return settled;
}

// A member record in the folder scanned: its commit is settled from the
// first folder; without a commit or undo record there, the commit never
// began (or is done) and the member record is garbage, unless its writer
// still runs.
Settled settleMember(const std::string& id, unsigned long long pid, Scan& scan)
{
    const std::string member = scan.folder + "/" + MemberPrefix + id;
    std::vector<std::string> fields;
    std::string back;
    const Found found = readRecord(member, pid, fields);
    if (found == Found::Missing)
        return Settled::Missing;
    if (found == Found::Unreadable)
        return keptUnread(member, pid, scan);
    std::string first;
    if (parseMember(fields, back))
    {
        if (siblingFolder(scan.folder, back))
            first = scan.folder + "/" + back;
        else if (lookFailed())
            return keptUnread(member, pid, scan);
    }
    Settled settled = Settled::NotFrom;
    if (!first.empty() && !sameFolder(first, scan.folder))
    {
        if (errno)
            return keptUnread(member, pid, scan);
        settled = Settled::Missing;
    }
    for (const std::string& prefix : {CommitPrefix, UndoPrefix})
        if (settled == Settled::Missing)
            settled = settle(first, prefix, id, pid, true, scan);
    if (settled == Settled::Kept)
        return settled;
    // Neither record is there: nothing of the commit was put in place (or
    // it was settled whole before).
    if (settled == Settled::Missing && found != Found::Busy && scan.neverBegun)
        scan.neverBegun->insert(MemberPrefix + id);
    if (found == Found::Busy && settled != Settled::Done)
    {
        errno = EBUSY;
        return keptUnread(member, pid, scan);
    }
    if (settled == Settled::NotFrom)
        sayForeign(member);
    ::unlink(member.c_str());
    return settled == Settled::Missing ? Settled::Done : settled;
}
}

namespace AtomicFileShared
{
bool resolveDeadCommits(const std::string& folder, const std::vector<std::string>& names, Unsettled& left,
                        std::set<std::string>* neverBegun)
{
    Scan scan{folder, names, left, neverBegun};
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
            const Settled settled =
                prefix == MemberPrefix ? settleMember(id, pid, scan) : settle(folder, prefix, id, pid, false, scan);
            // Listed, yet gone at its open: what its writer left stays until
            // a scan can tell what it was.
            if (settled == Settled::Missing)
                left.writers.insert(pid);
        }
    }
    return any;
}
}
