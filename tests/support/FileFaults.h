#ifndef TESTS_SUPPORT_FILEFAULTS_H
#define TESTS_SUPPORT_FILEFAULTS_H

// Faults at chosen file-system calls, for the tests of writers that must
// survive them. The test program that links tests/support/FileFaults.cpp
// puts its own rename, renameat2, link, unlink, fsync, open, openat, read and
// opendir in front of the C library's;
// until armed they only pass each call on.
#include <cerrno>

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
void disarm();
}

#endif
