#ifndef TESTS_SUPPORT_FILEFAULTS_H
#define TESTS_SUPPORT_FILEFAULTS_H

// Faults at chosen file-system calls, for the tests of writers that must
// survive them. The test program that links tests/support/FileFaults.cpp
// puts its own rename, renameat2, link, unlink, fsync, open, openat, read and
// opendir in front of the C library's;
// until armed they only pass each call on.
#include <cerrno>
#include <map>
#include <string>

namespace FileFaults
{
// From now on, counting the watched calls from 0: the call numbered
// `failAt` fails with `error` instead of being made, and the one numbered
// `killAt` ends the process with SIGKILL before it is made; -1 for none.
void arm(int failAt, int error, int killAt = -1);
// Every fsync of a folder fails with `error`, while `on`.
void failFolderSyncs(bool on, int error = EIO);
// Every link fails with EPERM, as on a filesystem without hard links, while
// `on`.
void refuseLinks(bool on);
// Watched calls made since the last arming.
int count();
// fsync calls (of files and folders) made since the last arming.
int fsyncs();
// While `on`, every look at a file (stat, lstat, fstat, fstatat, statx) gives
// it a new inode number, as FAT and exFAT volumes, FUSE and copies do across
// a mount, a dropped cache or a copy. disarm() stops it.
void renumber(bool on);
// From now on, counting only renames (rename and renameat2) from 0, apart
// from the watched calls: the rename numbered `killAt` ends the process with
// SIGKILL before it is made, and `before` runs just before the one numbered
// `runAt` is made; -1 for none. disarm() stops both.
void armRenames(int killAt, int runAt = -1, void (*before)() = nullptr);
// Renames made since the last armRenames.
int renames();
// Every open and openat of a file named `name` (its last path component;
// a '*' in it stands for any text) fails with `error`, apart from the
// counting, until called again with `error` 0; failReadsOf does the same for
// every read of a descriptor open on such a file.
void failOpensOf(const char* name, int error);
void failReadsOf(const char* name, int error);
// While `on`, the looks at files (the stat family) are watched calls too:
// counted, and failed or killed at as armed.
void watchLooks(bool on);
// While `on`, every flock fails with ENOLCK, as on a file system without
// locks.
void refuseLocks(bool on);
// While `on`, the opens of files for reading (not of folders) are counted by
// the file's name (its last path component); readOpens() gives the counts
// since the last call with `on`.
void countReadOpens(bool on);
std::map<std::string, int> readOpens();
void disarm();
}

#endif
