#include "TitleManifest.h"

#include "PaletteArt.h"
#include "TaskTitle.h"
#include "TitleFiles.h"

#include <json/json.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace TovraneTools
{
namespace
{
// A pleasant, stable colour for a name, so that neighbouring placeholders
// differ without the manifest naming every colour.
Colour colourOf(const std::string& name)
{
    static const Colour palette[] = {{230, 96, 80, 255}, {240, 170, 60, 255}, {90, 180, 90, 255},
        {70, 150, 220, 255}, {150, 110, 210, 255}, {220, 110, 170, 255}, {60, 180, 170, 255},
        {200, 200, 80, 255}};
    unsigned int hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    return palette[hash % (sizeof(palette) / sizeof(palette[0]))];
}

bool parseInt(const std::string& text, int& value)
{
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || parsed < -100000 || parsed > 100000)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseDouble(const std::string& text, double& value)
{
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && errno == 0 && *end == '\0';
}

bool parsePair(const std::string& text, char separator, int& a, int& b)
{
    size_t at = text.find(separator);
    return at != std::string::npos && parseInt(text.substr(0, at), a) && parseInt(text.substr(at + 1), b);
}

bool validName(const std::string& name)
{
    if (name.empty() || name.size() > 255 || name[0] == '/' || name.find("..") != std::string::npos)
        return false;
    for (unsigned char c : name)
        if (c <= ' ' || c == '\\')
            return false;
    return true;
}

// The game's picture reader takes sides up to 8192 and 12 MiB decoded.
const int LargestPictureSide = 8192;
const long LargestPicturePixels = 3L * 1024 * 1024;

std::string threeDigits(int n)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%03d", n);
    return text;
}
}

