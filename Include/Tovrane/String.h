#ifndef TOVRANE_STRING_H
#define TOVRANE_STRING_H

#include <string>

namespace Tovrane
{
// Formatting into a string, with the placeholders of StreamFormatter.
class String
{
public:
    static std::string format(const char* formatting, ...);
};
}

#endif
