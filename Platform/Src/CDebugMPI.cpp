#include "CDebugMPI.h"

#include "HostTrace.h"

#include <cstdio>
#include <cstring>
#include <string>

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
    // The trace gets the text too, without its closing line break.
    std::string line(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (!line.empty())
        HostTrace::write("debug", line);
}
}
}
