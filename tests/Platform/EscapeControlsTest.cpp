#include "EscapeControls.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using Tovrane::escapeControls;

TEST(EscapeControlsTest, ControlCharactersAreWrittenOut)
{
    const struct
    {
        std::string text, shown;
    } cases[] = {
        {"", ""},
        {"plain name.png", "plain name.png"},
        {"two\nlines", "two\\nlines"},
        {"tab\there\r", "tab\\there\\r"},
        {"\x1b[2J", "\\x1b[2J"},
        {std::string("nul\0inside", 10), "nul\\x00inside"},
        {"\x7f\x1f", "\\x7f\\x1f"},
        // Backslashes and UTF-8 stay as they are.
        {"a\\n \xc3\xa9t\xc3\xa9", "a\\n \xc3\xa9t\xc3\xa9"},
        // C1 controls, as UTF-8 and as lone bytes; U+00A0 is the first after them.
        {"\xc2\x9b" "31m", "\\xc2\\x9b31m"},
        {"\xc2\x80\xc2\x9f\xc2\xa0", "\\xc2\\x80\\xc2\\x9f\xc2\xa0"},
        {"\x9b" "31m\x80", "\\x9b31m\\x80"},
        // Bytes outside well-formed UTF-8: Latin-1, stray, overlong, surrogate, cut short, past U+10FFFF.
        {"caf\xe9.png", "caf\\xe9.png"},
        {"\xbf\xfe\xff", "\\xbf\\xfe\\xff"},
        {"\xc0\xaf \xc1\xbf \xe0\x9f\xbf", "\\xc0\\xaf \\xc1\\xbf \\xe0\\x9f\\xbf"},
        {"\xed\xa0\x80 \xed\x9f\xbf", "\\xed\\xa0\\x80 \xed\x9f\xbf"},
        {"\xe2\x82x \xe2\x82", "\\xe2\\x82x \\xe2\\x82"},
        {"\xf0\x9f\x98\x80 \xf4\x8f\xbf\xbf", "\xf0\x9f\x98\x80 \xf4\x8f\xbf\xbf"},
        {"\xf4\x90\x80\x80 \xf5\x80", "\\xf4\\x90\\x80\\x80 \\xf5\\x80"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, escapeControls(c.text)) << c.shown;
}

namespace
{
// `code` in `length` bytes of the UTF-8 pattern, overlong or not.
std::string encodeIn(unsigned long code, int length)
{
    if (length == 1)
        return std::string(1, static_cast<char>(code & 0x7f));
    std::string bytes(static_cast<std::size_t>(length), '\0');
    for (int i = length - 1; i > 0; --i, code >>= 6)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(0x80 | (code & 0x3f));
    bytes[0] = static_cast<char>((0xff00 >> length) | code);
    return bytes;
}

// The shortest UTF-8 of `code`.
std::string encode(unsigned long code)
{
    return encodeIn(code, code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4);
}

// A plain reference: a sequence is passed when it spells a character above
// U+009F that is no surrogate and whose shortest encoding it is.
std::string reference(const std::string& text)
{
    std::string shown;
    for (std::size_t at = 0; at < text.size();)
    {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
        if (length > 1 && at + length <= text.size())
        {
            unsigned long code = lead & (0x7f >> length);
            for (std::size_t i = 1; i < length; ++i)
                code = code << 6 | (static_cast<unsigned char>(text[at + i]) & 0x3f);
            if (code > 0x9f && (code < 0xd800 || code > 0xdfff) && code <= 0x10ffff &&
                encode(code) == text.substr(at, length))
            {
                shown += text.substr(at, length);
                at += length;
                continue;
            }
        }
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", lead);
        if (lead == '\n' || lead == '\t' || lead == '\r')
            shown += lead == '\n' ? "\\n" : lead == '\t' ? "\\t" : "\\r";
        else
            shown += lead < 0x20 || lead >= 0x7f ? std::string(hex) : std::string(1, text[at]);
        ++at;
    }
    return shown;
}
}

// Random text of whole, overlong, cut and lone sequences of every length,
// against the reference.
TEST(EscapeControlsTest, AgreesWithAPlainReferenceOnRandomText)
{
    std::mt19937 random(7);
    const unsigned long tops[] = {0x80, 0xa0, 0x800, 0x10000, 0x110000, 0x200000};
    for (int round = 0; round < 20000; ++round)
    {
        std::string text;
        for (int part = static_cast<int>(random() % 6); part > 0; --part)
        {
            const unsigned long code = random() % tops[random() % 6];
            const int length = 1 + static_cast<int>(random() % 4);
            std::string bytes = random() % 4 ? encodeIn(code, length) : std::string(1, static_cast<char>(random()));
            if (random() % 8 == 0)
                bytes.resize(random() % bytes.size());
            text += bytes;
        }
        ASSERT_EQ(reference(text), escapeControls(text)) << ::testing::PrintToString(text);
    }
}
