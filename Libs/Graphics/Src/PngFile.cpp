// PNG reading and writing of textures, on libpng 1.6.

#include "Tovrane/Assert.h"
#include "EscapeControls.h"
#include "Tovrane/GraphicsRenderer.h"
#include "Tovrane/Texture.h"

#include "AtomicFile.h"
#include "RegularFile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace Tovrane
{
namespace
{
// Longer sides are refused as broken: the device screen is 320 x 240 and the
// largest picture the game makes is 640 x 480; a tall list made of tiles may
// run to 8192 rows. The decoded size has its own bound beside the renderer's
// texture budget (GraphicsRenderer::PictureBudget).
const png_uint_32 MaximumSize = GraphicsRenderer::PictureSideLimit;
// The longest chunk other than the image data libpng takes (the image data is
// streamed and may be as long as its rows): a header that declares more
// refuses the file before anything is allocated. The reader stops at the end
// of the image data, so what follows it is neither read nor bounded.
const png_alloc_size_t ChunkBytesLimit = GraphicsRenderer::PictureChunkLimit;

// Everything one read or write owns. It lives in the caller's frame, outside
// the functions that call setjmp, so a library error (a longjmp) skips no
// destructor and the caller frees whatever was made.
struct PngJob
{
    png_structp png;
    png_infop info;
    png_bytep* rows;
    Texture* texture;
    char message[160];
    int error;  // errno when the library gave up, for a failed write's reason
};

void setMessage(PngJob* job, const char* message)
{
    std::snprintf(job->message, sizeof job->message, "%s", message);
}

void onError(png_structp png, png_const_charp message)
{
    const int error = errno;
    PngJob* job = static_cast<PngJob*>(png_get_error_ptr(png));
    setMessage(job, message);
    job->error = error;
    png_longjmp(png, 1);
}

// Warnings concern ancillary data the game does not use; the image reads on.
void onWarning(png_structp, png_const_charp)
{
}

png_bytep* makeRows(png_structp png, unsigned char* pixels, int height, int pitch)
{
    png_bytep* rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * (height ? height : 1)));
    if (!rows)
        png_error(png, "Out of memory");
    for (int i = 0; i < height; ++i)
        rows[i] = pixels + static_cast<std::size_t>(i) * pitch;
    return rows;
}

// Reads the whole file into job->texture. Returns false with job->message set
// on any error; the caller releases what job holds either way.
bool readPng(std::FILE* file, PngJob* job)
{
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, onError, onWarning);
    if (!job->png)
    {
        setMessage(job, "Cannot create the PNG reader");
        return false;
    }
    job->info = png_create_info_struct(job->png);
    if (!job->info)
    {
        setMessage(job, "Cannot create the PNG reader");
        return false;
    }
    if (setjmp(png_jmpbuf(job->png)))
        return false;

    png_structp png = job->png;
    png_infop info = job->info;
    png_init_io(png, file);
    // Damage that libpng would only warn about (a chunk longer than allowed,
    // a misplaced or invalid ancillary chunk, an ancillary chunk whose CRC
    // is wrong) refuses the file, as the check of a download's pictures
    // refuses it; ancillary chunks the game does not use are skipped unread.
    png_set_benign_errors(png, 0);
    png_set_crc_action(png, PNG_CRC_DEFAULT, PNG_CRC_ERROR_QUIT);
    png_set_chunk_malloc_max(png, ChunkBytesLimit);
    png_set_user_limits(png, MaximumSize, MaximumSize);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    // Counted at 4 bytes a pixel, the most any picture takes once a sprite
    // sheet has expanded it.
    if (static_cast<std::uint64_t>(width) * height * 4 > GraphicsRenderer::PictureBudget)
        png_error(png, "Picture too large");

    // Every picture becomes 8 bits per channel: palettes stay palettes, grey
    // becomes RGB, and transparency chunks are not read.
    PixelFormat::Type format = PixelFormat::RGB888;
    switch (colourType)
    {
    case PNG_COLOR_TYPE_PALETTE:
        format = PixelFormat::Palette8;
        if (bitDepth < 8)
            png_set_packing(png);
        break;
    case PNG_COLOR_TYPE_GRAY:
        if (bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        png_set_gray_to_rgb(png);
        format = PixelFormat::RGBA8888;
        break;
    case PNG_COLOR_TYPE_RGB:
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        format = PixelFormat::RGBA8888;
        break;
    default:
        png_error(png, "Unsupported image type");
    }
    if (bitDepth == 16)
        png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const std::size_t rowBytes =
        static_cast<std::size_t>(width) * PixelFormat::getBytesPerPixel(format);
    if (png_get_rowbytes(png, info) != rowBytes)
        png_error(png, "Unexpected row size");

    job->texture = new Texture(static_cast<int>(width), static_cast<int>(height), format);
    Texture* texture = job->texture;
    if (format == PixelFormat::Palette8)
    {
        // Entries the file does not define stay zero.
        std::memset(texture->getPalette(), 0, Texture::PaletteBytes);
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &entries, &count) & PNG_INFO_PLTE)
        {
            for (int i = 0; i < count && i < 256; ++i)
            {
                unsigned char* e = texture->getPalette() + 4 * i;
                e[0] = entries[i].red;
                e[1] = entries[i].green;
                e[2] = entries[i].blue;
                e[3] = 255;
            }
        }
    }

    // Whatever follows the image data (IEND included) is not read: a file
    // whose pixels are whole loads even when its end is missing.
    job->rows = makeRows(png, texture->getPixels(), texture->getHeight(), texture->getPitch());
    png_read_image(png, job->rows);
    return true;
}

