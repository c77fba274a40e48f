#ifndef TOVRANE_TOOLS_PNGFILE_H
#define TOVRANE_TOOLS_PNGFILE_H

#include "Picture.h"

#include <string>

namespace TovraneTools
{
// Writes an RGBA picture as an 8-bit RGBA PNG through a temporary file that is
// renamed into place, so a reader never sees half a picture. Returns false
// (with a message on standard output) when the file cannot be written.
bool writePng(const std::string& path, const Picture& picture);
// The same as an 8-bit palette PNG with a transparency chunk; false (with a
// message) for a picture of more than 256 colours.
bool writePalettePng(const std::string& path, const Picture& picture);

// Reads any PNG as RGBA; false (with a message) when it cannot.
bool readPng(const std::string& path, Picture& picture);
}

#endif
