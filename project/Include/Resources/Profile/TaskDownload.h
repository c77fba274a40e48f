#ifndef RESOURCES_TASKDOWNLOAD_H
#define RESOURCES_TASKDOWNLOAD_H

#include "Tovrane/GraphicsRenderer.h"
#include "Tovrane/MicroDownload.h"

#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

namespace Tovrane
{
// A downloaded town task: the package folder holds "dlc.task" and the
// "images/", "metadata/" and "audio/" folders searched before the title's.
//
// What a download reads must come from its own folder or from the title: the
// file names it gives are relative, have no ".." part, no control character
// and no part longer than the file system allows, no file of the folder is a symbolic link leading
// out of it, and everything in it may be read (and every folder searched).
class TaskDownload : public MicroDownload
{
public:
    explicit TaskDownload(const std::string& folder);
    ~TaskDownload() override;

    // A name a download may give for one of its files: not absolute and
    // without a ".." part.
    static bool isInsideName(const std::string& name);
    // A byte below 0x20, or DEL.
    static bool hasControlCharacter(const std::string& name);
    // The longest part of a name a file system takes.
    static const std::size_t MaxNamePart = 255;
    // Why a download may not give this name for one of its files ("holds a
    // control character", "lies outside its folder", "has a name part longer
    // than ..."); empty when it may.
    static std::string nameFault(const std::string& name);
    // The first file under the folder (relative to it) that is a symbolic
    // link leading out of the folder or to nothing; empty when there is none.
    // The game searches the download's folders first also for names of its
    // own, so every file there is checked, not only the ones the task names.
    // `why`, when given, gets the reason the link could not be resolved
    // (a loop, a target missing), or no error for one that resolves outside.
    static std::string linkLeavingFolder(const std::string& folder, std::error_code* why = nullptr);
    // A picture's size from its header, and the bytes a pixel takes once
    // read (3 for grey and RGB, 4 for alpha and palette pictures).
    struct PictureShape
    {
        std::uint32_t width = 0, height = 0, pixelBytes = 0;
        std::uint64_t bytes() const { return static_cast<std::uint64_t>(width) * height * pixelBytes; }
        // Shown as a grid of square tiles of `tile` pixels, `pixel` bytes a pixel.
        std::uint64_t tiledBytes(std::uint32_t tile, std::uint32_t pixel) const
        {
            return static_cast<std::uint64_t>((width + tile - 1) / tile) * ((height + tile - 1) / tile) * tile * tile *
                   pixel;
        }
    };
    // Why the picture file at `path` would not load, from its chunks, without
    // decoding its pixels: "cannot be read (...)" for a file that is no
    // regular file or may not be read, is no PNG, is cut anywhere before the
    // end of its IEND chunk, has a chunk whose length, type or CRC is
    // damaged or that is longer than the reader takes (before the image
    // data, where the reader reads), declares a size, colour type or depth
    // the reader refuses, breaks the format's rules on its chunks (one IHDR,
    // no unknown critical chunk, a valid PLTE and tRNS before the image data,
    // IDAT chunks one after another) or has no image data; empty when it is
    // whole, with its shape in `shape` when given. Damage inside the
    // compressed image data is found only when the picture is read.
    static std::string pictureFault(const std::string& path, PictureShape* shape = nullptr);
    // The texture memory every task screen holds besides the pictures its
    // task loads (TaskStudioState::screenTextureBytes counts those): the quit
    // question's sheet, made by the dialog from the title, and the text of
    // the badge window. Measured on the title's town tasks and art lessons
    // played through in the host, headless, each line after a hint, each
    // traced line after a stroke off it, the quit question opened during the
    // help that follows and answered no: at the renderer's peak ("TEXTURE
    // PEAK=", GraphicsRenderer::getPeakTextureBytes()), what it held beyond
    // the textures made of the task's pictures, at most.
    static constexpr std::uint32_t ScreenReserve = 786432;
    // The first folder under the folder (relative to it, "." for the folder
    // itself) that may not be read or searched, or file that may not be read
    // or is no plain file, with the reason in `why`; empty when there is
    // none, or no such folder at all. A pipe, socket or device is known by
    // its type and never opened: `why` is then not_supported and `what`, when
    // given, says what it is ("a pipe", "a socket", "a device"). A plain file
    // under "images/" is not opened: the task studio's entry check walks
    // every picture the task loads.
    static std::string unreadableEntry(const std::string& folder, std::error_code& why,
                                       std::string* what = nullptr);
};

typedef boost::shared_ptr<TaskDownload> TaskDownloadPtr;
}

#endif
