#ifndef PLATFORM_ATOMICFILERECORD_H
#define PLATFORM_ATOMICFILERECORD_H

// The record of a grouped commit and the steps that act on one member of it,
// shared by the live commit and the recovery of a killed writer's commit.
//
// A record's name is one of the prefixes below and "<pid>.<number>". The
// commit record lies in the folder of the first target; every other folder
// the commit writes into holds a member record naming that folder, so that a
// scan of any of them finds the commit before it takes its staging files for
// garbage. A commit record renamed to the undo prefix says that the commit
// is being taken back.

#include "AtomicFileShared.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace AtomicFileShared
{
extern const std::string CommitPrefix;
extern const std::string UndoPrefix;
extern const std::string MemberPrefix;

// One file of a commit; backup is empty when the target did not exist.
struct Member
{
    std::string staging, target, backup;
    bool moved = false; // the old file is moved aside, not linked (no hard links here)
};

struct Commit
{
    std::string id; // "<pid>.<number>"
    std::string folder;
    std::vector<Member> members;

    std::string record(const std::string& prefix) const { return folder + "/" + prefix + id; }
    std::string memberRecord(const std::string& in) const { return in + "/" + MemberPrefix + id; }
    // The folders of the targets, the commit record's first.
    std::vector<std::string> folders() const
    {
        std::vector<std::string> all{folder};
        for (const Member& m : members)
            if (std::find(all.begin(), all.end(), folderOf(m.target)) == all.end())
                all.push_back(folderOf(m.target));
        return all;
    }
};

// Folder syncs are said once at the end; they never undo what is in place.
struct Syncs
{
    std::vector<std::pair<std::string, int>> failed;
    void sync(const std::string& folder);
    void report() const;
};

bool pathExists(const std::string& path);

// The fields of a whole record, or false for anything else.
bool readRecord(const std::string& path, std::vector<std::string>& fields);
// Writes a record whole and durably: beside it first, then renamed into place.
bool writeRecord(const std::string& path, const std::vector<std::string>& fields, Syncs& syncs);

// Puts one staging file in place, when it is not already.
bool forward(const Member& m);
// Gives one target back its old content, whatever step it had reached;
// false when it could not.
bool takeBack(const Member& m);
// Removes what a finished or taken-back commit leaves: its record first (a
// member record or a backup left without it is garbage), then the member
// records and the backups. False when the record stays.
bool clearRecords(const Commit& commit, const std::string& record);
}

#endif
