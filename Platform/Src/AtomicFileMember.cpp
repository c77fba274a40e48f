// The steps that act on one member of a grouped commit, for the live commit
// and for the recovery of a killed writer's: what stands at its target, and
// putting its new file in place or its old one back.
#include "AtomicFileRecord.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFileShared
{
Target targetOf(const Commit& commit, const Member& m)
{
    // Anything under the staging file's name means its rename has not
    // happened: only a record of the version before, which knows files by
    // size and time alone, could otherwise take an old file for the new one.
    struct stat status;
    bool staged = ::lstat(commit.at(m, m.staging).c_str(), &status) == 0;
    if (!staged && !nothingThere(errno))
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

bool needsBackup(const Member& m, Target now) { return m.old.set && (now == Target::Fresh || now == Target::Absent); }

Back takeBack(const Commit& commit, const Member& m, Target now, Stand backup)
{
    const std::string target = commit.at(m, m.target);
    bool back = true;
    switch (now)
    {
    case Target::Unknown:
        return Back::Failed;
    case Target::Old:
    case Target::Other: // a newer save: it stays
        break;
    case Target::Fresh:
    case Target::Absent:
        // Only the file this commit put there is taken away; the old file
        // goes back from its backup. Without it, the commit cannot be taken
        // back, and what stands stays, the staging file too.
        if (!m.old.set)
            back = now == Target::Absent || ::unlink(target.c_str()) == 0 || errno == ENOENT;
        else if (backup == Stand::Unknown)
            return Back::Failed;
        else if (backup != Stand::Same)
        {
            errno = ENOENT;
            return Back::Lacking;
        }
        else
            back = ::rename(commit.at(m, m.backup).c_str(), target.c_str()) == 0;
        break;
    }
    const int error = errno;
    back = (::unlink(commit.at(m, m.staging).c_str()) == 0 || errno == ENOENT) && back;
    if (!back)
        errno = error;
    return back ? Back::Done : Back::Failed;
}

Back takeBackNow(const Commit& commit, const Member& m)
{
    const Target now = targetOf(commit, m);
    if (now == Target::Unknown)
        return Back::Failed;
    return takeBack(commit, m, now, needsBackup(m, now) ? standing(commit.at(m, m.backup), m.old) : Stand::Same);
}

bool putBack(const Commit& commit, const Member& m, Stand backup, const Stand* staging)
{
    const std::string target = commit.at(m, m.target);
    if (m.old.set && backup == Stand::Same)
        return ::rename(commit.at(m, m.backup).c_str(), target.c_str()) == 0;
    const Stand fresh = staging ? *staging : standing(commit.at(m, m.staging), m.fresh);
    if (fresh == Stand::Unknown)
        return false;
    return fresh != Stand::Same || ::rename(commit.at(m, m.staging).c_str(), target.c_str()) == 0;
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
        // A backup goes only once its target holds a whole file again; the
        // staging file of a target that had an old file, only once something
        // stands there: until then either may be its only copy.
        struct stat target;
        const bool looked = allInPlace || ::lstat(commit.at(m, m.target).c_str(), &target) == 0;
        if (!m.backup.empty() && (allInPlace || (looked && S_ISREG(target.st_mode))))
            ::unlink(commit.at(m, m.backup).c_str());
        if (!allInPlace && (looked || !m.old.set))
            ::unlink(commit.at(m, m.staging).c_str());
    }
    return true;
}

std::string shownPath(const Commit& commit, const Member& m, const std::string& name)
{
    return shownName(commit.at(m, name));
}
}
