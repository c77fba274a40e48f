#include "Resources/Profile/ScrivletPlayer.h"

#include "Tovrane/Texture.h"

#include "AtomicFile.h"
#include "EscapeControls.h"
#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// Whether a regular file that can be read stands at `path`; a pipe there is
// not waited on.
bool canOpen(const std::string& path)
{
    const int fd = openRegularFile(path.c_str());
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// "Could not save file PATH: REASON" from errno, or from what stands at the
// path when it is not a file (a save leaves that alone).
void sayNotSaved(const std::string& path, const char* after = "")
{
    const int error = errno;
    struct stat status;
    const std::string reason = ::lstat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)
                                   ? std::string("it is ") + describeFileType(status.st_mode)
                                   : atomicFailure(error);
    std::cout << "Could not save file " << escapeControls(path) << after << ": " << reason << std::endl;
}

const int thumbnailSize = 128;
const int thumbnailScale = 5;

// Each thumbnail pixel is the average of a 5 x 5 block of the picture; the
// part of the 128 x 128 thumbnail the picture does not reach stays clear.
TexturePtr makeThumbnail(const Texture& picture)
{
    TexturePtr thumbnail(new Texture(thumbnailSize, thumbnailSize, PixelFormat::RGBA8888, true, 0));
    // Larger pictures are clipped to the thumbnail.
    const int width = std::min(picture.getWidth() / thumbnailScale, thumbnailSize);
    const int height = std::min(picture.getHeight() / thumbnailScale, thumbnailSize);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            unsigned int r = 0, g = 0, b = 0, a = 0;
            for (int dy = 0; dy < thumbnailScale; ++dy)
            {
                for (int dx = 0; dx < thumbnailScale; ++dx)
                {
                    ColorRGBA<unsigned char> c = picture.getPixel(x * thumbnailScale + dx, y * thumbnailScale + dy);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    a += c.a;
                }
            }
            const unsigned int n = thumbnailScale * thumbnailScale;
            thumbnail->setPixel(ColorRGBA<unsigned char>(static_cast<unsigned char>(r / n),
                                                         static_cast<unsigned char>(g / n),
                                                         static_cast<unsigned char>(b / n),
                                                         static_cast<unsigned char>(a / n)),
                                x, y);
        }
    }
    return thumbnail;
}

// Writes `picture` as the new content of `target`, beside it, to be put in
// place with the other files of the same save; false (and said) when it
// could not be written.
bool stagePicture(const Texture& picture, const std::string& target, std::vector<std::string>& targets)
{
    targets.push_back(target);
    const std::string staging = stageAtomic(target.c_str());
    if (!staging.empty())
        return picture.savePng(staging, target); // a failure names the slot's file
    sayNotSaved(target);
    return false;
}

// Puts the staged files of one save in place together, or, when one of them
// could not be staged or put in place, none of them.
bool putStagedInPlace(const std::vector<std::string>& targets, bool staged)
{
    if (!staged)
    {
        discardStagedAtomic(targets);
        return false;
    }
    std::string failed;
    if (replaceStagedAtomic(targets, &failed))
        return true;
    // The file whose step failed is named; the others are kept with it.
    sayNotSaved(failed.empty() ? targets.front() : failed, " and the files saved with it");
    return false;
}
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

// The picture and its thumbnail go in place together or not at all, so that a
// slot's thumbnail always shows the picture the slot holds, also when the
// disk fills up part-way.
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
    std::vector<std::string> targets;
    const bool staged = stagePicture(*picture, toImagePath(slot), targets) &&
                        stagePicture(*makeThumbnail(*picture), toThumbnailPath(slot), targets);
    if (!putStagedInPlace(targets, staged))
        return false;
    // An upload of this slot that the platform has collected is forgotten, so
    // that the new drawing can be handed over too. While the metadata still
    // waits it already names this file, which now holds the new drawing.
    if (slot == lastUploadedSlot && !hasUploadImageFile())
        lastUploadedSlot = -1;
    return true;
}

bool ScrivletPlayer::createThumbnail(TexturePtr picture, int slot) const
{
    if (!picture || !hasPlayer())
        return false;
    return makeThumbnail(*picture)->save(toThumbnailPath(slot));
}

TexturePtr ScrivletPlayer::loadImage(int slot) const { return Texture::fromFile(toImagePath(slot)); }

TexturePtr ScrivletPlayer::loadImageThumbnail(int slot) const { return Texture::fromFile(toThumbnailPath(slot)); }

TexturePtr ScrivletPlayer::loadAnimationFrame(int slot, int frame) const
{
    return Texture::fromFile(toAnimationPath(slot, frame));
}

bool ScrivletPlayer::hasImage(int slot) const { return canOpen(toImagePath(slot)); }

bool ScrivletPlayer::hasAnimation(int slot) const { return canOpen(toAnimationPath(slot, 0)); }

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

// The twelve frames and the slot's frame count in "animation.bin" go in
// place together or not at all: a save that fails leaves the slot whole.
bool ScrivletPlayer::saveAnimation(std::vector<TexturePtr> frames, int slot, int count)
{
    if (slot < 0 || slot >= animationSlotCount)
    {
        std::cout << "Invalid animation slot " << slot << std::endl;
        return false;
    }
    if (frames.empty() || std::find(frames.begin(), frames.end(), TexturePtr()) != frames.end())
    {
        std::cout << "No frames to save in animation slot " << slot << std::endl;
        return false;
    }
    // An "animation.bin" that could not be read at the load is read again
    // first: only this slot's count changes in it.
    if (!hasPlayer() || !rereadAnimationData())
        return false;
    std::vector<std::string> targets;
    bool staged = true;
    for (std::size_t f = 0; staged && f < frames.size(); ++f)
    {
        frames[f]->convertTo(PixelFormat::RGBA8888);
        staged = stagePicture(*frames[f], toAnimationPath(slot, static_cast<int>(f)), targets);
        frames[f].reset(); // only one converted frame is held at a time
    }
    const int before = frameCounts[slot];
    frameCounts[slot] = count < 1 ? 1 : std::min(count, maxAnimationFrames);
    unsigned char bytes[animationDataSize];
    encodeAnimationData(bytes);
    if (staged)
    {
        targets.push_back(getAnimationDataPath());
        const std::string staging = stageAtomic(getAnimationDataPath().c_str());
        staged = !staging.empty() && writeFileAtomic(staging.c_str(), bytes, sizeof bytes);
        if (!staged)
            sayNotSaved(getAnimationDataPath());
    }
    if (putStagedInPlace(targets, staged))
        return true;
    frameCounts[slot] = before;
    return false;
}

bool ScrivletPlayer::hasUploadImageFile() const { return canOpen(getUploadMetaPath()); }

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
