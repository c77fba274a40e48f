#ifndef PLATFORM_ATOMICFILE_H
#define PLATFORM_ATOMICFILE_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// Whole-file replacement. fopenAtomic opens a temporary file in the folder of
// `path`; fcloseAtomic flushes it, checks for write errors, syncs it to disk and
// renames it over `path`. Readers using plain fopen see either the old file or
// the new one, never a mix, also when the writer is killed part-way.

// Opens `path` for writing: mode "w", "wb", or "w+", "wb+", "w+b" to read
// back what was written. Null when the temporary file cannot be made (missing
// or read-only folder, a name too long for the folder, any other mode); errno
// tells why. Grouped replacements of writers that are gone (killed part-way)
// with records in the folder are finished first, then that path's
// temporaries left by gone writers are removed. A record that cannot be
// settled now and names `path` (or cannot be read, while its writer's
// temporaries of `path` stand), or a folder that cannot be looked through
// for records, also gives null: a new file there would be taken for that
// save's own, or undone. atomicFailure then says which record, and why.
std::FILE* fopenAtomic(const char* path, const char* mode);

// The reason a line about a failed fopenAtomic, writeFileAtomic or
// replaceStagedAtomic of this thread gives, for its errno `error`: which
// record of an interrupted save held the file back and why, when one did;
// otherwise strerror(error).
std::string atomicFailure(int error);

// Closes a stream from fopenAtomic and puts the new content in place, with the
// permissions of the file it replaces (fopen's for a new file). Returns 0 on
// success. On any failure (write error, full disk, rename refused) the
// temporary file is removed, the old file is left as it was, and the result is
// non-zero. Once the new file is in place the close has succeeded: a folder
// that cannot be synced afterwards is said in one line on standard output.
int fcloseAtomic(std::FILE* stream);

// Closes a stream from fopenAtomic without touching the file at its path: for
// writers that give up part-way.
void fabortAtomic(std::FILE* stream);

// Replaces the file at `path` with `size` bytes in one step through the three
// calls above. True when the new content is in place; on false the old file
// is unchanged.
bool writeFileAtomic(const char* path, const void* data, std::size_t size);

// Several files replaced together. stageAtomic names a staging file beside
// `path` (empty when `path` cannot be a file's); the caller writes the new
// content there whole, with the calls above (which write a staging file
// directly, sync it at the close and read it back there for what it holds).
// replaceStagedAtomic then puts the staging files of `targets` in place as
// one step: true when all are; on false none is, and every target holds
// what it held before (a target that was not there is not there). The
// targets lie in one folder or in folders side by side (EXDEV otherwise).
// Records of killed commits in those folders are settled first; one that
// cannot be settled now and names a target (or cannot be read, while its
// writer's temporaries of a target stand) fails the commit before anything
// is written. A record of the step that cannot be made durable (its
// folder's sync fails) stops the commit before anything is put in place. A
// process killed at any instant of it leaves either every old file or, once
// its record of the step is written, every new file after the next scan of
// one of the targets' folders (the removal of stale temporaries below, or the
// next fopenAtomic there), by whatever path the folders are reached then; a
// target saved again since is left as it stands. Staging files are removed
// in all cases, and by discardStagedAtomic for a writer that gives up.
// On false, errno says why and `failed`, when given, names the target whose
// step failed (empty when none did alone, as when the record could not be
// made).
std::string stageAtomic(const char* path);
bool replaceStagedAtomic(const std::vector<std::string>& targets, std::string* failed = nullptr);
void discardStagedAtomic(const std::vector<std::string>& targets);

// Finishes the grouped replacements of writers that are gone (killed
// part-way) whose records lie in `folder`, then removes the temporaries in
// `folder` of every gone writer, whatever file they were meant for:
// fopenAtomic finishes those in the folder of the file it opens, and removes
// only that file's temporaries. A writer whose record cannot be settled now
// keeps its temporaries; a temporary that may be the only copy of a missing
// target (one writer's own file, never one of a commit that never began)
// goes back under the target's name, in one line. A link under a
// temporary's name is removed, never followed; a folder or special file
// there is left, said once a run. A folder that cannot be listed is said
// once a run.
void removeStaleTemporariesAtomic(const char* folder);

#endif
