#ifndef PLATFORM_ATOMICFILERECORD_H
#define PLATFORM_ATOMICFILERECORD_H

// The record of a grouped commit and the steps that act on one member of it,
// shared by the live commit and the recovery of a killed writer's commit.
//
// A record's name is one of the prefixes below and "<pid>.<number>". The
// commit record lies in the folder of the first target; every other folder
// the commit writes into (a sibling of the first) holds a member record
// naming the first folder, so that a scan of any of them finds the commit
// before it takes its staging files for garbage. A commit record renamed to
// the undo prefix says that the commit is being taken back.
//
// Records name files by their names within their folders and folders by
// their names beside the first one, never by whole paths, so the same data
// folder reached by another spelling, or moved, recovers the same way. They
// also hold what each staging file and each old target held (size and a
// digest of the content): recovery acts on a target only while it still holds
// what the commit saw or put there, so a newer save is never undone. Records
// of the version before (inode number, size and modification time) are still
// acted on, by size and modification time alone. The
// writer holds a lock on each of its records while it lives; a record nobody
// holds is a dead writer's, whatever process now has its id.

#include "AtomicFileIdentity.h"
#include "AtomicFileShared.h"

#include <string>
#include <vector>

namespace AtomicFileShared
{
extern const std::string CommitPrefix;
extern const std::string UndoPrefix;
extern const std::string MemberPrefix;

// One file of a commit: names within its folder. backup is empty when the
// target did not exist.
struct Member
{
    std::size_t folder = 0;
    std::string staging, target, backup;
    Identity fresh; // the staging file as written
    Identity old;   // the target it replaces, also as its backup
    bool moved = false; // the old file is moved aside, not linked (no hard links here)
    unsigned mode = 0;  // the old file's permissions, given to the new one
};

struct Commit
{
    std::string id; // "<pid>.<number>"
    // Each folder as this process reaches it; [0] holds the commit record.
    std::vector<std::string> folders;
    // Each folder from the first: "" for the first, "../NAME" for a sibling.
    std::vector<std::string> relative;
    // The first folder from any other: "../NAME".
    std::string back;
    std::vector<Member> members;

    std::string at(const Member& m, const std::string& name) const { return folders[m.folder] + "/" + name; }
    std::string record(const std::string& prefix) const { return folders[0] + "/" + prefix + id; }
    std::string memberRecord(std::size_t folder) const { return folders[folder] + "/" + MemberPrefix + id; }
};

// Folder syncs once the files are in place are said once at the end; they
// never undo what is in place.
struct Syncs
{
    std::vector<std::pair<std::string, int>> failed;
    void sync(const std::string& folder);
    void report() const;
};

// The outcome of opening a record found in a folder.
enum class Found
{
    Read,       // read whole: `fields` hold it
    Missing,    // gone meanwhile
    Foreign,    // read whole (or not a plain file), and not this system's
    Unreadable, // could not be read now (errno): it stays for a later scan
    Busy        // its writer still runs: `fields` hold it when it could be read
};
// Reads the record at `path`, written by process `pid` (judged only where
// the file system has no locks), without waiting on anything planted there.
// A busy record is read too, so that what it names is known.
Found readRecord(const std::string& path, unsigned long long pid, std::vector<std::string>& fields);

// A record written whole and durably (beside it first, then renamed into
// place, then its folder synced), locked for as long as `fd` stays open,
// readable by all that `readable` (the modes of the files it guards) lets
// read them.
// False (errno) when any step fails, also the folder's sync: nothing that
// would be put in place after it may count on a record that is not durable.
bool writeRecord(const std::string& path, const std::vector<std::string>& fields, int& fd, unsigned readable);

// A commit's fields and back again; false for anything but a whole record
// that names only its own commit's files.
std::vector<std::string> commitFields(const Commit& commit);
bool parseCommit(const std::vector<std::string>& fields, Commit& commit);
std::vector<std::string> memberFields(const Commit& commit);
bool parseMember(const std::vector<std::string>& fields, std::string& relative);

// True when `a` and `b` are the same folder. On false, errno is 0 when they
// are not, and a failed look's reason when that could not be told now.
bool sameFolder(const std::string& a, const std::string& b);
// True when `relative` ("../NAME") names a folder beside `first` itself, not
// a link: a commit writes, and a record acts, only in such folders. On false,
// errno is 0 when something else stands there or the name is not one, and
// lstat's reason when it could not be looked at.
bool siblingFolder(const std::string& first, const std::string& relative);

// What stands at a member's target now.
enum class Target
{
    Absent,
    Fresh,   // the commit's new file
    Old,     // the file it replaces
    Other,   // anything else: a newer save
    Unknown  // it could not be looked at now (errno: that look's own error)
};
// The target is read at most once. While the member's staging file is still
// there under its own name, its rename has not happened, and the target is
// not taken for the new file whatever it holds.
Target targetOf(const Commit& commit, const Member& m);

// Puts one staging file in place, when the target is still the old file
// (or nothing) and the staging file the one written.
bool forward(const Commit& commit, const Member& m);
// The outcome of taking one member back.
enum class Back
{
    Done,
    Failed, // a step failed (errno)
    Lacking // its old file is needed and its backup does not hold it
};
// True when taking the member back from `now` needs its old file from the
// backup: the commit's new file stands there, or nothing does.
bool needsBackup(const Member& m, Target now);
// Gives one target back its old content, when it is still the commit's
// file or nothing (`now`, from targetOf; `backup`, what its backup holds,
// when needsBackup). A target that is anything else is left as it is. The
// staging file goes, unless the backup lacks the old file: then it may be
// the target's only copy.
Back takeBack(const Commit& commit, const Member& m, Target now, Stand backup);
// The same with its own looks at the target and the backup.
Back takeBackNow(const Commit& commit, const Member& m);
// Puts a file back at a target left missing: the old file while its backup
// (`backup`, what it holds) has it, else the new file while the staging file
// holds it (`staging`, when already looked at); nothing when neither does.
// False (errno) when a step failed.
bool putBack(const Commit& commit, const Member& m, Stand backup, const Stand* staging = nullptr);
// Removes what a finished or taken-back commit leaves: its record first (a
// member record or a backup left without it is garbage), then the member
// records, the staging files and the backups, each backup only while its
// target holds a regular file, and a staging file of a target that had an
// old file only while something stands at the target: no copy goes while
// its target is missing. Nothing is read: every name is the commit's own.
// With `allInPlace`, for the live commit that put every staging file in
// place, only the backups are left to remove. False when the record stays.
bool clearRecords(const Commit& commit, const std::string& record, bool allInPlace = false);

// A member's file as a person would name it: the folder by its own name,
// not as a sibling reached from the first ("Photos/x.png", not
// "Scrivlet/../Photos/x.png").
std::string shownPath(const Commit& commit, const Member& m, const std::string& name);
}

#endif
