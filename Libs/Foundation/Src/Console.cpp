#include "Tovrane/Console.h"

#include "Tovrane/StreamFormatter.h"

#include <iostream>

namespace Tovrane
{
void Console::write(const char* formatting, ...)
{
    va_list args;
    va_start(args, formatting);
    StreamFormatter::format(std::cout, formatting ? formatting : "", args);
    va_end(args);
}

void Console::writeLine(const char* formatting, ...)
{
    va_list args;
    va_start(args, formatting);
    StreamFormatter::format(std::cout, formatting ? formatting : "", args);
    va_end(args);
    std::cout << std::endl;
}
}
