#include "CDebugMPI.h"

#include <cstdio>
#include <cstring>

namespace Vantorel
{
namespace Kelm
{
CDebugMPI::CDebugMPI(int module) : module(module), debugLevel(0) {}

void CDebugMPI::SetDebugLevel(int level) { debugLevel = level; }

void CDebugMPI::DebugOut(int level, const char* text) const
{
    if (!text || level > debugLevel)
        return;
    std::fwrite(text, 1, std::strlen(text), stderr);
    std::fflush(stderr);
}
}
}
