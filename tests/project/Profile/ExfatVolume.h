#ifndef TESTS_PROFILE_EXFATVOLUME_H
#define TESTS_PROFILE_EXFATVOLUME_H

// An exFAT volume of a test's own: an image file on a loop device, mounted
// through FUSE over a folder, and the programs that make and mount it.
#include "support/DataRoot.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace ProfileTest
{
// The program `name` on the search path or in the system folders; empty
// when there is none.
inline std::string programPath(const std::string& name)
{
    const char* const path = std::getenv("PATH");
    std::istringstream folders(std::string(path ? path : "") + ":/usr/sbin:/sbin:/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && ::access((folder + "/" + name).c_str(), X_OK) == 0)
            return folder + "/" + name;
    return std::string();
}

// Runs a program with its arguments; its exit status (-1 when it could not
// run or was killed), and what it wrote on both outputs in `printed`. The
// outputs go to a file, not a pipe, so that a daemon it leaves behind cannot
// hold the reading up.
inline int runProgram(const std::vector<std::string>& command, std::string& printed)
{
    const std::string outputs = TestSupport::scratchFolder() + "program-output";
    printed.clear();
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    const int fd = ::open(outputs.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || command.empty() || command[0].empty())
    {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::execv(arguments[0], arguments.data());
        ::_exit(127);
    }
    ::close(fd);
    int status = -1;
    const bool ran = child > 0 && ::waitpid(child, &status, 0) == child;
    printed = TestSupport::readFile(outputs);
    while (!printed.empty() && (printed.back() == '\n' || printed.back() == ' '))
        printed.pop_back();
    std::replace(printed.begin(), printed.end(), '\n', ' ');
    return ran && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An exFAT volume in an image file of this process, on a loop device of its
// own, mounted through FUSE over `folder`. `unavailable` says in one line
// why there is none. The volume is unmounted and the loop device detached
// when it goes, however the test ends.
class ExfatVolume
{
public:
    explicit ExfatVolume(const std::string& folder) : folder(folder)
    {
        const std::string mkfs = programPath("mkfs.exfat"), losetup = programPath("losetup");
        mountProgram = programPath("mount.exfat-fuse");
        if (::geteuid() != 0)
            unavailable = "not running as root";
        else if (::access("/dev/fuse", R_OK | W_OK) != 0 || ::access("/dev/loop-control", F_OK) != 0)
            unavailable = "no /dev/fuse or /dev/loop-control";
        else if (mkfs.empty() || losetup.empty() || mountProgram.empty())
            unavailable = "mkfs.exfat, losetup or mount.exfat-fuse is missing (packages exfatprogs, exfat-fuse)";
        if (!unavailable.empty())
            return;
        std::string printed;
        image = TestSupport::scratchFolder() + "exfat.img";
        const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const bool sized = fd >= 0 && ::ftruncate(fd, 32 << 20) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!sized)
            unavailable = "could not make the image file " + image;
        else if (runProgram({mkfs, image}, printed) != 0)
            unavailable = "mkfs.exfat failed: " + printed;
        else if (runProgram({losetup, "-f", "--show", image}, printed) != 0 || printed.compare(0, 5, "/dev/") != 0)
            unavailable = "losetup found no loop device: " + printed;
        else
        {
            device = printed;
            detach = {losetup, "-d", device};
            std::filesystem::create_directories(folder);
            mount();
        }
    }

    ~ExfatVolume()
    {
        unmount();
        std::string printed;
        if (!device.empty() && runProgram(detach, printed) != 0)
            std::cout << "Could not detach " << device << ": " << printed << "\n";
        if (!image.empty())
            ::unlink(image.c_str());
    }

    // Unmounts the volume and mounts it again: the kernel and the FUSE
    // daemon start with no file of it known.
    bool remount()
    {
        if (unmount() && mount())
            return true;
        std::cout << "Could not mount the volume again: " << unavailable << "\n";
        return false;
    }

    std::string unavailable;

private:
    bool mount()
    {
        std::string printed;
        struct stat inside, outside;
        mounted = runProgram({mountProgram, device, folder}, printed) == 0 && ::stat(folder.c_str(), &inside) == 0 &&
                  ::stat((folder + "/..").c_str(), &outside) == 0 && inside.st_dev != outside.st_dev;
        if (!mounted)
            unavailable = "mount.exfat-fuse could not mount " + device + ": " + printed;
        return mounted;
    }

    // Waits a little for a busy volume; in the end it is detached lazily
    // rather than left mounted.
    bool unmount()
    {
        for (int attempt = 0; mounted && attempt < 200; ++attempt)
        {
            mounted = ::umount2(folder.c_str(), 0) != 0 && errno == EBUSY;
            if (mounted)
                ::usleep(10000);
        }
        if (mounted && ::umount2(folder.c_str(), MNT_DETACH) == 0)
        {
            std::cout << "The volume at " << folder << " stayed busy; it was detached\n";
            mounted = false;
            return false;
        }
        return !mounted;
    }

    std::string folder, image, device, mountProgram;
    std::vector<std::string> detach;
    bool mounted = false;
};
}

#endif
