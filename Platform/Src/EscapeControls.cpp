#include "EscapeControls.h"

namespace Tovrane
{
std::string escapeControls(const std::string& text)
{
    static const char digits[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text)
    {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f)
            shown += c;
        else if (c == '\n')
            shown += "\\n";
        else if (c == '\t')
            shown += "\\t";
        else if (c == '\r')
            shown += "\\r";
        else
        {
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 15];
        }
    }
    return shown;
}
}
