#include "Tovrane/SpriteManager.h"

#include "Tovrane/Assert.h"
#include "Tovrane/BinaryReader.h"
#include "EscapeControls.h"
#include "RegularFile.h"
#include "Tovrane/IndexBuffer.h"
#include "Tovrane/System.h"
#include "Tovrane/Texture.h"
#include "Tovrane/TriangleMesh.h"
#include "Tovrane/VertexAttributes.h"
#include "Tovrane/VertexBuffer.h"

#include <cstdint>
#include <cerrno>
#include <iostream>
#include <sstream>

namespace Tovrane
{
namespace
{
constexpr auto readBytes = &BinaryReader::readBytes;
constexpr auto readInt = &BinaryReader::readInt;
constexpr auto readString = &BinaryReader::readString;

// Half of the distance from `low` to `high` (raw 16.16), in single precision,
// truncated toward zero; beyond the 16.16 range it saturates.
tFixed halfOf(std::int32_t low, std::int32_t high)
{
    const float half = static_cast<float>(static_cast<std::int64_t>(high) - low) * 0.5f;
    if (half >= 2147483648.0f)
        return tFixed::fromRaw(INT32_MAX);
    if (half <= -2147483648.0f)
        return tFixed::fromRaw(INT32_MIN);
    return tFixed::fromRaw(static_cast<std::int32_t>(half));
}

// A sheet edge in pixels as a texture coordinate: the sheet is 512 pixels
// wide and high, so the raw value is divided by 512 keeping its sign.
tFixed textureCoordinate(std::int32_t edge) { return tFixed::fromRaw(edge >> 9); }
}

SpriteManager::SpriteManager() { metadataPaths.push_back(System::getPath() + "metadata/"); }

SpriteManager::~SpriteManager()
{
    sprites.clear();
    metadataPaths.clear();
}

void SpriteManager::addMetadataPath(const std::string& path) { metadataPaths.push_back(path); }

int SpriteManager::readDescription(const std::string& fileName, std::string& path, std::string& text) const
{
    // Newest folder first; only the first description found is read, whole
    // and without waiting on a pipe.
    for (size_t i = metadataPaths.size(); i-- > 0;)
    {
        path = metadataPaths[i] + fileName;
        std::string why;
        if (readRegularFile(path.c_str(), text, MaxDescriptionBytes, &why))
            return 1;
        if (errno == ENOENT || errno == ENOTDIR)
            continue;
        std::cout << "Could not read file " << escapeControls(path) << ": "
                  << (errno == ENODEV || errno == EISDIR ? "it is " : "") << why << std::endl;
        return -1;
    }
    return 0;
}

void SpriteManager::addSpriteInfo(const std::string& fileName)
{
    std::string path, text;
    const int found = readDescription(fileName, path, text);
    if (found > 0)
    {
        std::istringstream file(text);
        if (!readSpriteInfo(static_cast<std::istream&>(file)))
            std::cout << "Sprite sheet description cut short: " << escapeControls(path) << std::endl;
    }
    if (found != 0)
        return;
    TOVRANE_ASSERT(false && "Could not find the requested metadata");
}

void SpriteManager::readSpriteInfo(std::ifstream& file)
{
    if (!readSpriteInfo(static_cast<std::istream&>(file)))
        std::cout << "Sprite sheet description cut short" << std::endl;
    file.close();
}

bool SpriteManager::readSpriteInfo(std::istream& in)
{
    for (;;)
    {
        // The end of the data before a block's first byte is the normal end.
        char probe;
        if (!readBytes(in, &probe, 1))
            return true;
        std::string textureName(static_cast<unsigned char>(probe), '\0');
        std::int32_t count;
        if (!readBytes(in, &textureName[0], static_cast<std::streamsize>(textureName.size())) ||
            !readInt(in, count))
            return false;

        for (std::int32_t n = 0; n < count; ++n)
        {
            std::string name;
            std::int32_t flags, left, right, top, bottom, x, y;
            if (!readString(in, name) || !readInt(in, flags) || !readInt(in, left) || !readInt(in, right) ||
                !readInt(in, top) || !readInt(in, bottom) || !readInt(in, x) || !readInt(in, y))
                return false;

            SpriteInfo info;
            info.textureName = textureName;
            info.flags = flags;
            info.left = textureCoordinate(left);
            info.right = textureCoordinate(right);
            info.top = textureCoordinate(top);
            info.bottom = textureCoordinate(bottom);
            if (flags & 1)
            {
                // Stored a quarter turn clockwise: the sheet's height is the
                // sprite's width.
                info.halfWidth = halfOf(top, bottom);
                info.halfHeight = halfOf(left, right);
            }
            else
            {
                info.halfWidth = halfOf(left, right);
                info.halfHeight = halfOf(top, bottom);
            }
            info.x = tFixed::fromRaw(x);
            info.y = tFixed::fromRaw(y);
            // The first definition of a name wins.
            sprites.insert(std::make_pair(name, info));
        }
    }
}

GeometryPtr SpriteManager::createGeometry(const SpriteInfo& info)
{
    VertexAttributes attributes;
    attributes.positions = 3;
    attributes.textureCoordinates = 2;
    VertexBufferPtr vertices(new VertexBuffer(attributes, 4));

    const tFixed w = info.halfWidth, h = info.halfHeight, zero;
    const tFixed positions[12] = {-w, h, zero, w, h, zero, -w, -h, zero, w, -h, zero};
    tFixed* p = vertices->getPositions();
    for (int i = 0; i < 12; ++i)
        p[i] = positions[i];

    // Upper left, upper right, lower left, lower right.
    tFixed* t = vertices->getTextureCoordinates();
    if (info.flags & 1)
    {
        // The sprite's top edge runs down the rectangle's right column.
        const tFixed st[8] = {info.right, info.top, info.right, info.bottom,
                              info.left,  info.top, info.left,  info.bottom};
        for (int i = 0; i < 8; ++i)
            t[i] = st[i];
    }
    else
    {
        const tFixed st[8] = {info.left, info.top,    info.right, info.top,
                              info.left, info.bottom, info.right, info.bottom};
        for (int i = 0; i < 8; ++i)
            t[i] = st[i];
    }

    IndexBufferPtr indices(new IndexBuffer(6));
    const std::uint16_t order[6] = {0, 1, 2, 1, 3, 2};
    std::uint16_t* index = indices->getIndices();
    for (int i = 0; i < 6; ++i)
        index[i] = order[i];

    return GeometryPtr(new TriangleMesh(vertices, indices));
}

const SpriteManager::SpriteInfo* SpriteManager::findSprite(const std::string& name) const
{
    std::map<std::string, SpriteInfo>::const_iterator entry = sprites.find(name);
    return entry == sprites.end() ? nullptr : &entry->second;
}

GeometryPtr SpriteManager::getSprite(const std::string& name, PixelFormat::Type format)
{
    SpriteInfo info;
    TexturePtr texture;
    std::map<std::string, SpriteInfo>::const_iterator entry = sprites.find(name);
    // A picture already known to be broken was said once, not again for
    // each sprite of it.
    const bool known = isBroken(entry != sprites.end() ? entry->second.textureName : name);
    if (entry != sprites.end())
    {
        info = entry->second;
        texture = getTexture(info.textureName);
    }
    else
    {
        // Not in any sheet: the name is a picture, shown whole.
        texture = getTexture(name);
        info.right = tFixed(1);
        info.bottom = tFixed(1);
        if (texture)
        {
            info.halfWidth = tFixed(texture->getWidth() / 2);
            info.halfHeight = tFixed(texture->getHeight() / 2);
        }
    }

    // The texture cache stops the program for a picture missing from the
    // title itself; downloaded content naming a picture it does not bring
    // must not. Its sprite becomes an empty quad at the sprite's place.
    if (!texture)
    {
        if (!known)
            std::cout << "Could not load sprite " << escapeControls(name) << std::endl;
        info.halfWidth = tFixed();
        info.halfHeight = tFixed();
    }
    else if (texture->getPalette() && format != PixelFormat::Palette8)
    {
        // A palette picture (a palette-optimised download) cannot be converted
        // in place: the sheet is expanded once into the asked format, and the
        // cache hands the expanded copy to every later sprite of it.
        TexturePtr expanded(new Texture(texture->getWidth(), texture->getHeight(), format));
        expanded->blitTexture(texture, 0, 0, 0, 0, 0, 0);
        replaceTexture(entry != sprites.end() ? info.textureName : name, expanded);
        texture = expanded;
    }
    else
    {
        texture->convertTo(format);
    }

    GeometryPtr geometry = createGeometry(info);
    geometry->setPosition(Vector3<tFixed>(info.halfWidth + info.x, info.halfHeight + info.y, tFixed()));
    geometry->setTransformCurrent(false);
    if (texture)
        geometry->setTexture(texture, 0);
    return geometry;
}
}
