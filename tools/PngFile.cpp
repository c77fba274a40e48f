#include "PngFile.h"

#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

namespace TovraneTools
{
namespace
{
// Kept out of any scope that holds objects with destructors: libpng reports
// errors by longjmp.
// A palette (and its alpha values) is written when `colours` is given: the
// rows then hold one index a pixel. Otherwise the rows hold RGBA, or RGB
// when `opaque` is set.
bool writeRows(std::FILE* file, int width, int height, png_bytep* rows, const std::vector<Colour>* colours,
    bool opaque)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8,
        colours ? PNG_COLOR_TYPE_PALETTE : opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    png_byte alpha[256];
    if (colours)
    {
        for (size_t i = 0; i < colours->size(); ++i)
        {
            palette[i] = png_color{(*colours)[i].r, (*colours)[i].g, (*colours)[i].b};
            alpha[i] = (*colours)[i].a;
        }
        png_set_PLTE(png, info, palette, static_cast<int>(colours->size()));
        png_set_tRNS(png, info, alpha, static_cast<int>(colours->size()), nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool readRows(std::FILE* file, png_uint_32* width, png_uint_32* height, std::vector<std::uint8_t>* pixels)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    png_bytep* volatile rows = nullptr; // read again after a longjmp
    if (!info || setjmp(png_jmpbuf(png)))
    {
        delete[] rows;
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_user_limits(png, 8192, 8192);
    png_read_info(png, info);
    int bitDepth = 0, colourType = 0;
    png_get_IHDR(png, info, width, height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (bitDepth < 8)
        png_set_packing(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    pixels->resize(static_cast<size_t>(*width) * *height * 4);
    rows = new png_bytep[*height];
    for (png_uint_32 y = 0; y < *height; ++y)
        rows[y] = pixels->data() + static_cast<size_t>(y) * *width * 4;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    delete[] rows;
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}
}

namespace
{
// A new file "<path>.tmp", made here: whatever had that name (a temporary a
// killed writer left, or a link planted there) is removed first, never
// followed. Null when none could be made.
std::FILE* createTemporary(const std::string& path, std::string& temporary)
{
    temporary = path + ".tmp";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    if (std::FILE* file = ::fdopen(fd, "wb"))
        return file;
    ::close(fd);
    ::unlink(temporary.c_str());
    return nullptr;
}

// Writes rows of `bytesPerPixel` bytes through a temporary file renamed into place.
bool writeFile(const std::string& path, int width, int height, const std::uint8_t* data, int bytesPerPixel,
    const std::vector<Colour>* colours)
{
    std::string temporary;
    std::FILE* file = createTemporary(path, temporary);
    if (!file)
    {
        std::printf("Could not save file %s\n", path.c_str());
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[y] = const_cast<png_bytep>(data + static_cast<size_t>(y) * width * bytesPerPixel);
    bool written =
        width > 0 && height > 0 && writeRows(file, width, height, rows.data(), colours, !colours && bytesPerPixel == 3);
    written = (std::fclose(file) == 0) && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        std::remove(temporary.c_str());
        std::printf("Could not save file %s\n", path.c_str());
        return false;
    }
    return true;
}
}

bool writePng(const std::string& path, const Picture& picture)
{
    return writeFile(path, picture.width(), picture.height(), picture.data(), 4, nullptr);
}

bool writeRgbPng(const std::string& path, const Picture& picture)
{
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(picture.width()) * picture.height() * 3);
    for (size_t i = 0; i < picture.bytes().size(); i += 4)
        rgb.insert(rgb.end(), picture.bytes().begin() + static_cast<std::ptrdiff_t>(i),
            picture.bytes().begin() + static_cast<std::ptrdiff_t>(i) + 3);
    return writeFile(path, picture.width(), picture.height(), rgb.data(), 3, nullptr);
}

bool writePalettePng(const std::string& path, const Picture& picture)
{
    std::vector<Colour> colours;
    std::vector<std::uint8_t> indices(static_cast<size_t>(picture.width()) * picture.height());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
        {
            const Colour c = picture.get(x, y);
            size_t i = 0;
            while (i < colours.size() && (colours[i].r != c.r || colours[i].g != c.g || colours[i].b != c.b ||
                                             colours[i].a != c.a))
                ++i;
            if (i == colours.size())
            {
                if (colours.size() == 256)
                {
                    std::printf("Could not save file %s: more than 256 colours\n", path.c_str());
                    return false;
                }
                colours.push_back(c);
            }
            indices[static_cast<size_t>(y) * picture.width() + x] = static_cast<std::uint8_t>(i);
        }
    return writeFile(path, picture.width(), picture.height(), indices.data(), 1, &colours);
}

bool writePalettePng(const std::string& path, const PalettePicture& picture)
{
    const size_t colourCount = picture.palette.size();
    if (colourCount < 1 || colourCount > 256 ||
        picture.indices.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
    {
        std::printf("Could not save file %s: a palette picture needs 1 to 256 colours and one index a pixel\n",
            path.c_str());
        return false;
    }
    for (std::uint8_t index : picture.indices)
        if (index >= colourCount)
        {
            std::printf("Could not save file %s: index %d beyond the palette\n", path.c_str(), index);
            return false;
        }
    return writeFile(path, picture.width, picture.height, picture.indices.data(), 1, &picture.palette);
}

bool readPng(const std::string& path, Picture& picture)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
    {
        std::printf("Could not find file %s\n", path.c_str());
        return false;
    }
    png_uint_32 width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    bool read = readRows(file, &width, &height, &pixels);
    std::fclose(file);
    if (!read)
    {
        std::printf("Could not read picture %s\n", path.c_str());
        return false;
    }
    picture = Picture(static_cast<int>(width), static_cast<int>(height));
    picture.bytes() = pixels;
    return true;
}
}
