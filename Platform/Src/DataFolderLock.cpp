#include "DataFolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

DataFolderLock::~DataFolderLock() { unlock(); }

DataFolderLock::Result DataFolderLock::lock(const std::string& path)
{
    unlock();
    const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return Unlockable;
    int result;
    do
        result = ::flock(folder, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0)
    {
        const bool held = errno == EWOULDBLOCK;
        ::close(folder);
        return held ? InUse : Unlockable;
    }
    fd = folder;
    return Locked;
}

void DataFolderLock::unlock()
{
    if (fd >= 0)
        ::close(fd);  // closing the only descriptor releases the lock
    fd = -1;
}
