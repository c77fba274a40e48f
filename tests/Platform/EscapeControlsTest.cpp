#include "EscapeControls.h"

#include <gtest/gtest.h>

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
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, escapeControls(c.text)) << c.shown;
}
