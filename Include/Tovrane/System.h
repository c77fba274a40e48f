#ifndef TOVRANE_SYSTEM_H
#define TOVRANE_SYSTEM_H

#include <mutex>
#include <string>

namespace Tovrane
{
// The running title's folder, root of every asset path.
class System
{
public:
    // The title's folder as the platform gives it, ending in "/"; asset paths
    // are appended directly. Asked once and kept; an empty answer is not kept,
    // so the platform is asked again next time. Safe from several threads.
    static std::string getPath();

private:
    static std::string systemPath;
    static std::mutex pathMutex;
};
}

#endif
