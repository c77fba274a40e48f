#ifndef PLATFORM_ESCAPECONTROLS_H
#define PLATFORM_ESCAPECONTROLS_H

#include <string>

namespace Tovrane
{
// The text with every control character written out ("\n", "\t", "\r",
// "\x1b"...), for printing a name read from a file on one line: a newline in
// a name cannot forge a second message, nor an escape sequence reach the
// terminal. The C1 controls (U+0080 to U+009F, which a terminal may take as
// ESC and a letter) are written out byte by byte ("\xc2\x9b"), and so is any
// byte that is not part of well-formed UTF-8. Other UTF-8 is left as it is.
std::string escapeControls(const std::string& text);
}

#endif
