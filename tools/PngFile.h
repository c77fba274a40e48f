#ifndef TOVRANE_TOOLS_PNGFILE_H
#define TOVRANE_TOOLS_PNGFILE_H

#include "Picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace TovraneTools
{
// Writes an RGBA picture as an 8-bit RGBA PNG through a temporary file that is
// renamed into place, so a reader never sees half a picture. Returns false
// (with a message on standard output) when the file cannot be written.
bool writePng(const std::string& path, const Picture& picture);
// The same as an 8-bit RGB PNG: alpha is dropped.
bool writeRgbPng(const std::string& path, const Picture& picture);
// The same as an 8-bit palette PNG with a transparency chunk; false (with a
// message) for a picture of more than 256 colours.
bool writePalettePng(const std::string& path, const Picture& picture);

// A picture of palette indices, one byte a pixel, top row first.
struct PalettePicture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<Colour> palette; // 1 to 256 entries
};

// Writes it with its palette as given (index 0 stays index 0); false with a
// message when an index lies beyond the palette or the file cannot be written.
bool writePalettePng(const std::string& path, const PalettePicture& picture);

// Reads any PNG as RGBA; false (with a message) when it cannot.
bool readPng(const std::string& path, Picture& picture);
}

#endif
