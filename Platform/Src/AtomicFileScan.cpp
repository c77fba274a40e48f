// The scan of a folder for what gone writers left: their grouped commits are
// settled first, then their temporaries go. What a kept record holds back,
// and what a refused save says about it.
#include "AtomicFile.h"
#include "AtomicFileRecord.h"

#include "EscapeControls.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace AtomicFileShared;

namespace
{
// What the last refused save of this thread was held back by.
thread_local std::string heldReason;
thread_local int heldError = 0;

// A gone writer's temporary that the scan would remove, and what stands
// under its name.
struct Leftover
{
    enum class Kind
    {
        File,
        Link,
        Other,  // a folder or a special file: never put in place nor removed
        Unknown // it could not be looked at: no verdict
    };
    std::string name;
    unsigned long long pid = 0, number = 0;
    Kind kind = Kind::Unknown;
};

// The target a temporary's stem stands for, when it can be known: "." and
// the target's name, unless a long name was cut short and hashed (then the
// target is found among `names`, or not known). False when it is not known.
bool targetOfStem(const std::string& folder, const std::string& stem, const std::vector<std::string>& names,
                  std::string& target)
{
    std::string place, again;
    target = stem.substr(1);
    if (stem.size() > 1 && temporaryPlace(folder + "/" + target, place, again) && again == stem)
        return true;
    for (const std::string& name : names)
        if (name[0] != '.' && temporaryPlace(folder + "/" + name, place, again) && again == stem)
        {
            target = name;
            return true;
        }
    return false;
}

// The leftover that may be the only copy of a missing target, chosen among
// one writer's own files: a writer that left two (a staging file and the
// old file it moved aside) gives the one it made last, the old file; one
// that left a record here (`recorded`: the staging files and backups a
// commit names are whole files), unless the record said that its commit
// never began, gives its file made last. Of several such writers, one with
// two files first, then the latest. Links, folders and special files are
// never chosen. npos when there is none.
std::size_t copyOfMissing(const std::vector<Leftover>& leftovers, const std::set<unsigned long long>& recorded)
{
    struct Writer
    {
        int files = 0;
        std::size_t last = 0;
    };
    std::map<unsigned long long, Writer> writers;
    for (std::size_t i = 0; i < leftovers.size(); ++i)
    {
        if (leftovers[i].kind != Leftover::Kind::File)
            continue;
        Writer& w = writers[leftovers[i].pid];
        if (w.files++ == 0 || leftovers[i].number > leftovers[w.last].number)
            w.last = i;
    }
    std::size_t chosen = std::string::npos;
    bool pair = false;
    for (const auto& writer : writers)
    {
        const bool two = writer.second.files > 1;
        if (!two && recorded.count(writer.first) == 0)
            continue;
        if (chosen == std::string::npos || (two && !pair) ||
            (two == pair && leftovers[writer.second.last].number > leftovers[chosen].number))
        {
            chosen = writer.second.last;
            pair = two;
        }
    }
    return chosen;
}

// Puts back the copy of the target of `stem` when the target is missing and
// one of `leftovers` may be its only copy (copyOfMissing). True when the
// rest may go.
bool putBackMissing(const std::string& folder, const std::string& stem, std::vector<Leftover>& leftovers,
                    const std::set<unsigned long long>& recorded, const std::vector<std::string>& names)
{
    if (stem.compare(0, 7, ".group-") == 0)
        return true;
    for (const Leftover& l : leftovers)
        if (l.kind == Leftover::Kind::Unknown)
            return false; // no verdict on what it is: everything stays
    const std::size_t chosen = copyOfMissing(leftovers, recorded);
    if (chosen == std::string::npos)
        return true;
    std::string target;
    if (!targetOfStem(folder, stem, names, target))
        return false; // cut and hashed, and nothing of its name is here: kept
    struct stat status;
    if (::lstat((folder + "/" + target).c_str(), &status) == 0)
        return true;
    if (errno != ENOENT)
        return false; // no verdict: everything stays
    const std::string path = folder + "/" + target;
    if (::rename((folder + "/" + leftovers[chosen].name).c_str(), path.c_str()) != 0)
        return false;
    say("An interrupted save left " + shownName(path) + " missing; the copy of it that the save left is put back");
    leftovers.erase(leftovers.begin() + static_cast<std::ptrdiff_t>(chosen));
    return true;
}

// Removes a leftover: a file or a link (never followed). A folder or a
// special file under a temporary's name is left, and said once a run.
void removeLeftover(const std::string& folder, const Leftover& leftover)
{
    const std::string path = folder + "/" + leftover.name;
    if (leftover.kind != Leftover::Kind::Other)
    {
        ::unlink(path.c_str());
        return;
    }
    if (firstTimeSaid(path))
        say("A leftover of an interrupted save " + shownName(path) + " is not a file; it is left as it stands");
}

// A folder that could not be listed is said once a run.
void sayUnlisted(const std::string& folder, int error)
{
    if (firstTimeSaid(folder))
        say("Could not look through the folder " + shownName(folder) + " for interrupted saves: " +
            std::strerror(error ? error : EIO));
}
}

