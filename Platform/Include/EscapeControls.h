#ifndef PLATFORM_ESCAPECONTROLS_H
#define PLATFORM_ESCAPECONTROLS_H

#include <string>

namespace Tovrane
{
// The text with every control character written out ("\n", "\t", "\r",
// "\x1b"...), for printing a name read from a file on one line: a newline in
// a name cannot forge a second message, nor an escape sequence reach the
// terminal. Other bytes, UTF-8 included, are left as they are.
std::string escapeControls(const std::string& text);
}

#endif
