#ifndef PLATFORM_ATOMICFILESHARED_H
#define PLATFORM_ATOMICFILESHARED_H

// What the single-file writer and the grouped commit share: the book of open
// streams and staging files, the names of temporaries, and folder syncs.

#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace AtomicFileShared
{
struct Pending
{
    std::string path;
    std::string temporary;
};

// Guards everything below, and every scan or change of a folder's
// temporaries and commit records, so that no thread's temporary or commit in
// progress is taken for a dead writer's.
extern std::mutex pendingMutex;
// Streams opened by fopenAtomic and not yet closed, with their two paths.
extern std::map<std::FILE*, Pending> pending;
// Staging files named by stageAtomic and not yet put in place, by target.
extern std::map<std::string, std::string> staged;

std::string folderOf(const std::string& path);
std::string baseOf(const std::string& path);

// Makes renames and removals in `folder` durable. Filesystems that cannot
// sync a folder, and folders that may not be read, count as success.
bool syncFolder(const std::string& folder);
// Syncs `folder` once every file is in place; a failure is said in one line
// (sayUnsynced) and changes nothing else: what was put in place stays.
void reportUnsynced(const std::string& folder);
void sayUnsynced(const std::string& folder, int error);

// The folder of `target` and the stem of its temporaries' names; false (with
// errno) when the target's name cannot be a file's.
bool temporaryPlace(const std::string& target, std::string& folder, std::string& stem);
// A fresh temporary's path: `stem` + ".tmp.<pid>.<number>" in `folder`.
std::string temporaryName(const std::string& folder, const std::string& stem);
// A number no other temporary or record of this or an earlier process has.
unsigned long long uniqueNumber();

// True when `text` is one or more decimal digits; their value in `value`.
bool readNumber(const char* text, unsigned long long& value);
// The writer's process id when `name` is a temporary's or a record's name:
// `prefix` followed by "<pid>.<number>". With an empty prefix any hidden name
// ending in ".tmp.<pid>.<number>" counts.
bool temporaryWriter(const std::string& name, const std::string& prefix, unsigned long long& pid);
// True when another process `pid`, named in a temporary's or a record's name,
// no longer runs, so that what it left is no one's. This process's own names
// are judged by what it still uses.
bool otherWriterGone(unsigned long long pid);

// The names in `folder`; none when it cannot be read. `listed`, when given,
// is false (errno) when the folder could not be read for a reason other than
// not being allowed to: then what it holds is not known.
std::vector<std::string> namesIn(const std::string& folder, bool* listed = nullptr);

// Why a save may not go ahead over a file now: the record of an interrupted
// save that could not be settled, and why; or the folder, when it could not
// be looked through for records at all.
struct Hold
{
    std::string record;
    int error = 0;
    bool folder = false;

    // The reason a refused save gives: which record holds it back, and why.
    std::string reason() const;
};

// What a scan of a folder could not settle now. A kept commit holds back the
// files its record names; a record that cannot be read holds back the files
// its writer was saving, which its temporaries in the folder name
// ("<stem>.tmp.<pid>.<n>"). No save may go ahead over such a file: it would
// be taken for the kept commit's own, or undone. Files of other writers, and
// the folder's other files, are not held.
struct Unsettled
{
    bool all = false; // the folder could not be looked through
    Hold everything;
    std::map<std::string, Hold> names; // by target name
    std::map<std::string, Hold> stems; // by the stem of the target's temporaries
    // Writers whose temporaries stay for a later scan.
    std::set<unsigned long long> writers;

    bool any() const { return all || !names.empty() || !stems.empty() || !writers.empty(); }
    // What holds the target named `name`, whose temporaries' stem is `stem`;
    // null when nothing does.
    const Hold* holding(const std::string& name, const std::string& stem) const;
    void keepAll(const std::string& folder, int why);
    void keep(const std::string& name, const std::string& record, int why);
    // Holds every target that writer `pid` has temporaries of among `names`,
    // and keeps those temporaries.
    void keepWriter(unsigned long long pid, const std::vector<std::string>& names, const std::string& record, int why);
};

// One line on standard output, its controls escaped.
void say(const std::string& line);
// True the first time in a run that a line is said of the file or folder at
// `path`, by whichever way to its folder it was reached: every scan meets it
// again. Called with pendingMutex held.
bool firstTimeSaid(const std::string& path);
// A path as a person would name it: "Photos/.group-...", not
// "Scrivlet/../Photos/.group-...".
std::string shownName(const std::string& path);

// Sets what the last refused save of this thread says (null: nothing held it).
void noteHeld(const Hold* hold);

// Scans `folder` as removeStaleTemporariesAtomic does, for the temporaries
// of the target whose stem is `stem` only when it is not empty; false
// (errno) when the folder could not be listed. Called with pendingMutex held.
bool removeStaleTemporaries(const std::string& folder, const std::string& stem, Unsettled& left);
// True when this process still uses the temporary at `path`: an open
// stream's or a staging file not yet put in place. Called with pendingMutex
// held.
bool inUse(const std::string& path);
bool isStaging(const std::string& path);

// Finishes or takes back the grouped commits of dead writers whose records
// are among `names` in `folder`; true when there were any. What could not be
// settled now goes into `left`: its files are not garbage yet. The names of
// the member records here that were dropped, their commit never begun, go
// into `neverBegun` when given: nothing their writer left for that commit is
// a copy of anything.
bool resolveDeadCommits(const std::string& folder, const std::vector<std::string>& names, Unsettled& left,
                        std::set<std::string>* neverBegun = nullptr);

// The stem of a temporary's name ("<stem>.tmp.<pid>.<n>"), and its writer.
bool temporaryStemOf(const std::string& name, std::string& stem, unsigned long long& pid);
}

#endif
