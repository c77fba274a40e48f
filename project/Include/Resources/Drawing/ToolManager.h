#ifndef RESOURCES_TOOLMANAGER_H
#define RESOURCES_TOOLMANAGER_H

#include "Resources/Drawing/Stamp.h"
#include "Resources/Drawing/Tool.h"
#include "Tovrane/Texture.h"

#include <map>
#include <string>

namespace Tovrane
{
// The kinds of tool the studio offers.
struct ToolType
{
    enum Type : int
    {
        Pencil = 0,
        Brush = 1,
        Fill = 2,
        Chalk = 3,
        Marker = 4,
        Crayon = 5,
        Airbrush = 6,
        Eraser = 7,
        Stamp = 8,
        ZoomIn = 9,
        ZoomOut = 10,
        Line = 11,
        Rectangle = 12,
        Circle = 13,
        Triangle = 14,
        Star = 15
    };
};

// Brush masks of 8, 16 and 32 pixels.
struct ToolSize
{
    enum Type : int
    {
        Small = 0,
        Medium = 1,
        Large = 2
    };
};

// Turns the studio's selection (tool kind, size, pattern number, stamp number)
// into a ready tool. Masks and patterns are read once into its own cache and
// kept decoded there: tools share the masks, and brushes copy the patterns.
// Stamp images are read afresh for every stamp. A missing or unreadable
// image, or one in the wrong format (masks RGBA8888, patterns and stamps
// Palette8), gives an empty tool and a line on standard output.
class ToolManager
{
public:
    ToolManager();

    ToolPtr getTool(ToolType::Type type, ToolSize::Type size, int pattern);
    // "studio/brushes/" + stem + size suffix, e.g. "studio/brushes/chalk_16.png".
    TexturePtr getBrushTexture(ToolType::Type type, ToolSize::Type size);
    // "studio/patterns/pattern_NN.png".
    TexturePtr getPatternTexture(int n);
    // A stamp of "images/studio/stamps/stamp_NN.png" under the title's folder.
    StampPtr getStamp(int n);

    static std::string getBrushName(ToolType::Type type, ToolSize::Type size);
    static std::string getPatternName(int n);
    static std::string getStampPath(int n);

private:
    // A picture of the cache's folder, checked for the format the tool needs.
    TexturePtr loadChecked(const std::string& name, PixelFormat::Type format);

    std::string brushFolder;
    std::string patternFolder;
    // Masks and patterns by name under the title's "images/" folder.
    std::map<std::string, TexturePtr> pictures;
};
}

#endif
