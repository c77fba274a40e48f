#include "Tovrane/Console.h"
#include "Tovrane/StreamFormatter.h"
#include "Tovrane/String.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace Tovrane;

namespace
{
// Formats through the stream interface, as a caller with its own stream would.
std::string viaStream(const char* formatting, ...)
{
    std::ostringstream out;
    va_list args;
    va_start(args, formatting);
    StreamFormatter::format(out, formatting, args);
    va_end(args);
    return out.str();
}
}

TEST(Format, PlaceholdersTakeTheArgumentsInOrder)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Size 3 of 4", String::format("Size {0:N} of {1:N}", 3, 4)},
        {"3 4", String::format("{1:N} {0:N}", 3, 4)}, // the index is read but does not pick the argument
        {"xqy", String::format("x{0:C}y", 'q')},
        {"-2147483648 2147483647", String::format("{0:N} {1:N}", -2147483647 - 1, 2147483647)},
        {"1.5", String::format("{0:F}", 1.5)},
        {"0.25", String::format("{0:F}", 0.25f)}, // promoted to double
        {"1e+10 -3", String::format("{0:F} {1:F}", 1e10, -3.0)},
        // Integers and doubles interleaved, more than fit in registers: each read at its own place.
        {"a-72.59", String::format("{0:C}{1:N}{2:F}{3:N}", 'a', -7, 2.5, 9)},
        {"1 2 3 4 5 6 7 8 9 10 0.5 1.5 2.5 3.5 4.5 5.5 6.5 7.5 8.5 9.5 z",
         String::format("{0:N} {1:N} {2:N} {3:N} {4:N} {5:N} {6:N} {7:N} {8:N} {9:N} "
                        "{10:F} {11:F} {12:F} {13:F} {14:F} {15:F} {16:F} {17:F} {18:F} {19:F} {20:C}",
                        1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, 'z')},
        {"<7|x|0.125>", viaStream("<{0:N}|{1:C}|{2:F}>", 7, 'x', 0.125)},
        // Text outside placeholders is written unchanged.
        {"", String::format("")},
        {"plain text, 100%", String::format("plain text, 100%")},
        {"%s %d", String::format("%s %d")},
        {"a}b", String::format("a}b")},
        {"}5}", String::format("}{0:N}}", 5)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.first, c.second);

    const StreamFormatter::TypeInformation info = StreamFormatter::getType("{12:F}");
    EXPECT_EQ(12, info.index);
    EXPECT_EQ(StreamFormatter::ArgumentType::Float, info.type);
}

TEST(Format, ConsoleWritesToStandardOutput)
{
    testing::internal::CaptureStdout();
    Console::write("{0:N} apples", 3);
    Console::write(" and {0:C}", '!');
    Console::writeLine("");
    Console::writeLine("{0:F}", 0.5);
    EXPECT_EQ("3 apples and !\n0.5\n", testing::internal::GetCapturedStdout());
}

TEST(FormatDeathTest, MalformedPlaceholdersStop)
{
    EXPECT_DEATH(String::format("{0N}"), "Format string not valid");
    EXPECT_DEATH(String::format("x{0:N and more", 1), "No ending brace was found in the format string");
    EXPECT_DEATH(String::format("{0;N}", 1), "Missing type specifier, no semicolon found");
    EXPECT_DEATH(String::format("{x:N}", 1), "Index not found");
    EXPECT_DEATH(String::format("{0:Q}", 1), "Invalid type specified");
    EXPECT_DEATH(StreamFormatter::getType("{0:}"), "Invalid type specified");
}
