// Recovery of grouped commits whose writer was killed: a commit record is
// finished, an undo record taken back, and a member record without either
// belongs to a commit that never began. A record acts only on the files its
// own commit saw or put there; one that cannot be read now stays for a later
// scan, and only a record read whole that is not this system's is removed.
// Lines name files escaped, as read from the records.
#include "AtomicFileRecord.h"

#include "EscapeControls.h"

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace AtomicFileShared;

namespace
{
void say(const std::string& line)
{
    std::printf("%s\n", Tovrane::escapeControls(line).c_str());
    std::fflush(stdout);
}

// A record's path as a person would name its folder: "Photos/.group-...",
// not "Scrivlet/../Photos/.group-...".
std::string shown(const std::string& path) { return std::filesystem::path(path).lexically_normal().string(); }

void sayForeign(const std::string& record)
{
    say("Could not read the record of an interrupted save " + shown(record));
}

// True the first time in a run that a record is met kept: every scan of the
// folder meets it again, by whichever way to its folder the scan came.
bool firstTimeKept(const std::string& record)
{
    static std::set<std::string> said;
    char* folder = ::realpath(folderOf(record).c_str(), nullptr);
    const std::string known = folder ? std::string(folder) + "/" + baseOf(record) : record;
    std::free(folder);
    return said.insert(known).second;
}

void sayKept(const std::string& record, int error)
{
    if (firstTimeKept(record))
        say("The record of an interrupted save " + shown(record) + " cannot be read now (" + std::strerror(error) +
            "); it is kept for a later load");
}

void sayStale(const std::string& record)
{
    say("The record of an interrupted save " + shown(record) +
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
    if (firstTimeKept(record))
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

// Finishes a commit that every target allows. One a newer save has
// overtaken is dropped: what the newer save put in place stays, and an old
// file that was moved aside goes back. One that cannot be finished although
// nothing overtook it (a staging file gone) is taken back whole. Each file
// is looked at once, before anything is changed; a look that fails keeps
// the whole commit for a later load.
Settled settleForward(const Commit& commit, const std::string& record)
{
    std::vector<Target> now;
    bool stale = false, back = false;
    for (const Member& m : commit.members)
    {
        now.push_back(targetOf(commit, m));
        if (now.back() == Target::Unknown)
        {
            const int error = errno;
            return keptUnfinished(record, "finish", shownPath(commit, m, m.target), error);
        }
        stale = stale || now.back() == Target::Other;
    }
    for (std::size_t i = 0; i < commit.members.size() && !stale && !back; ++i)
    {
        const Member& m = commit.members[i];
        if (now[i] == Target::Fresh)
            continue;
        switch (standing(commit.at(m, m.staging), m.fresh))
        {
        case Stand::Same:
            break;
        case Stand::Unknown:
        {
            const int error = errno;
            return keptUnfinished(record, "finish", shownPath(commit, m, m.staging), error);
        }
        case Stand::Absent:
        case Stand::Other:
            back = true;
            break;
        }
    }
    int error = 0;
    std::size_t failed = 0;
    for (std::size_t i = 0; i < commit.members.size(); ++i)
    {
        const Member& m = commit.members[i];
        bool ok = true;
        if (stale)
            ok = now[i] == Target::Fresh || takeBack(commit, m, now[i]);
        else if (back)
            ok = takeBack(commit, m, now[i]);
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
        return keptUnfinished(record, stale || back ? "take back" : "finish", shownPath(commit, m, m.target), error);
    }
    if (stale)
        sayStale(record);
    else if (back)
        say("The interrupted save of " + shownPath(commit, commit.members.front(), commit.members.front().target) +
            " cannot be finished: a file it wrote is gone; it is taken back");
    return Settled::Done;
}

Settled settleBack(const Commit& commit, const std::string& record)
{
    std::vector<Target> now;
    for (const Member& m : commit.members)
    {
        now.push_back(targetOf(commit, m));
        if (now.back() == Target::Unknown)
        {
            const int error = errno;
            return keptUnfinished(record, "take back", shownPath(commit, m, m.target), error);
        }
    }
    for (std::size_t i = 0; i < commit.members.size(); ++i)
        if (!takeBack(commit, commit.members[i], now[i]))
        {
            const int error = errno;
            return keptUnfinished(record, "take back", shownPath(commit, commit.members[i], commit.members[i].target),
                                  error);
        }
    if (std::find(now.begin(), now.end(), Target::Other) != now.end())
        sayStale(record);
    return Settled::Done;
}

// True when errno says a look failed, not that nothing stands there.
bool lookFailed() { return errno != 0 && !nothingThere(errno); }

// A record that cannot be looked at now (errno): said once a run, and every
// file in the folder scanned is kept from saves, since what it names is not
// known.
Settled keptUnread(const std::string& record, Unsettled& left)
{
    const int error = errno;
    left.keepAll(error);
    sayKept(record, error);
    errno = error;
    return Settled::Kept;
}

// Notes in `left` what a kept commit names in folder `scanned` of it.
void keepNamed(const Commit& commit, std::size_t scanned, int error, Unsettled& left)
{
    for (const Member& m : commit.members)
        if (m.folder == scanned)
            left.keep(m.target, error);
}

// Settles the commit of the record `prefix` + `id` in `first` (the folder of
// the commit's first target). `via`, when not empty, is the folder of the
// member record that led here. What stays unsettled in the folder scanned
// (`via`, or `first`) goes into `left`.
Settled settle(const std::string& first, const std::string& prefix, const std::string& id, unsigned long long pid,
               const std::string& via, Unsettled& left)
{
    Commit commit;
    commit.id = id;
    const std::string record = first + "/" + prefix + id;
    std::vector<std::string> fields;
    const Found found = readRecord(record, pid, fields);
    if (found == Found::Missing)
        return Settled::Missing;
    if (found == Found::Unreadable)
        return keptUnread(record, left);
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
                    return keptUnread(record, left);
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
            left.keepAll(EBUSY);
            return Settled::Kept;
        }
        sayForeign(record);
        ::unlink(record.c_str());
        return Settled::Removed;
    }
    std::size_t scanned = 0;
    if (!via.empty())
    {
        for (std::size_t i = 1; i < commit.folders.size() && !scanned; ++i)
            if (sameFolder(commit.folders[i], via))
                scanned = i;
            else if (errno)
            {
                return keptUnread(record, left);
            }
        if (!scanned)
            return Settled::NotFrom;
    }
    if (found == Found::Busy)
    {
        keepNamed(commit, scanned, EBUSY, left);
        return Settled::Kept;
    }
    Settled settled = checkMembers(commit, pid, record, scanned);
    if (settled == Settled::Done)
        settled = prefix == CommitPrefix ? settleForward(commit, record) : settleBack(commit, record);
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
        keepNamed(commit, scanned, errno ? errno : EIO, left);
    return settled;
}

// A member record in `folder`: its commit is settled from the first folder;
// without a commit or undo record there, the commit never began (or is
// done) and the member record is garbage, unless its writer still runs.
Settled settleMember(const std::string& folder, const std::string& id, unsigned long long pid, Unsettled& left)
{
    const std::string member = folder + "/" + MemberPrefix + id;
    std::vector<std::string> fields;
    std::string back;
    const Found found = readRecord(member, pid, fields);
    if (found == Found::Missing)
        return Settled::Missing;
    if (found == Found::Unreadable)
        return keptUnread(member, left);
    std::string first;
    if (parseMember(fields, back))
    {
        if (siblingFolder(folder, back))
            first = folder + "/" + back;
        else if (lookFailed())
            return keptUnread(member, left);
    }
    Settled settled = Settled::NotFrom;
    if (!first.empty() && !sameFolder(first, folder))
    {
        if (errno)
            return keptUnread(member, left);
        settled = Settled::Missing;
    }
    for (const std::string& prefix : {CommitPrefix, UndoPrefix})
        if (settled == Settled::Missing)
            settled = settle(first, prefix, id, pid, folder, left);
    if (settled == Settled::Kept)
        return settled;
    if (found == Found::Busy && settled != Settled::Done)
    {
        left.keepAll(EBUSY);
        return Settled::Kept;
    }
    if (settled == Settled::NotFrom)
        sayForeign(member);
    ::unlink(member.c_str());
    return settled;
}
}

namespace AtomicFileShared
{
bool resolveDeadCommits(const std::string& folder, const std::vector<std::string>& names, Unsettled& left)
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
            if (prefix == MemberPrefix)
                (void)settleMember(folder, id, pid, left);
            else
                (void)settle(folder, prefix, id, pid, "", left);
        }
    }
    return any;
}
}
