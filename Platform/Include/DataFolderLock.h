#ifndef PLATFORM_DATAFOLDERLOCK_H
#define PLATFORM_DATAFOLDERLOCK_H

#include <string>

// One game per player data folder: an advisory lock (flock) on the folder
// itself, held while the object lives. Nothing is created in the folder, so a
// read-only one can be locked as well.
class DataFolderLock
{
public:
    enum Result : int
    {
        Locked,     // this process holds the folder
        InUse,      // another process holds it
        Unlockable  // no lock can be taken here (the folder cannot be opened, or the file system has no locks)
    };

    DataFolderLock() = default;
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // Takes the lock on the folder `path` without waiting.
    Result lock(const std::string& path);
    void unlock();

private:
    int fd = -1;
};

#endif