namespace AtomicFileShared
{
void say(const std::string& line)
{
    std::printf("%s\n", Tovrane::escapeControls(line).c_str());
    std::fflush(stdout);
}

std::string shownName(const std::string& path) { return std::filesystem::path(path).lexically_normal().string(); }

bool firstTimeSaid(const std::string& path)
{
    static std::set<std::string> said;
    char* folder = ::realpath(folderOf(path).c_str(), nullptr);
    const std::string known = folder ? std::string(folder) + "/" + baseOf(path) : path;
    std::free(folder);
    return said.insert(known).second;
}

std::string Hold::reason() const
{
    const std::string why = std::strerror(error ? error : EIO);
    return Tovrane::escapeControls(folder ? "the folder " + shownName(record) +
                                                " cannot be looked through for interrupted saves (" + why + ")"
                                          : "the interrupted save recorded in " + shownName(record) +
                                                " holds it back (" + why + ")");
}

const Hold* Unsettled::holding(const std::string& name, const std::string& stem) const
{
    if (all)
        return &everything;
    const auto byName = names.find(name);
    if (byName != names.end())
        return &byName->second;
    const auto byStem = stems.find(stem);
    return byStem == stems.end() ? nullptr : &byStem->second;
}

void Unsettled::keepAll(const std::string& folder, int why)
{
    if (!all)
        everything = Hold{folder, why, true};
    all = true;
}

void Unsettled::keep(const std::string& name, const std::string& record, int why)
{
    names.emplace(name, Hold{record, why, false});
}

void Unsettled::keepWriter(unsigned long long pid, const std::vector<std::string>& listed, const std::string& record,
                           int why)
{
    writers.insert(pid);
    for (const std::string& name : listed)
    {
        std::string stem;
        unsigned long long writer = 0;
        if (temporaryStemOf(name, stem, writer) && writer == pid && stem.compare(0, 7, ".group-") != 0)
            stems.emplace(stem, Hold{record, why, false});
    }
}

void noteHeld(const Hold* hold)
{
    heldReason = hold ? hold->reason() : std::string();
    heldError = hold ? hold->error : 0;
}

bool temporaryStemOf(const std::string& name, std::string& stem, unsigned long long& pid)
{
    if (!temporaryWriter(name, "", pid))
        return false;
    stem = name.substr(0, name.rfind(".tmp."));
    return true;
}

bool isStaging(const std::string& path)
{
    for (const auto& stage : staged)
        if (stage.second == path)
            return true;
    return false;
}

bool inUse(const std::string& path)
{
    for (const auto& open : pending)
        if (open.second.temporary == path)
            return true;
    return isStaging(path);
}

// Removes the temporaries in `folder` whose writer is gone: a process that
// no longer runs (killed between writing and the rename), or this process
// when it no longer uses them (an earlier process of the same id). With a
// stem, only the temporaries of that target. The grouped commits of dead
// writers are settled first: until then their staging files and backups
// are not garbage. A writer whose commit could not be settled keeps its
// temporaries for a later scan, and no temporary goes that may be the only
// copy of a missing target.
bool removeStaleTemporaries(const std::string& folder, const std::string& stem, Unsettled& left)
{
    bool listed = true;
    std::vector<std::string> names = namesIn(folder, &listed);
    if (!listed)
        return false;
    std::set<std::string> neverBegun;
    const bool settled = resolveDeadCommits(folder, names, left, &neverBegun);
    // The writers that got as far as a record here, whatever became of it,
    // but for a record that said that its commit never began.
    std::set<unsigned long long> recorded;
    for (const std::string& name : names)
        for (const std::string& prefix : {CommitPrefix, UndoPrefix, MemberPrefix})
        {
            unsigned long long pid = 0;
            if (temporaryWriter(name, prefix, pid) && neverBegun.count(name) == 0)
                recorded.insert(pid);
        }
    if (settled)
    {
        names = namesIn(folder, &listed);
        if (!listed)
            return false;
    }
    if (left.all)
        return true;
    std::map<std::string, std::vector<Leftover>> byStem;
    for (const std::string& name : names)
    {
        Leftover leftover{name, 0, 0};
        std::string of;
        if (!temporaryStemOf(name, of, leftover.pid) || (!stem.empty() && of != stem) ||
            left.writers.count(leftover.pid) != 0)
            continue;
        const std::string path = folder + "/" + name;
        if (static_cast<pid_t>(leftover.pid) == ::getpid() ? inUse(path) : !otherWriterGone(leftover.pid))
            continue;
        (void)readNumber(name.c_str() + name.rfind('.') + 1, leftover.number);
        struct stat status;
        if (::lstat(path.c_str(), &status) == 0)
            leftover.kind = S_ISREG(status.st_mode)   ? Leftover::Kind::File
                            : S_ISLNK(status.st_mode) ? Leftover::Kind::Link
                                                      : Leftover::Kind::Other;
        else if (nothingThere(errno))
            continue;
        byStem[of].push_back(leftover);
    }
    for (auto& target : byStem)
        if (putBackMissing(folder, target.first, target.second, recorded, names))
            for (const Leftover& l : target.second)
                removeLeftover(folder, l);
    return true;
}
}

std::string atomicFailure(int error)
{
    if (!heldReason.empty() && error == heldError)
        return heldReason;
    return std::strerror(error ? error : EIO);
}

void removeStaleTemporariesAtomic(const char* folder)
{
    if (!folder || !*folder)
        return;
    std::string path(folder);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::lock_guard<std::mutex> lock(pendingMutex);
    Unsettled left;
    // A folder that is not there has nothing to settle.
    if (!removeStaleTemporaries(path, std::string(), left) && !nothingThere(errno))
        sayUnlisted(path, errno);
}
