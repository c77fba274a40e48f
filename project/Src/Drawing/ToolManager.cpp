#include "Resources/Drawing/ToolManager.h"

#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Eraser.h"
#include "Resources/Drawing/Fill.h"
#include "Resources/Drawing/Shape.h"
#include "Resources/Drawing/Zoom.h"
#include "Tovrane/System.h"

#include "EscapeControls.h"

#include <iomanip>
#include <iostream>
#include <sstream>

namespace Tovrane
{
namespace
{
std::string twoDigits(int n)
{
    std::ostringstream text;
    text << std::setfill('0') << std::setw(2) << n;
    return text.str();
}

const char* formatName(PixelFormat::Type format)
{
    static const char* names[PixelFormat::Count] = {"Palette8", "RGB565", "RGB888", "RGBA4444", "RGBA5551", "RGBA8888"};
    return names[format];
}

// A stamp image read straight from its file; empty with a message when it
// cannot be read or has no palette.
TexturePtr readStampImage(const std::string& path)
{
    TexturePtr image = Texture::fromFile(path);
    if (image && image->getFormat() != PixelFormat::Palette8)
    {
        std::cout << "Wrong pixel format in " << escapeControls(path) << ": " << formatName(image->getFormat())
                  << " instead of Palette8" << std::endl;
        image.reset();
    }
    return image;
}
}

ToolManager::ToolManager() : brushFolder("studio/brushes/"), patternFolder("studio/patterns/") {}

std::string ToolManager::getBrushName(ToolType::Type type, ToolSize::Type size)
{
    const char* stem = "brush";
    switch (type)
    {
    case ToolType::Pencil: stem = "pencil"; break;
    case ToolType::Chalk: stem = "chalk"; break;
    case ToolType::Marker: stem = "marker"; break;
    case ToolType::Crayon: stem = "crayon"; break;
    case ToolType::Airbrush: stem = "airbrush"; break;
    case ToolType::Eraser: stem = "eraser"; break;
    default: break;
    }
    const char* suffix = "";
    switch (size)
    {
    case ToolSize::Small: suffix = "_8.png"; break;
    case ToolSize::Medium: suffix = "_16.png"; break;
    case ToolSize::Large: suffix = "_32.png"; break;
    default: break;
    }
    return std::string("studio/brushes/") + stem + suffix;
}

std::string ToolManager::getPatternName(int n) { return "studio/patterns/pattern_" + twoDigits(n) + ".png"; }

std::string ToolManager::getStampPath(int n)
{
    return System::getPath() + "images/studio/stamps/stamp_" + twoDigits(n) + ".png";
}

TexturePtr ToolManager::loadChecked(const std::string& name, PixelFormat::Type format)
{
    // Pictures are read straight from the title's folder and kept decoded for
    // the manager's life; a file that is missing or cannot be read gives an
    // empty pointer (the reader says why) and is looked for again next time.
    const std::string path = System::getPath() + "images/" + name;
    TexturePtr& texture = pictures[name];
    if (!texture)
        texture = Texture::fromFile(path);
    if (!texture)
        return texture;
    if (texture->getFormat() != format)
    {
        std::cout << "Wrong pixel format in " << escapeControls(path) << ": " << formatName(texture->getFormat())
                  << " instead of " << formatName(format) << std::endl;
        return TexturePtr();
    }
    return texture;
}

TexturePtr ToolManager::getBrushTexture(ToolType::Type type, ToolSize::Type size)
{
    return loadChecked(getBrushName(type, size), PixelFormat::RGBA8888);
}

TexturePtr ToolManager::getPatternTexture(int n) { return loadChecked(getPatternName(n), PixelFormat::Palette8); }

ToolPtr ToolManager::getTool(ToolType::Type type, ToolSize::Type size, int pattern)
{
    if (static_cast<unsigned>(type - ToolType::ZoomIn) <= 6u)
    {
        if (type == ToolType::ZoomIn)
            return ToolPtr(new Zoom(ZoomToolState::ZoomIn));
        if (type == ToolType::ZoomOut)
            return ToolPtr(new Zoom(ZoomToolState::ZoomOut));
        return ToolPtr(new Shape(static_cast<ShapeType::Type>(type - ToolType::Line)));
    }
    if (type == ToolType::Stamp)
    {
        TexturePtr image = readStampImage(getStampPath(0));
        if (!image)
            return ToolPtr();
        BrushPtr brush(new Brush());
        brush->setPattern(image);
        brush->setRepeatWhileDragged(false);
        return brush;
    }
    TexturePtr mask = getBrushTexture(type, size);
    TexturePtr patternTexture = getPatternTexture(pattern);
    if (!mask || !patternTexture)
        return ToolPtr();
    if (type == ToolType::Fill)
        return ToolPtr(new Tovrane::Fill(patternTexture));
    if (type == ToolType::Eraser)
    {
        TexturePtr plain = getPatternTexture(0);
        if (!plain)
            return ToolPtr();
        return ToolPtr(new Tovrane::Eraser(mask, plain));
    }
    return ToolPtr(new Tovrane::Brush(mask, patternTexture));
}

StampPtr ToolManager::getStamp(int n)
{
    TexturePtr image = readStampImage(getStampPath(n));
    if (!image)
        return StampPtr();
    StampPtr stamp(new Stamp());
    stamp->setStampTexture(image);
    stamp->setRepeatWhileDragged(false);
    return stamp;
}
}
