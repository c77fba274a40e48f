#ifndef TOVRANE_RANDOMSOURCE_H
#define TOVRANE_RANDOMSOURCE_H

#include <cstdlib>
#include <functional>

namespace Tovrane
{
// Where the character controllers take their random numbers from. Empty means
// the program's one standard generator (std::rand); tests put a seeded
// generator of their own here.
typedef std::function<int()> RandomSource;

// A number from 0 to modulus - 1 (modulus must be positive).
inline unsigned int randomBelow(const RandomSource& source, unsigned int modulus)
{
    const int value = source ? source() : std::rand();
    return static_cast<unsigned int>(value) % modulus;
}
}

#endif
