#include "Tovrane/System.h"

#include "CSystemData.h"

namespace Tovrane
{
std::string System::systemPath;
std::mutex System::pathMutex;

std::string System::getPath()
{
    // The loader thread and the main thread may both ask first.
    std::lock_guard<std::mutex> lock(pathMutex);
    if (systemPath.empty())
        systemPath = CSystemData::Instance()->GetCurrentTitlePath().raw();
    return systemPath;
}
}