bool TitleManifest::load(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
    {
        std::printf("Could not find file %s\n", path.c_str());
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    return parse(text.str(), path);
}

bool TitleManifest::parse(const std::string& text, const std::string& fileName)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool ok = true;
    std::set<std::string> names;  // every asset name, once
    SheetEntry* sheet = nullptr;
    CharacterEntry* character = nullptr;

    while (std::getline(lines, line))
    {
        ++number;
        auto complain = [&](const std::string& why) {
            std::printf("%s:%d: %s\n", fileName.c_str(), number, why.c_str());
            ok = false;
        };
        std::istringstream in(line);
        std::string kind, name;
        in >> kind;
        if (kind.empty() || kind[0] == '#')
            continue;
        in >> name;
        if (!validName(name))
        {
            complain("\"" + kind + "\" needs a relative name without spaces or \"..\"");
            continue;
        }

        if (kind == "json")
        {
            std::string rest;
            std::getline(in, rest);
            Json::CharReaderBuilder builder;
            std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
            Json::Value value;
            std::string errors;
            if (!reader->parse(rest.data(), rest.data() + rest.size(), &value, &errors))
            {
                complain("the JSON of " + name + " does not parse: " + errors);
                continue;
            }
            if (!names.insert(name).second)
            {
                complain(name + " is listed twice");
                continue;
            }
            size_t first = rest.find_first_not_of(" \t");
            jsonFiles.push_back({name, rest.substr(first == std::string::npos ? 0 : first) + "\n"});
            continue;
        }

        // key=value words, and the flags "rotated" and "silent".
        std::map<std::string, std::string> keys;
        std::set<std::string> flags;
        for (std::string word; in >> word;)
        {
            if (word[0] == '#')
                break;
            size_t eq = word.find('=');
            if (eq == std::string::npos)
                flags.insert(word);
            else
                keys[word.substr(0, eq)] = word.substr(eq + 1);
        }
        auto has = [&](const char* key) { return keys.count(key) != 0; };
        bool lineOk = true;
        // Sprites fit a 512 x 512 sheet; whole pictures (a tall list cut into
        // tiles) may be larger, within what the game's picture reader takes.
        const bool whole = kind == "picture" || kind == "titlepicture";
        auto look = [&](Look& into, const std::string& colourKeyName) {
            into.colour = colourOf(colourKeyName);
            const int side = whole ? LargestPictureSide : 512;
            if (!has("size") || !parsePair(keys["size"], 'x', into.width, into.height) || into.width < 1 ||
                into.height < 1 || into.width > side || into.height > side ||
                static_cast<long>(into.width) * into.height > LargestPicturePixels)
            {
                complain(name + " needs size=WxH between 1x1 and " +
                         (whole ? std::string("8192x8192 (3 megapixels at most)") : std::string("512x512")));
                lineOk = false;
            }
            if (has("color") && !parseColour(keys["color"], into.colour))
            {
                complain(name + ": color must be #rrggbb or #rrggbbaa");
                lineOk = false;
            }
            if (has("rim"))
            {
                into.rimmed = parseColour(keys["rim"], into.rim);
                if (!into.rimmed)
                {
                    complain(name + ": rim must be #rrggbb or #rrggbbaa");
                    lineOk = false;
                }
            }
            if (has("shape"))
            {
                static const std::set<std::string> shapes = {"rect", "round", "ellipse", "triangle", "diamond",
                    "frame", "wheel", "drop", "pie", "hub", "horizon", "painting", "paintingmask", "lines"};
                if (!shapes.count(keys["shape"]))
                {
                {
                    std::string known;
                    for (const std::string& shape : shapes)
                        known += (known.empty() ? "" : ", ") + shape;
                    complain(name + ": shape must be one of " + known);
                }
                    lineOk = false;
                }
                else
                    into.shape = keys["shape"];
            }
        };
        auto placement = [&](int& x, int& y) {
            if (has("at") && !parsePair(keys["at"], ',', x, y))
            {
                complain(name + ": at must be X,Y");
                lineOk = false;
            }
        };
        auto claim = [&](const std::string& assetName) {
            if (!names.insert(assetName).second)
            {
                complain(assetName + " is listed twice");
                lineOk = false;
            }
        };

        if (kind == "picture" || kind == "titlepicture")
        {
            PictureEntry entry;
            entry.name = name;
            entry.folder = kind == "picture" ? "images/" : "";
            entry.palette = flags.count("palette") != 0;
            entry.rgb = flags.count("rgb") != 0;
            entry.label = has("label") ? keys["label"] : readableName(name);
            look(entry.look, name);
            claim(entry.folder + name);
            if (lineOk)
                pictures.push_back(entry);
        }
        else if (kind == "mask")
        {
            MaskEntry entry;
            entry.name = name;
            look(entry.look, name);
            if (has("grain") && (!parseInt(keys["grain"], entry.grain) || entry.grain < 1 || entry.grain > 100))
            {
                complain(name + ": grain must be a percentage from 1 to 100");
                lineOk = false;
            }
            claim("images/" + name);
            if (lineOk)
                masks.push_back(entry);
        }
        else if (kind == "palette")
        {
            PaletteEntry entry;
            entry.name = name;
            look(entry.look, name);
            if (!has("color") && has("design"))
                entry.look.colour = Colour{0, 0, 0, 255};
            if (has("design"))
            {
                entry.design = keys["design"];
                if (!isDesign(entry.design))
                {
                    complain(name + ": design must be one of " + designNames());
                    lineOk = false;
                }
            }
            claim("images/" + name);
            if (lineOk)
                palettePictures.push_back(entry);
        }
        else if (kind == "sheet")
        {
            // A sheet named again takes more sprites, so that each screen
            // lists its own in a block of its own.
            character = nullptr;
            auto known = std::find_if(sheets.begin(), sheets.end(),
                [&](const SheetEntry& s) { return s.scene == name; });
            if (known != sheets.end())
            {
                sheet = &*known;
                ++sheet->blocks;
                continue;
            }
            claim("metadata/" + name + ".tex");
            if (!lineOk)
                continue;
            sheets.push_back(SheetEntry());
            sheet = &sheets.back();
            sheet->scene = name;
            character = nullptr;
        }
        else if (kind == "sprite")
        {
            if (!sheet)
            {
                complain("sprite " + name + " comes before any sheet");
                continue;
            }
            SpriteEntry entry;
            entry.name = name;
            entry.label = has("label") ? keys["label"] : readableName(name);
            look(entry.look, name);
            placement(entry.x, entry.y);
            entry.rotated = flags.count("rotated") != 0;
            entry.block = sheet->blocks - 1;
            claim("sprite " + name);
            if (lineOk)
                sheet->sprites.push_back(entry);
        }
        else if (kind == "character")
        {
            if (!sheet)
            {
                complain("character " + name + " comes before any sheet");
                continue;
            }
            // Each scene has its own characters: a name may come again in
            // another scene (the games' guide lives in each game's scene).
            claim("character " + sheet->scene + "/" + name);
            if (!lineOk)
                continue;
            sheet->characters.push_back({name, {}});
            character = &sheet->characters.back();
        }
        else if (kind == "animation")
        {
            if (!character)
            {
                complain("animation " + name + " comes before any character");
                continue;
            }
            AnimationEntry animation;
            animation.name = name;
            animation.folder = has("dir") ? keys["dir"] : sheet->scene;
            if (!has("frames") || !parseInt(keys["frames"], animation.frames) || animation.frames < 1 ||
                animation.frames > 999)
            {
                complain("animation " + name + " needs frames=N from 1 to 999");
                continue;
            }
            Look frameLook;
            look(frameLook, character->name + "_" + name);
            int x = 0, y = 0;
            placement(x, y);
            std::string motion = has("motion") ? keys["motion"] : "slide";
            static const std::set<std::string> motions = {"slide", "grow", "spin", "blink", "none"};
            if (!motions.count(motion))
            {
                complain("animation " + name + ": motion must be slide, grow, spin, blink or none");
                continue;
            }
            if (!lineOk)
                continue;
            for (int i = 1; i <= animation.frames; ++i)
            {
                SpriteEntry frame;
                frame.name = animation.folder + "/" + character->name + "_" + name + "_" + threeDigits(i) + ".png";
                frame.label = character->name + " " + name + " " + std::to_string(i);
                frame.look = frameLook;
                frame.x = x;
                frame.y = y;
                frame.frame = i - 1;
                frame.frameCount = animation.frames;
                frame.motion = motion;
                frame.block = sheet->blocks - 1;
                claim("sprite " + frame.name);
                sheet->sprites.push_back(frame);
            }
            character->animations.push_back(animation);
        }
        else if (kind == "font")
        {
            claim(name);
            if (lineOk)
                fonts.push_back(name);
        }
        else if (kind == "sound")
        {
            SoundEntry sound;
            sound.name = name;
            sound.silent = flags.count("silent") != 0;
            if (!has("seconds") || !parseDouble(keys["seconds"], sound.seconds) || sound.seconds <= 0 ||
                sound.seconds > 600)
            {
                complain("sound " + name + " needs seconds=S above 0");
                continue;
            }
            if (has("tone") && (!parseDouble(keys["tone"], sound.tone) || sound.tone < 20 || sound.tone > 10000))
            {
                complain("sound " + name + ": tone must be 20 to 10000 Hz");
                continue;
            }
            claim("audio/" + name);
            if (lineOk)
                sounds.push_back(sound);
        }
        else if (kind == "meta")
        {
            int product = 0;
            if (!has("product") || !parseInt(keys["product"], product) || !has("part") || !has("version"))
            {
                complain("meta " + name + " needs product=N part=TEXT version=TEXT");
                continue;
            }
            claim(name);
            if (lineOk)
                metaFiles.push_back({name, "ProductId=" + keys["product"] + "\nPartNumber=" + keys["part"] +
                                               "\nPackageVersion=" + keys["version"] + "\n"});
        }
        else if (kind == "task")
        {
            std::string why;
            if (!addTask(*this, names, name, why))
                complain(why);
        }
        else if (kind == "movie")
        {
            claim(name);
            if (lineOk)
                movies.push_back(name);
        }
        else
            complain("unknown kind \"" + kind + "\"");
    }
    return ok;
}

std::vector<std::string> TitleManifest::files() const
{
    std::vector<std::string> all;
    for (const PictureEntry& p : pictures)
        all.push_back(p.folder + p.name);
    for (const MaskEntry& m : masks)
        all.push_back("images/" + m.name);
    for (const PaletteEntry& p : palettePictures)
        all.push_back("images/" + p.name);
    for (const SheetEntry& s : sheets)
    {
        all.push_back("metadata/" + s.scene + ".tex");
        if (!s.characters.empty())
            all.push_back("metadata/" + s.scene + ".chr");
    }
    for (const std::string& f : fonts)
        all.push_back(f);
    for (const SoundEntry& s : sounds)
        all.push_back("audio/" + s.name);
    for (const TextEntry& j : jsonFiles)
        all.push_back(j.name);
    for (const TextEntry& m : metaFiles)
        all.push_back(m.name);
    for (const std::string& m : movies)
        all.push_back(m);
    return all;
}
}
