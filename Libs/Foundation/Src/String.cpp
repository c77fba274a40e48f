#include "Tovrane/String.h"

#include "Tovrane/StreamFormatter.h"

#include <sstream>

namespace Tovrane
{
std::string String::format(const char* formatting, ...)
{
    std::ostringstream out;
    va_list args;
    va_start(args, formatting);
    StreamFormatter::format(out, formatting ? formatting : "", args);
    va_end(args);
    return out.str();
}
}
