#ifndef TOVRANE_BINARYREADER_H
#define TOVRANE_BINARYREADER_H

#include <cstdint>
#include <istream>
#include <string>

namespace Tovrane
{
// Checked reads of the little-endian description files (".tex", ".chr"):
// each answers false when the data ends first, and never reads past the end.
class BinaryReader
{
public:
    static bool readBytes(std::istream& in, char* target, std::streamsize size);
    static bool readInt(std::istream& in, std::int32_t& value);
    // A length byte and that many bytes.
    static bool readString(std::istream& in, std::string& text);
};
}

#endif
