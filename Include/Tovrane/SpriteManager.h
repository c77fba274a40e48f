#ifndef TOVRANE_SPRITEMANAGER_H
#define TOVRANE_SPRITEMANAGER_H

#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/PixelFormat.h"
#include "Tovrane/TextureManager.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <fstream>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace Tovrane
{
class Geometry;
typedef boost::shared_ptr<Geometry> GeometryPtr;

// Named sprites read from ".tex" sprite-sheet descriptions. A sprite is built
// on request as a textured quad cut out of its sheet; a name that no
// description lists is taken as a picture file and the whole picture becomes
// the sprite. Descriptions are found in the metadata folders, the last added
// first; pictures through the texture cache this class derives from.
//
// A ".tex" file is a run of texture blocks up to the end of the file,
// little-endian, without header or padding:
//   block:  u8 n, n bytes texture file name, i32 count, count records
//   record: u8 m, m bytes sprite name, i32 flags, then six raw 16.16 values:
//           left, right, top, bottom (sheet pixels, rows from the top) and the
//           x, y of the quad's lower-left corner in its parent.
// Sheets are addressed as 512 x 512 pixels whatever the picture's real size.
// Flags bit 0: the sprite is stored a quarter turn clockwise in the sheet.
//
// A manager is used by one thread at a time.
class SpriteManager : public TextureManager
{
public:
    struct SpriteInfo
    {
        std::string textureName;
        std::int32_t flags = 0;
        // Texture coordinates of the rectangle's edges (pixel / 512).
        tFixed left, right, top, bottom;
        // Half the quad's displayed size, in pixels.
        tFixed halfWidth, halfHeight;
        // The quad's lower-left corner in its parent.
        tFixed x, y;
    };

    SpriteManager();
    ~SpriteManager();

    // Appends a metadata folder (ending in "/"); later folders are searched
    // first.
    void addMetadataPath(const std::string& path);
    // Reads the first description of that name found on the metadata folders.
    // Names already known keep their first definition.
    void addSpriteInfo(const std::string& fileName);
    // Reads every texture block of an open description, then closes it. A file
    // cut short inside a block keeps the records read whole before the cut.
    void readSpriteInfo(std::ifstream& file);
    // The same on any stream; returns false when the data ends inside a block.
    bool readSpriteInfo(std::istream& in);

    // The sprite's quad, textured (the shared sheet converted to `format`) and
    // placed with its lower-left corner at the sprite's x, y.
    GeometryPtr getSprite(const std::string& name, PixelFormat::Type format);
    // The description of a sprite a sheet lists, or null for any other name
    // (which getSprite takes as a picture file).
    const SpriteInfo* findSprite(const std::string& name) const;
    // Every sprite the descriptions read so far list, by name.
    const std::map<std::string, SpriteInfo>& getSpriteInfo() const { return sprites; }
    // The untextured quad of one sprite, centred on its own origin.
    GeometryPtr createGeometry(const SpriteInfo& info);

    // The largest description read; the title's are a few kilobytes.
    static const std::size_t MaxDescriptionBytes = 16 * 1024 * 1024;

protected:
    // The metadata folders in the order added (searched from the last); the
    // scene manager looks for its ".chr" files in the same folders.
    const std::vector<std::string>& getMetadataPaths() const { return metadataPaths; }
    // The newest description of that name, whole, into `text` (its path into
    // `path`): 1 when read, 0 when no folder has it, -1 when something under
    // the name cannot be read as one (a pipe, a folder; said in one line).
    int readDescription(const std::string& fileName, std::string& path, std::string& text) const;

private:
    std::vector<std::string> metadataPaths;
    std::map<std::string, SpriteInfo> sprites;
};
}

#endif
