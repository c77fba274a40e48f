#ifndef TESTS_SCENEGRAPH_SPRITETESTSUPPORT_H
#define TESTS_SCENEGRAPH_SPRITETESTSUPPORT_H

// Sprite-sheet descriptions, pictures and the title folder, written by the
// tests themselves.

#include "support/DataRoot.h"

#include "Tovrane/System.h"
#include "Tovrane/Texture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace SpriteTestSupport
{
// One sprite record: edges and placement raw 16.16.
struct Record
{
    std::string name;
    std::int32_t flags;
    std::int32_t left, right, top, bottom, x, y;
};

// A record with edges and placement in whole pixels; flag bit 0 turns it.
inline Record sprite(const std::string& name, int left, int right, int top, int bottom, int x = 0, int y = 0,
                     std::int32_t flags = 0)
{
    return Record{name, flags, left * 65536, right * 65536, top * 65536, bottom * 65536, x * 65536, y * 65536};
}

inline Record rotated(const std::string& name, int left, int right, int top, int bottom, int x = 0, int y = 0)
{
    return sprite(name, left, right, top, bottom, x, y, 1);
}

struct Block
{
    std::string texture;
    std::vector<Record> records;
    std::int32_t count = -1; // the count written; by default the number of records
};

inline void putInt(std::string& out, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF));
}

inline void putString(std::string& out, const std::string& text)
{
    out.push_back(static_cast<char>(static_cast<unsigned char>(text.size())));
    out += text;
}

// The bytes of a ".tex" description.
inline std::string encode(const std::vector<Block>& blocks)
{
    std::string out;
    for (const Block& block : blocks)
    {
        putString(out, block.texture);
        putInt(out, block.count >= 0 ? block.count : static_cast<std::int32_t>(block.records.size()));
        for (const Record& r : block.records)
        {
            putString(out, r.name);
            for (std::int32_t v : {r.flags, r.left, r.right, r.top, r.bottom, r.x, r.y})
                putInt(out, v);
        }
    }
    return out;
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

using TestSupport::freshFolder;
using TestSupport::scratchFolder;

// The title folder of the test program, with its "images/" and "metadata/":
// configured here unless another test of the same process has already fixed it.
inline std::string titleFolder()
{
    TestSupport::useDataRoot();
    const std::string title = Tovrane::System::getPath();
    std::filesystem::create_directories(title + "images");
    std::filesystem::create_directories(title + "metadata");
    return title;
}

// A picture of one colour.
inline Tovrane::TexturePtr solidPicture(int w, int h, const Tovrane::ColorRGBA<unsigned char>& colour)
{
    Tovrane::TexturePtr picture(new Tovrane::Texture(w, h, Tovrane::PixelFormat::RGBA8888, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture->setPixel(colour, x, y);
    return picture;
}

inline void savePicture(const Tovrane::TexturePtr& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(picture->save(path)) << path;
}
}

#endif
