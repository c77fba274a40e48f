#ifndef TOVRANE_TOOLS_PALETTEART_H
#define TOVRANE_TOOLS_PALETTEART_H

#include "PngFile.h"
#include "TitleManifest.h"

#include <string>

namespace TovraneTools
{
// The repeating designs of palette pictures. Every period divides 64 and 80,
// so patterns and effect textures tile without seams.
bool isDesign(const std::string& design);
std::string designNames();

// A brush mask: opaque black where paint goes, transparent elsewhere.
Picture drawMask(const MaskEntry& mask);
// A pattern, texture or stamp as palette indices (see title-manifest.txt).
PalettePicture drawPalettePicture(const PaletteEntry& entry);
}

#endif
