#include "Resources/Profile/ScrivletPlayer.h"

#include "Tovrane/Texture.h"

#include "AtomicFile.h"

#include <cstdio>
#include <iostream>

namespace Tovrane
{
namespace
{
// A slot or frame number with at least two digits.
std::string twoDigits(int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", number);
    return text;
}

bool canOpen(const std::string& path, const char* mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

const int thumbnailSize = 128;
const int thumbnailScale = 5;
}

std::string ScrivletPlayer::toImagePath(int slot) const
{
    return photosPath + "qev_art_" + twoDigits(slot) + ".png";
}

std::string ScrivletPlayer::toThumbnailPath(int slot) const
{
    return photosPath + "qev_thumbnail_" + twoDigits(slot) + ".png";
}

std::string ScrivletPlayer::toAnimationPath(int slot, int frame) const
{
    return photosPath + "qev_anim_" + twoDigits(slot) + "_" + twoDigits(frame) + ".png";
}

std::string ScrivletPlayer::getUploadMetaPath() const { return getUploadPath("Art") + "meta.inf"; }

bool ScrivletPlayer::saveImage(TexturePtr picture, int slot)
{
    if (!picture)
    {
        std::cout << "No picture to save in slot " << slot << std::endl;
        return false;
    }
    picture->convertTo(PixelFormat::RGBA8888);
    if (!hasPlayer())
        return false;
    const bool thumbnailWritten = createThumbnail(picture, slot);
    if (!picture->save(toImagePath(slot)))
        return false;
    // An upload of this slot that the platform has collected is forgotten, so
    // that the new drawing can be handed over too. While the metadata still
    // waits it already names this file, which now holds the new drawing.
    if (slot == lastUploadedSlot && !hasUploadImageFile())
        lastUploadedSlot = -1;
    return thumbnailWritten;
}

// Each thumbnail pixel is the average of a 5 x 5 block of the picture; the
// part of the 128 x 128 thumbnail the picture does not reach stays clear.
bool ScrivletPlayer::createThumbnail(TexturePtr picture, int slot) const
{
    if (!picture || !hasPlayer())
        return false;
    TexturePtr thumbnail(new Texture(thumbnailSize, thumbnailSize, PixelFormat::RGBA8888, true, 0));
    int width = picture->getWidth() / thumbnailScale;
    int height = picture->getHeight() / thumbnailScale;
    // Larger pictures are clipped to the thumbnail.
    if (width > thumbnailSize)
        width = thumbnailSize;
    if (height > thumbnailSize)
        height = thumbnailSize;
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            unsigned int r = 0, g = 0, b = 0, a = 0;
            for (int dy = 0; dy < thumbnailScale; ++dy)
            {
                for (int dx = 0; dx < thumbnailScale; ++dx)
                {
                    ColorRGBA<unsigned char> c =
                        picture->getPixel(x * thumbnailScale + dx, y * thumbnailScale + dy);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    a += c.a;
                }
            }
            const unsigned int n = thumbnailScale * thumbnailScale;
            thumbnail->setPixel(ColorRGBA<unsigned char>(static_cast<unsigned char>(r / n), static_cast<unsigned char>(g / n),
                                                           static_cast<unsigned char>(b / n), static_cast<unsigned char>(a / n)),
                               x, y);
        }
    }
    return thumbnail->save(toThumbnailPath(slot));
}

TexturePtr ScrivletPlayer::loadImage(int slot) const { return Texture::fromFile(toImagePath(slot)); }

TexturePtr ScrivletPlayer::loadImageThumbnail(int slot) const { return Texture::fromFile(toThumbnailPath(slot)); }

TexturePtr ScrivletPlayer::loadAnimationFrame(int slot, int frame) const
{
    return Texture::fromFile(toAnimationPath(slot, frame));
}

bool ScrivletPlayer::hasImage(int slot) const { return canOpen(toImagePath(slot), "rb"); }

bool ScrivletPlayer::hasAnimation(int slot) const { return canOpen(toAnimationPath(slot, 0), "rb"); }

int ScrivletPlayer::getNumberOfImageSlotsInUse() const
{
    int inUse = 0;
    for (int slot = 0; slot < imageSlotCount; ++slot)
        if (hasImage(slot))
            ++inUse;
    return inUse;
}

bool ScrivletPlayer::saveAnimationFrame(TexturePtr frame, int slot, int frameIndex)
{
    if (!frame)
    {
        std::cout << "No frame to save in animation slot " << slot << std::endl;
        return false;
    }
    frame->convertTo(PixelFormat::RGBA8888);
    if (!hasPlayer())
        return false;
    return frame->save(toAnimationPath(slot, frameIndex));
}

bool ScrivletPlayer::hasUploadImageFile() const { return canOpen(getUploadMetaPath(), "r"); }

// The platform collects the picture named by "meta.inf"; the slot is
// remembered only once the file is safely in place.
void ScrivletPlayer::uploadImage(int slot)
{
    if (slot == lastUploadedSlot)
        return;
    if (slot < 0 || slot >= imageSlotCount)
    {
        std::cout << "Invalid picture slot " << slot << " to upload" << std::endl;
        return;
    }
    if (!hasPlayer())
        return;
    std::string path = getUploadMetaPath();
    std::FILE* file = fopenAtomic(path.c_str(), "w");
    if (!file)
    {
        std::cout << "Could not create the meta.inf file\n";
        std::cout.flush();
        return;
    }
    int written = std::fprintf(file,
                               "MetaVersion=1.0\n"
                               "Device=\"QuintaroNomad\"\n"
                               "Type=\"ScrivletArtUpload\"\n"
                               "ProductID=\"0x00470023\"\n"
                               "Name=\"Scrivlet Art Upload\"\n"
                               "PathToUploadContent=\"%s\"\n",
                               toImagePath(slot).c_str());
    if (written < 0)
    {
        fabortAtomic(file);
        std::cout << "Could not create the meta.inf file\n";
        std::cout.flush();
        return;
    }
    if (fcloseAtomic(file) != 0)
    {
        std::cout << "Could not create the meta.inf file\n";
        std::cout.flush();
        return;
    }
    lastUploadedSlot = slot;
}
}
