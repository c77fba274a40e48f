#include "Tovrane/TextureManager.h"

#include "Tovrane/Assert.h"
#include "EscapeControls.h"
#include "Tovrane/System.h"
#include "Tovrane/Texture.h"

#include <iostream>

namespace Tovrane
{
TextureManager::TextureManager() { texturePaths.push_back(System::getPath() + "images/"); }

void TextureManager::addTexturePath(const std::string& path) { texturePaths.push_back(path); }

namespace
{
// A name with a ".." component would reach outside the searched folders: a
// downloaded sheet or character must not name pictures elsewhere.
bool leavesFolder(const std::string& fileName)
{
    for (size_t start = 0; start <= fileName.size();)
    {
        size_t end = fileName.find('/', start);
        if (end == std::string::npos)
            end = fileName.size();
        if (fileName.compare(start, end - start, "..") == 0)
            return true;
        start = end + 1;
    }
    return false;
}
}

TexturePtr TextureManager::findTexture(const std::string& fileName)
{
    if (leavesFolder(fileName))
    {
        std::cout << "Refused picture name " << escapeControls(fileName) << ": it leads outside its folder" << std::endl;
        return TexturePtr();
    }
    // Newest folder first; the reader reports each folder that lacks the file.
    for (size_t i = texturePaths.size(); i-- > 0;)
    {
        TexturePtr texture = Texture::fromFile(texturePaths[i] + fileName);
        if (texture)
            return texture;
    }
    // With only the title's folder a missing picture is an installation error.
    // Downloaded content may name a picture it does not bring: the caller gets
    // an empty pointer, and the lines above name every folder tried.
    TOVRANE_ASSERT(texturePaths.size() > 1 && "Could not find the texture");
    return TexturePtr();
}

TexturePtr TextureManager::getTexture(const std::string& fileName)
{
    // A picture that could not be read is not tried (and reported) again for
    // every sprite that shows it.
    if (broken.count(fileName))
        return TexturePtr();
    TexturePtr texture = cachedTexture(fileName);
    if (!texture)
        broken.insert(fileName);
    return texture;
}

TexturePtr TextureManager::cachedTexture(const std::string& fileName)
{
    std::map<std::string, boost::weak_ptr<Texture>>::iterator entry = cache.find(fileName);
    if (entry != cache.end())
    {
        TexturePtr cached = entry->second.lock();
        if (cached)
            return cached;
        TexturePtr texture = findTexture(fileName);
        entry->second = texture;
        return texture;
    }
    TexturePtr texture = findTexture(fileName);
    cache.insert(std::make_pair(fileName, boost::weak_ptr<Texture>(texture)));
    return texture;
}

void TextureManager::replaceTexture(const std::string& fileName, TexturePtr texture) { cache[fileName] = texture; }
}
