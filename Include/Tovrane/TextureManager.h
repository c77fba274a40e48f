#ifndef TOVRANE_TEXTUREMANAGER_H
#define TOVRANE_TEXTUREMANAGER_H

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace Tovrane
{
class Texture;
typedef boost::shared_ptr<Texture> TexturePtr;

// Turns a picture's file name into a shared texture. Folders are searched from
// the last added to the first (the title's "images/" folder comes first in the
// list, so it is searched last). Loaded textures are remembered by name through
// weak references only, so a texture lives only while somebody shows it.
// A manager is used by one thread at a time.
class TextureManager
{
public:
    TextureManager();

    // Appends a folder (ending in "/"), e.g. the "images/" folder of downloaded
    // content, which is then searched before the folders added earlier.
    void addTexturePath(const std::string& path);
    // The cached texture of that name while it lives, else a freshly loaded
    // one; empty, without trying again, for a name that could not be loaded
    // before.
    TexturePtr getTexture(const std::string& fileName);
    // Loads the file from the search folders without looking at the cache.
    // A picture missing from the title's own folder is an installation error
    // (assertion); when folders were added, a missing picture may be the fault
    // of downloaded content and gives an empty pointer instead.
    TexturePtr findTexture(const std::string& fileName);
    // True when getTexture could not load that name before.
    bool isBroken(const std::string& fileName) const { return broken.count(fileName) != 0; }

protected:
    // Puts `texture` in the cache under `fileName` in place of what was loaded
    // for it (a sprite sheet's expanded copy of a palette picture).
    void replaceTexture(const std::string& fileName, TexturePtr texture);

private:
    // getTexture without the names that failed.
    TexturePtr cachedTexture(const std::string& fileName);

    std::vector<std::string> texturePaths;
    // Names getTexture could not load.
    std::set<std::string> broken;
    std::map<std::string, boost::weak_ptr<Texture>> cache;
};
}

#endif
