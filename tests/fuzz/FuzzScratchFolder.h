// A fuzz target's scratch folder, in memory where the machine has /dev/shm:
// the atomic writes' syncs then cost nothing, and a target runs thousands of
// inputs a second instead of waiting for the disk.
#ifndef TESTS_FUZZ_FUZZSCRATCHFOLDER_H
#define TESTS_FUZZ_FUZZSCRATCHFOLDER_H

#include <cstdlib>
#include <string>
#include <unistd.h>

// A new folder named for the target (without a trailing "/"); aborts when
// none can be made. The caller removes it.
inline std::string makeFuzzScratchFolder(const std::string& target)
{
    for (const char* base : {"/dev/shm/", "/tmp/"})
    {
        std::string pattern = base + ("tovrane-fuzz-" + target + "-XXXXXX");
        if (::mkdtemp(&pattern[0]))
            return pattern;
    }
    std::abort();
}

#endif
