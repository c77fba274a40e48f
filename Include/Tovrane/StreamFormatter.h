#ifndef TOVRANE_STREAMFORMATTER_H
#define TOVRANE_STREAMFORMATTER_H

#include <cstdarg>
#include <ostream>
#include <string>

namespace Tovrane
{
// Expands placeholders "{index:type}" into a stream. Types: C a character,
// N a 32-bit signed integer, F a double (floats arrive promoted). Arguments are
// taken in the order of the placeholders; the index is checked but does not
// pick the argument. A malformed placeholder is an assertion failure.
class StreamFormatter
{
public:
    struct ArgumentType
    {
        enum Type : int
        {
            Character = 1,
            Number = 2,
            Float = 3
        };
    };

    struct TypeInformation
    {
        int index;
        ArgumentType::Type type;
    };

    // Reads one argument from `args` per placeholder; the caller owns va_start/va_end.
    static void format(std::ostream& out, const std::string& formatting, va_list args);

    // Parses one placeholder, braces included.
    static TypeInformation getType(const std::string& placeholder);
};
}

#endif
