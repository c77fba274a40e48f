#include "EscapeControls.h"

#include <cstddef>

namespace
{
// The length of the well-formed UTF-8 sequence of two to four bytes at
// `at`, or 0 when none starts there: no overlong form, no surrogate, nothing
// past U+10FFFF.
std::size_t sequenceLength(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xbf;  // the range of the second byte
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead >= 0xe0 && lead <= 0xef)
    {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    }
    else if (lead >= 0xf0 && lead <= 0xf4)
    {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    }
    if (length == 0 || text.size() - at < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xbf)
            return 0;
    return length;
}
}

namespace Tovrane
{
std::string escapeControls(const std::string& text)
{
    static const char digits[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    const auto writeOut = [&](unsigned char byte) {
        shown += "\\x";
        shown += digits[byte >> 4];
        shown += digits[byte & 15];
    };
    for (std::size_t at = 0; at < text.size();)
    {
        const char c = text[at];
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f)
            shown += c;
        else if (c == '\n')
            shown += "\\n";
        else if (c == '\t')
            shown += "\\t";
        else if (c == '\r')
            shown += "\\r";
        else if (const std::size_t length = byte >= 0x80 ? sequenceLength(text, at) : 0)
        {
            // U+0080 to U+009F are the two bytes C2 80 to C2 9F.
            const bool control = byte == 0xc2 && static_cast<unsigned char>(text[at + 1]) <= 0x9f;
            for (std::size_t i = 0; i < length; ++i)
                if (control)
                    writeOut(static_cast<unsigned char>(text[at + i]));
                else
                    shown += text[at + i];
            at += length;
            continue;
        }
        else
            writeOut(byte);
        ++at;
    }
    return shown;
}
}
