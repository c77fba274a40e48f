#ifndef TOVRANE_TOOLS_TITLEMANIFEST_H
#define TOVRANE_TOOLS_TITLEMANIFEST_H

#include "Picture.h"

#include <map>
#include <string>
#include <vector>

namespace TovraneTools
{
// How a placeholder picture is drawn.
struct Look
{
    int width = 0;
    int height = 0;
    Colour colour{0, 0, 0, 255};
    std::string shape = "round";  // rect, round, ellipse, triangle, diamond, frame, or drawn by rule
    bool rimmed = false;  // the shape's outermost pixels drawn in `rim`
    Colour rim{0, 0, 0, 255};
};

struct SpriteEntry
{
    std::string name;
    Look look;
    int x = 0, y = 0;  // placement of the lower-left corner
    bool rotated = false;
    int block = 0;  // which of the sheet's blocks in the manifest lists it
    std::string label;  // text drawn on it (a readable name by default; empty: none)
    // Animation frames: which frame of how many, and how it moves.
    int frame = 0;
    int frameCount = 0;
    std::string motion;
    // A picture drawn by the generator itself, used instead of the placeholder.
    Picture image;
};

struct AnimationEntry
{
    std::string name;
    std::string folder;
    int frames = 0;
};

struct CharacterEntry
{
    std::string name;
    std::vector<AnimationEntry> animations;
};

struct SheetEntry
{
    std::string scene;
    std::vector<SpriteEntry> sprites;  // frames of the characters included
    std::vector<CharacterEntry> characters;
    int blocks = 1;  // the sheet is listed in this many blocks
};

struct PictureEntry
{
    std::string name;
    Look look;
    std::string folder = "images/";  // relative to the title: "images/" or the title itself
    bool palette = false;            // written as an 8-bit palette PNG
    bool rgb = false;                // written as an 8-bit RGB PNG, without alpha
    std::string label;               // text drawn on it (a readable name by default; empty: none)
    // A picture drawn by the generator itself, used instead of the placeholder.
    Picture image;
};

// An RGBA brush mask: opaque where paint goes.
struct MaskEntry
{
    std::string name;
    Look look;
    int grain = 100;  // percent of the shape's pixels that are opaque
};

// A picture of palette indices: a repeating design (patterns, effect
// textures) or a shape on a background (stamps).
struct PaletteEntry
{
    std::string name;
    Look look;
    std::string design;  // empty for a shape
};

struct SoundEntry
{
    std::string name;
    double seconds = 0.5;
    double tone = 440.0;
    bool silent = false;
};

struct TextEntry
{
    std::string name;
    std::string text;
};

// The test title's manifest: every asset the game loads, by name and kind.
// The format is described at the top of title-manifest.txt.
struct TitleManifest
{
    std::vector<PictureEntry> pictures;  // under images/ or at a path in the title
    std::vector<MaskEntry> masks;        // under images/
    std::vector<PaletteEntry> palettePictures;  // under images/
    std::vector<SheetEntry> sheets;
    std::vector<std::string> fonts;      // DadUzo atlases, relative to the title
    std::vector<SoundEntry> sounds;      // under audio/
    std::vector<TextEntry> jsonFiles;    // relative to the title
    std::vector<TextEntry> metaFiles;    // relative to the title
    std::vector<std::string> movies;     // relative to the title

    // Reads the manifest; every problem is reported on standard output with
    // its line. Returns false when there was any.
    bool parse(const std::string& text, const std::string& fileName);
    bool load(const std::string& path);

    // Every file the title holds, relative to the title folder.
    std::vector<std::string> files() const;
};
}

#endif
