#ifndef TOVRANE_RESOURCEIDENTIFIER_H
#define TOVRANE_RESOURCEIDENTIFIER_H

#include <cstdint>

namespace Tovrane
{
// A back end's handle of one uploaded resource: made by its bind call, freed
// by the matching release call. The abstract renderer only passes it on.
class ResourceIdentifier
{
public:
    ResourceIdentifier() : name(0), size(0) {}

    std::uint32_t name; // the back end's object name (texture or buffer object)
    std::uint32_t size; // bytes uploaded
};
}

#endif
