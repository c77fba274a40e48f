#ifndef TOVRANE_ASSERT_H
#define TOVRANE_ASSERT_H

// Always-on assertion: internal consistency failures stop the program, also in
// release builds. The condition is printed as written, so the usual form
// `condition && "explanation"` shows the explanation text.

namespace Tovrane
{
[[noreturn]] void assertionFailed(const char* condition, const char* file, int line);
}

#define TOVRANE_ASSERT(condition)                                                  \
    do                                                                             \
    {                                                                              \
        if (!(condition))                                                          \
            ::Tovrane::assertionFailed(#condition, __FILE__, __LINE__);            \
    } while (false)

#endif