// Writes `texture` to the stream with the given colour type. Returns false
// with job->message set on any library error.
bool writePng(std::FILE* stream, const Texture& texture, int colourType, PngJob* job)
{
    job->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, job, onError, onWarning);
    if (!job->png)
    {
        setMessage(job, "Cannot create the PNG writer");
        return false;
    }
    job->info = png_create_info_struct(job->png);
    if (!job->info)
    {
        setMessage(job, "Cannot create the PNG writer");
        return false;
    }
    if (setjmp(png_jmpbuf(job->png)))
        return false;

    png_structp png = job->png;
    png_infop info = job->info;
    png_init_io(png, stream);
    png_set_IHDR(png, info, static_cast<png_uint_32>(texture.getWidth()),
                 static_cast<png_uint_32>(texture.getHeight()), 8, colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);

    if (colourType == PNG_COLOR_TYPE_PALETTE)
    {
        // The whole palette, with its alpha values when any entry is not opaque.
        const unsigned char* palette = texture.getPalette();
        png_color entries[256];
        png_byte alphas[256];
        int alphaCount = 0;
        for (int i = 0; i < 256; ++i)
        {
            entries[i].red = palette[4 * i];
            entries[i].green = palette[4 * i + 1];
            entries[i].blue = palette[4 * i + 2];
            alphas[i] = palette[4 * i + 3];
            if (alphas[i] != 255)
                alphaCount = i + 1;
        }
        png_set_PLTE(png, info, entries, 256);
        if (alphaCount > 0)
            png_set_tRNS(png, info, alphas, alphaCount, nullptr);
    }
    png_write_info(png, info);

    job->rows = makeRows(png, const_cast<unsigned char*>(texture.getPixels()),
                         texture.getHeight(), texture.getPitch());
    png_write_image(png, job->rows);
    png_write_end(png, nullptr);
    return true;
}
}

Texture* Texture::loadPng(const std::string& path)
{
    // Only a regular file is read; a pipe or device under a picture's name
    // would otherwise be waited on for ever.
    std::string what;
    std::FILE* file = fopenRegularFile(path.c_str(), "rb", &what);
    if (!file)
    {
        if (errno == ENODEV || errno == EISDIR)
            std::cout << "Could not read file " << escapeControls(path) << ": it is " << what << std::endl;
        else
            std::cout << "Could not find file " << escapeControls(path) << std::endl;
        return nullptr;
    }

    PngJob job = {};
    const bool read = readPng(file, &job);
    if (job.png)
        png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    std::free(job.rows);
    std::fclose(file);

    if (!read)
    {
        delete job.texture;
        std::cout << "Could not read file " << escapeControls(path) << ": " << job.message << std::endl;
        return nullptr;
    }
    return job.texture;
}

bool Texture::savePng(const std::string& path, const std::string& shownAs) const
{
    const std::string& name = shownAs.empty() ? path : shownAs;
    int colourType = -1;
    switch (format)
    {
    case PixelFormat::Palette8:
        colourType = PNG_COLOR_TYPE_PALETTE;
        break;
    case PixelFormat::RGB888:
        colourType = PNG_COLOR_TYPE_RGB;
        break;
    case PixelFormat::RGBA8888:
        colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        break;
    default:
        break;
    }
    TOVRANE_ASSERT(colourType >= 0 && "Unsupported image type");

    std::FILE* stream = fopenAtomic(path.c_str(), "wb");
    if (!stream)
    {
        std::cout << "Could not save file " << name << ": " << atomicFailure(errno) << std::endl;
        return false;
    }

    PngJob job = {};
    bool written = writePng(stream, *this, colourType, &job);
    if (job.png)
        png_destroy_write_struct(&job.png, job.info ? &job.info : nullptr);
    std::free(job.rows);

    // A failed write keeps the old file whole; so does a failed close. The
    // reason given is the system's when a write failed (a full disk), the
    // library's otherwise.
    std::string reason;
    if (written)
    {
        written = fcloseAtomic(stream) == 0;
        if (!written)
            reason = std::strerror(errno);
    }
    else
    {
        reason = std::ferror(stream) && job.error ? std::strerror(job.error) : job.message;
        fabortAtomic(stream);
    }
    if (!written)
    {
        std::cout << "Could not save file " << name;
        if (!reason.empty())
            std::cout << ": " << reason;
        std::cout << std::endl;
    }
    return written;
}
}
