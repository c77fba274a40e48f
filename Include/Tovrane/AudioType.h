#ifndef TOVRANE_AUDIOTYPE_H
#define TOVRANE_AUDIOTYPE_H

namespace Tovrane
{
// The channels of an audio player.
struct AudioType
{
    enum Type : int
    {
        Music = 0,
        Speech = 1,
        Sfx = 2,
    };
};
}

#endif
