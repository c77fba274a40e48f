#ifndef TOVRANE_CONSOLE_H
#define TOVRANE_CONSOLE_H

namespace Tovrane
{
// Formatted text on standard output, with the placeholders of StreamFormatter.
class Console
{
public:
    static void write(const char* formatting, ...);
    // As write, then an end of line and a flush.
    static void writeLine(const char* formatting, ...);
};
}

#endif
