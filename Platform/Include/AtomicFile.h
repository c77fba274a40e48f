#ifndef PLATFORM_ATOMICFILE_H
#define PLATFORM_ATOMICFILE_H

#include <cstddef>
#include <cstdio>

// Whole-file replacement. fopenAtomic opens a temporary file in the folder of
// `path`; fcloseAtomic flushes it, checks for write errors, syncs it to disk and
// renames it over `path`. Readers using plain fopen see either the old file or
// the new one, never a mix, also when the writer is killed part-way.

// Opens `path` for writing: mode "w", "wb", or "w+", "wb+", "w+b" to read
// back what was written. Null when the temporary file cannot be made (missing
// or read-only folder, a name too long for the folder, any other mode); errno
// tells why. Temporaries of the same path left by writers that are gone (a
// process killed before its close) are removed first.
std::FILE* fopenAtomic(const char* path, const char* mode);

// Closes a stream from fopenAtomic and puts the new content in place, with the
// permissions of the file it replaces (fopen's for a new file). Returns 0 on
// success. On any failure (write error, full disk, rename refused) the
// temporary file is removed, the old file is left as it was, and the result is
// non-zero. Also non-zero, with the new file in place, when only the final sync
// of the folder failed.
int fcloseAtomic(std::FILE* stream);

// Closes a stream from fopenAtomic without touching the file at its path: for
// writers that give up part-way.
void fabortAtomic(std::FILE* stream);

// Replaces the file at `path` with `size` bytes in one step through the three
// calls above. True when the new content is in place; on false the old file
// is unchanged (or, as with fcloseAtomic, only the folder sync failed).
bool writeFileAtomic(const char* path, const void* data, std::size_t size);

#endif
