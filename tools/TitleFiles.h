#ifndef TOVRANE_TOOLS_TITLEFILES_H
#define TOVRANE_TOOLS_TITLEFILES_H

#include "TitleManifest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace TovraneTools
{
// One sprite record of a ".tex" sprite-sheet description; the six values are
// raw 16.16 fixed-point pixels.
struct TexRecord
{
    std::string name;
    std::int32_t flags = 0;
    std::int32_t left = 0, right = 0, top = 0, bottom = 0, x = 0, y = 0;
};

// One texture block: the sheet picture's file name and its sprites.
struct TexBlock
{
    std::string texture;
    std::vector<TexRecord> records;
};

// The binary layouts of the game's descriptions (little-endian, no header,
// no padding, strings as a length byte and the bytes).
std::string encodeTex(const std::vector<TexBlock>& blocks);
std::string encodeChr(const std::vector<CharacterEntry>& characters);

// Drawing of the placeholders. drawShape fills the whole picture with the
// look's shape in its colour; drawPlaceholder writes the label on it, "_"
// as a space, in as many lines and as large as fits.
void drawShape(Picture& picture, const Look& look);
Picture drawPlaceholder(const Look& look, const std::string& label);
// A file's name as a label: without its folders, extension and a last
// "_up" or "_down" (the colour tells those apart), "_" as spaces.
std::string readableName(const std::string& path);
Picture drawAnimationFrame(const Look& look, const std::string& label, int frame, int frameCount,
    const std::string& motion);
// The DadUzo glyph atlas: 64 x 64, the 28 glyph rectangles of the font table,
// each with its character drawn in black on transparent.
Picture drawDadUzoAtlas();

// Writes bytes through a temporary file renamed into place; makes folders.
bool writeBytes(const std::string& path, const std::string& bytes);
void makeFolders(const std::string& folder);
}

#endif
