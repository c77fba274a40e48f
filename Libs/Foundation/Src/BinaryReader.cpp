#include "Tovrane/BinaryReader.h"

namespace Tovrane
{
bool BinaryReader::readBytes(std::istream& in, char* target, std::streamsize size)
{
    if (size == 0)
        return true;
    in.read(target, size);
    return in.gcount() == size;
}

bool BinaryReader::readInt(std::istream& in, std::int32_t& value)
{
    unsigned char bytes[4];
    if (!readBytes(in, reinterpret_cast<char*>(bytes), 4))
        return false;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                                      static_cast<std::uint32_t>(bytes[2]) << 16 |
                                      static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

bool BinaryReader::readString(std::istream& in, std::string& text)
{
    char length;
    if (!readBytes(in, &length, 1))
        return false;
    text.assign(static_cast<unsigned char>(length), '\0');
    return readBytes(in, &text[0], static_cast<std::streamsize>(text.size()));
}
}
