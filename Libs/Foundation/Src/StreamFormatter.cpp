#include "Tovrane/StreamFormatter.h"

#include "Tovrane/Assert.h"

#include <climits>

namespace Tovrane
{
void StreamFormatter::format(std::ostream& out, const std::string& formatting, va_list args)
{
    std::string::size_type pos = 0;
    while (pos < formatting.size())
    {
        if (formatting[pos] != '{')
        {
            // Plain text up to the next placeholder; a lone "}" is plain text too.
            const std::string::size_type next = formatting.find('{', pos);
            const std::string::size_type end = next == std::string::npos ? formatting.size() : next;
            out.write(formatting.data() + pos, static_cast<std::streamsize>(end - pos));
            pos = end;
            continue;
        }

        const std::string::size_type close = formatting.find('}', pos);
        // Without a closing brace the placeholder would run to the end of the text.
        const std::string::size_type length =
            (close == std::string::npos ? formatting.size() - 1 : close) - pos + 1;
        TOVRANE_ASSERT(length >= 5 && "Format string not valid");
        TOVRANE_ASSERT(close != std::string::npos && "No ending brace was found in the format string");

        const TypeInformation info = getType(formatting.substr(pos, length));
        switch (info.type)
        {
        case ArgumentType::Character:
            out << static_cast<char>(va_arg(args, int));
            break;
        case ArgumentType::Number:
            out << va_arg(args, int);
            break;
        case ArgumentType::Float:
            out << va_arg(args, double);
            break;
        }
        pos = close + 1;
    }
}

StreamFormatter::TypeInformation StreamFormatter::getType(const std::string& placeholder)
{
    const std::string::size_type colon = placeholder.find(':', 1);
    TOVRANE_ASSERT(colon != std::string::npos && "Missing type specifier, no semicolon found");

    // One or more decimal digits between the brace and the colon.
    bool digits = colon > 1;
    long index = 0;
    for (std::string::size_type i = 1; i < colon; ++i)
    {
        const char c = placeholder[i];
        if (c < '0' || c > '9')
        {
            digits = false;
            break;
        }
        index = index * 10 + (c - '0');
        if (index > INT_MAX)
            index = INT_MAX;
    }
    TOVRANE_ASSERT(digits && "Index not found");

    // The type letter is the last character before the closing brace.
    const char letter = colon + 2 == placeholder.size() - 1 ? placeholder[colon + 1] : '\0';
    TypeInformation info;
    info.index = static_cast<int>(index);
    switch (letter)
    {
    case 'F':
        info.type = ArgumentType::Float;
        break;
    case 'N':
        info.type = ArgumentType::Number;
        break;
    case 'C':
        info.type = ArgumentType::Character;
        break;
    default:
        TOVRANE_ASSERT(false && "Invalid type specified");
        info.type = ArgumentType::Number;
    }
    return info;
}
}
