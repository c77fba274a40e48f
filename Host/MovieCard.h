#ifndef TOVRANE_HOST_MOVIECARD_H
#define TOVRANE_HOST_MOVIECARD_H

#include "Picture.h"

#include <string>

namespace TovraneHost
{
// What the host shows in place of a movie it cannot play: a card with the
// movie's file name.
class MovieCard
{
public:
    static const unsigned int DurationMilliseconds = 2000;

    static TovraneTools::Picture draw(const std::string& moviePath);
};
}

#endif
