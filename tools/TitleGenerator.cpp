// Writes the test title: every asset named in the manifest, as placeholder
// pictures, sprite sheets with their ".tex" descriptions, characters (".chr"),
// Ogg tones, JSON files, the title's meta information and movie stand-ins.
//
//   tovrane-title-gen MANIFEST OUTPUT_FOLDER
//
// The title is built in OUTPUT_FOLDER.new and then replaces OUTPUT_FOLDER, so a
// failed run never leaves half a title behind.
#include "OggTone.h"
#include "PaletteArt.h"
#include "PngFile.h"
#include "SheetPacker.h"
#include "TitleFiles.h"
#include "TitleManifest.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

using namespace TovraneTools;
namespace fs = std::filesystem;

namespace
{
const char* const StampName = ".generated";

unsigned int seedOf(const std::string& name)
{
    unsigned int hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

bool writeSheet(const SheetEntry& sheet, const std::string& title)
{
    std::vector<Picture> pictures;
    std::vector<std::pair<int, int>> sizes;
    std::vector<int> listedIn;
    for (const SpriteEntry& sprite : sheet.sprites)
    {
        listedIn.push_back(sprite.block);
        Picture picture = sprite.image.width() > 0 ? sprite.image
                          : sprite.frameCount > 0
                              ? drawAnimationFrame(sprite.look, sprite.label, sprite.frame, sprite.frameCount,
                                    sprite.motion)
                              : drawPlaceholder(sprite.look, sprite.label);
        if (sprite.rotated)
            picture = picture.rotatedClockwise();
        sizes.emplace_back(picture.width(), picture.height());
        pictures.push_back(picture);
    }

    std::vector<Placement> placements;
    int pageCount = 0;
    if (!SheetPacker().pack(sizes, placements, pageCount, listedIn))
    {
        std::printf("The sprites of sheet %s do not fit on 512 x 512 pages\n", sheet.scene.c_str());
        return false;
    }

    bool ok = true;
    std::vector<TexBlock> blocks(static_cast<size_t>(pageCount));
    std::vector<Picture> pages(static_cast<size_t>(pageCount), Picture(SheetPacker::PageSize, SheetPacker::PageSize));
    for (int page = 0; page < pageCount; ++page)
        blocks[page].texture = "sheets/" + sheet.scene + "_" + std::to_string(page) + ".png";
    for (const Placement& p : placements)
    {
        const SpriteEntry& sprite = sheet.sprites[p.sprite];
        pages[p.page].paste(pictures[p.sprite], p.left, p.top);
        TexRecord record;
        record.name = sprite.name;
        record.flags = sprite.rotated ? 1 : 0;
        record.left = p.left * 65536;
        record.right = (p.left + p.width) * 65536;
        record.top = p.top * 65536;
        record.bottom = (p.top + p.height) * 65536;
        record.x = sprite.x * 65536;
        record.y = sprite.y * 65536;
        blocks[p.page].records.push_back(record);
    }
    for (int page = 0; page < pageCount; ++page)
    {
        makeFolders(title + "images/sheets");
        ok = writePng(title + "images/" + blocks[page].texture, pages[page]) && ok;
    }
    ok = writeBytes(title + "metadata/" + sheet.scene + ".tex", encodeTex(blocks)) && ok;
    if (!sheet.characters.empty())
        ok = writeBytes(title + "metadata/" + sheet.scene + ".chr", encodeChr(sheet.characters)) && ok;
    return ok;
}

// The path of a file of the title, its folder made.
std::string prepare(const std::string& title, const std::string& name)
{
    std::string path = title + name;
    makeFolders(path.substr(0, path.find_last_of('/')));
    return path;
}

bool writeTitle(const TitleManifest& manifest, const std::string& title)
{
    bool ok = true;
    for (const PictureEntry& picture : manifest.pictures)
    {
        std::string path = title + picture.folder + picture.name;
        makeFolders(path.substr(0, path.find_last_of('/')));
        Picture drawn = picture.image.width() > 0 ? picture.image : drawPlaceholder(picture.look, picture.label);
        ok = (picture.palette ? writePalettePng(path, drawn)
                 : picture.rgb  ? writeRgbPng(path, drawn)
                                : writePng(path, drawn)) &&
             ok;
    }
    for (const MaskEntry& mask : manifest.masks)
        ok = writePng(prepare(title, "images/" + mask.name), drawMask(mask)) && ok;
    for (const PaletteEntry& picture : manifest.palettePictures)
        ok = writePalettePng(prepare(title, "images/" + picture.name), drawPalettePicture(picture)) && ok;
    for (const SheetEntry& sheet : manifest.sheets)
        ok = writeSheet(sheet, title) && ok;
    for (const std::string& font : manifest.fonts)
        ok = writePng(prepare(title, font), drawDadUzoAtlas()) && ok;
    for (const SoundEntry& sound : manifest.sounds)
    {
        std::string bytes = encodeOggTone(sound.seconds, sound.tone, sound.silent, seedOf(sound.name));
        if (bytes.empty())
        {
            std::printf("Could not encode %s\n", sound.name.c_str());
            ok = false;
            continue;
        }
        ok = writeBytes(title + "audio/" + sound.name, bytes) && ok;
    }
    for (const TextEntry& json : manifest.jsonFiles)
        ok = writeBytes(title + json.name, json.text) && ok;
    for (const TextEntry& meta : manifest.metaFiles)
        ok = writeBytes(title + meta.name, meta.text) && ok;
    for (const std::string& movie : manifest.movies)
        ok = writeBytes(title + movie, "Stand-in for the movie " + movie + "; the host shows a card.\n") && ok;

    std::string list;
    for (const std::string& file : manifest.files())
        list += file + "\n";
    ok = writeBytes(title + StampName, list) && ok;
    return ok;
}
}

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::printf("usage: tovrane-title-gen MANIFEST OUTPUT_FOLDER\n");
        return 2;
    }
    TitleManifest manifest;
    bool manifestOk = manifest.load(argv[1]);

    std::string output = argv[2];
    while (output.size() > 1 && output.back() == '/')
        output.pop_back();
    std::string fresh = output + ".new";
    std::error_code error;
    fs::remove_all(fresh, error);
    makeFolders(fresh);
    bool written = writeTitle(manifest, fresh + "/");

    // Replace the old title only when it is one of ours.
    if (fs::exists(output, error))
    {
        // CMake makes the output's folder before the first run: an empty
        // folder may go too.
        if (!fs::exists(output + "/" + StampName, error) && !fs::is_empty(output, error))
        {
            std::printf("%s exists and is not a generated title; the new one stays in %s\n", output.c_str(),
                fresh.c_str());
            return 1;
        }
        fs::remove_all(output, error);
    }
    fs::rename(fresh, output, error);
    if (error)
    {
        std::printf("Could not move %s to %s: %s\n", fresh.c_str(), output.c_str(), error.message().c_str());
        return 1;
    }
    std::printf("Test title written to %s (%zu files)\n", output.c_str(), manifest.files().size());
    return manifestOk && written ? 0 : 1;
}
