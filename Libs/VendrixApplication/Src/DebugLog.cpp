#include "Tovrane/DebugLog.h"

#include "CDebugMPI.h"

namespace Tovrane
{
void DebugLog::writeString(const std::string& text)
{
    Vantorel::Kelm::CDebugMPI debug(4);
    debug.SetDebugLevel(4);
    debug.DebugOut(4, text.c_str());
}
}
