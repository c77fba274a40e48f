#include "TaskAssets.h"

#include <json/json.h>

#include <cmath>
#include <memory>

namespace TovraneTools
{
namespace
{
const Colour solidInk{40, 90, 200, 255};
const Colour dashInk{230, 110, 40, 255};
const Colour fillInk{120, 200, 120, 255};
const Colour white{255, 255, 255, 255};
const Colour black{0, 0, 0, 255};
// Dashes of the dashed overlays: ink for 8 pixels of every 14.
const double dashPeriod = 14.0, dashInkLength = 8.0;

// Discs of the given thickness along the stroke, leaving the dash gaps out
// when dashed; a dot becomes a disc, or a dashed ring.
void drawStroke(Picture& picture, const Stroke& stroke, double left, double top, int thickness, Colour ink,
                bool dashed)
{
    if (isDot(stroke))
    {
        const Point c{stroke[0].start.x - left, stroke[0].start.y - top};
        if (!dashed)
        {
            picture.fillEllipse(static_cast<int>(c.x) - thickness, static_cast<int>(c.y) - thickness, 2 * thickness,
                                2 * thickness, ink);
            return;
        }
        for (int degrees = 0; degrees < 360; degrees += 45)
        {
            const double a = degrees * 3.14159265358979 / 180.0;
            picture.fillEllipse(static_cast<int>(std::lround(c.x + thickness * std::cos(a))) - 2,
                                static_cast<int>(std::lround(c.y + thickness * std::sin(a))) - 2, 4, 4, ink);
        }
        return;
    }
    for (const auto& sample : walk(stroke, 1.0))
    {
        if (dashed && std::fmod(sample.second, dashPeriod) >= dashInkLength)
            continue;
        picture.fillEllipse(static_cast<int>(std::lround(sample.first.x - left - thickness / 2.0)),
                            static_cast<int>(std::lround(sample.first.y - top - thickness / 2.0)), thickness, thickness,
                            ink);
    }
}

void drawArea(Picture& picture, const ColourArea& area, int x, int y, Colour ink)
{
    if (area.ellipse)
        picture.fillEllipse(x, y, area.w, area.h, ink);
    else
        picture.fillRect(x, y, area.w, area.h, ink);
}

Json::Value list(const std::vector<std::string>& names)
{
    Json::Value array(Json::arrayValue);
    for (const std::string& name : names)
        array.append(name);
    return array;
}

Json::Value segmentsOf(const Stroke& stroke)
{
    Json::Value segments(Json::arrayValue);
    for (const Piece& piece : stroke)
    {
        Json::Value segment;
        segment["x0"] = static_cast<int>(piece.start.x);
        segment["y0"] = static_cast<int>(piece.start.y);
        segment["x1"] = static_cast<int>(piece.end.x);
        segment["y1"] = static_cast<int>(piece.end.y);
        segment["control_points_x"] = Json::Value(Json::arrayValue);
        segment["control_points_y"] = Json::Value(Json::arrayValue);
        for (const Point& c : piece.controls)
        {
            segment["control_points_x"].append(static_cast<int>(c.x));
            segment["control_points_y"].append(static_cast<int>(c.y));
        }
        segments.append(segment);
    }
    return segments;
}

// A sprite of the task's sheet, its lower-left corner at (left, bottom) of
// a picture of that height (sheets place sprites with y upwards).
SpriteEntry sheetSprite(const std::string& name, const Picture& image, int left, int top, int pictureHeight)
{
    SpriteEntry sprite;
    sprite.name = name;
    sprite.label = name;
    sprite.look.width = image.width();
    sprite.look.height = image.height();
    sprite.x = left;
    sprite.y = pictureHeight - (top + image.height());
    sprite.image = image;
    return sprite;
}
}

void TaskAssets::addSound(const std::string& name)
{
    if (!claim("audio/" + name))
        return;
    SoundEntry sound;
    sound.name = name;
    sound.seconds = 1.0;
    unsigned int hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    sound.tone = 300.0 + hash % 600;
    manifest.sounds.push_back(sound);
}

void TaskAssets::addPicture(const std::string& name, const Picture& image)
{
    if (!claim("images/" + name))
        return;
    PictureEntry entry;
    entry.name = name;
    entry.look.width = image.width();
    entry.look.height = image.height();
    entry.image = image;
    manifest.pictures.push_back(entry);
}

void TaskAssets::addTownsfolk()
{
    if (!claim("metadata/townsfolk.tex"))
        return;
    static const Colour palette[] = {{230, 96, 80, 255},  {240, 170, 60, 255}, {90, 180, 90, 255},
                                     {70, 150, 220, 255}, {150, 110, 210, 255}, {220, 110, 170, 255}};
    struct Layer
    {
        std::string name;
        int w, h, x, y;
    };
    std::vector<Layer> layers;
    for (const char* pose : {"p1", "p2"})
    {
        for (const char* body : {"idle", "celebrate"})
        {
            layers.push_back({std::string(pose) + "_" + body, 40, 64, 0, 0});
            for (const char* mouth : {"mouth", "talk"})
                for (const char* mood : {"happy", "sad"})
                    layers.push_back({std::string(pose) + "_" + body + "_" + mouth + "_" + mood, 12, 6, 14, 38});
        }
        layers.push_back({std::string(pose) + "_blink", 20, 6, 10, 48});
    }
    layers.push_back({"p1_to_p2", 40, 64, 0, 0});
    layers.push_back({"p2_to_p1", 40, 64, 0, 0});

    SheetEntry sheet;
    sheet.scene = "townsfolk";
    for (size_t c = 0; c < townsfolk().size(); ++c)
    {
        const std::string& who = townsfolk()[c];
        claim("character " + who);
        CharacterEntry character{who, {}};
        for (const Layer& layer : layers)
        {
            const int frames = 2;
            for (int i = 1; i <= frames; ++i)
            {
                SpriteEntry frame;
                frame.name = "townsfolk/" + who + "_" + layer.name + "_00" + std::to_string(i) + ".png";
                frame.label = who;
                frame.look.width = layer.w;
                frame.look.height = layer.h;
                frame.look.colour = palette[c % 6];
                frame.look.shape = layer.h > 10 ? "round" : "rect";
                frame.x = layer.x;
                frame.y = layer.y;
                frame.frame = i - 1;
                frame.frameCount = frames;
                frame.motion = "slide";
                claim("sprite " + frame.name);
                sheet.sprites.push_back(frame);
            }
            character.animations.push_back(AnimationEntry{layer.name, "townsfolk", frames});
        }
        sheet.characters.push_back(character);
    }
    manifest.sheets.push_back(sheet);
}

bool TaskAssets::addTask(const TaskRecipe& recipe, std::string& why)
{
    const std::string file = "tasks/" + recipe.stem + ".task";
    const std::string scene = "task_" + recipe.stem;
    if (!claim(file) || !claim("metadata/" + scene + ".tex"))
    {
        why = file + " is listed twice";
        return false;
    }
    SheetEntry sheet;
    sheet.scene = scene;

    Json::Value root;
    for (int i = 0; i < 4; ++i)
        root["logging_ID" + std::to_string(i)] = recipe.loggingIDs[i];
    root["question_ID"] = 1;
    root["bg_music"] = recipe.music;
    root["background"] = recipe.background;
    root["metadata_id"] = scene;
    root["prologue"] = list(recipe.prologue);
    root["epilogue"] = list(recipe.epilogue);
    for (const std::string& name : recipe.prologue)
        addSound(name);
    for (const std::string& name : recipe.epilogue)
        addSound(name);
    addSound(recipe.music);

    root["character_data"] = Json::Value(Json::arrayValue);
    for (const CharacterSpec& who : recipe.characters)
    {
        Json::Value character;
        character["directory"] = "townsfolk";
        character["name"] = who.name;
        character["pos"] = Json::Value(Json::arrayValue);
        for (int v : {who.x, who.y, 1})
            character["pos"].append(v);
        character["scale"] = Json::Value(Json::arrayValue);
        for (int i = 0; i < 3; ++i)
            character["scale"].append(1.0);
        character["talk_pose"] = "p1";
        character["listen_pose"] = "p2";
        character["initial_mood"] = "happy";
        character["initial_talker_prologue"] = who.talksFirst;
        character["initial_talker_epilogue"] = who.talksFirst;
        root["character_data"].append(character);
    }

    root["lines"] = Json::Value(Json::arrayValue);
    for (size_t i = 0; i < recipe.lines.size(); ++i)
    {
        const LineRecipe& recipeLine = recipe.lines[i];
        const std::string prefix = "task/" + recipe.stem + "_" + std::to_string(i + 1);
        Json::Value line;
        line["logging_ID"] = recipeLine.loggingID;
        line["question_ID"] = static_cast<int>(i + 1);
        line["prompt_audio"] = list(recipeLine.prompt);
        line["ca_audio"] = list(recipeLine.praise);
        for (const std::string& name : recipeLine.prompt)
            addSound(name);
        for (const std::string& name : recipeLine.praise)
            addSound(name);
        if (!recipeLine.lessonID.empty())
            line["lesson_ID"] = recipeLine.lessonID;

        if (!recipeLine.stroke.empty())
        {
            double minX, minY, maxX, maxY;
            bounds(recipeLine.stroke, minX, minY, maxX, maxY);
            const int margin = recipe.thickness;
            const int left = static_cast<int>(std::floor(minX)) - margin;
            const int top = static_cast<int>(std::floor(minY)) - margin;
            const int w = static_cast<int>(std::ceil(maxX)) + margin - left;
            const int h = static_cast<int>(std::ceil(maxY)) + margin - top;
            if (w > 512 || h > 512)
            {
                why = file + ": line " + std::to_string(i + 1) + " needs an overlay larger than 512 x 512";
                return false;
            }
            Picture solid(w, h), dashed(w, h);
            drawStroke(solid, recipeLine.stroke, left, top, recipe.thickness, solidInk, false);
            drawStroke(dashed, recipeLine.stroke, left, top, std::max(4, recipe.thickness / 2), dashInk, true);
            sheet.sprites.push_back(sheetSprite(prefix + "_solid.png", solid, left, top, recipe.height));
            sheet.sprites.push_back(sheetSprite(prefix + "_dashed.png", dashed, left, top, recipe.height));
            line["overlay"]["image"] = prefix + "_solid.png";
            line["dashed_overlay"]["image"] = prefix + "_dashed.png";
            if (recipeLine.finished.width() > 0)
            {
                sheet.sprites.push_back(sheetSprite(prefix + "_fixed.png", recipeLine.finished, 0, 0, recipe.height));
                line["fixed_overlay"] = prefix + "_fixed.png";
            }
            line["start_at_point"] = 0;
            line["segments"] = segmentsOf(recipeLine.stroke);
            if (recipeLine.zoom != 0)
            {
                line["zoom"] = recipeLine.zoom;
                line["zoom_point_x"] = static_cast<int>((minX + maxX) / 2);
                line["zoom_point_y"] = static_cast<int>((minY + maxY) / 2);
            }
        }
        if (const ColourArea* area = recipeLine.area)
        {
            // The mask is white where the child colours (every channel above 199).
            Picture mask(recipe.width, recipe.height, black);
            drawArea(mask, *area, area->x, area->y, white);
            addPicture(prefix + "_mask.png", mask);
            Picture fill(area->w, area->h);
            drawArea(fill, *area, 0, 0, fillInk);
            sheet.sprites.push_back(sheetSprite(prefix + "_fill.png", fill, area->x, area->y, recipe.height));
            line["fill_mask"] = prefix + "_mask.png";
            line["fill_overlay"] = prefix + "_fill.png";
            line["fill_color_req"] = area->colour;
            line["fill_color_req_ex"] = area->colourEx;
            line["fill_bb_x"] = area->x;
            line["fill_bb_y"] = area->y;
            line["fill_bb_w"] = area->w;
            line["fill_bb_h"] = area->h;
        }
        if (recipeLine.pickup.size > 0)
        {
            // The icon is centred on its origin, as the drag moves it to the finger.
            const LineRecipe::Pickup& box = recipeLine.pickup;
            Picture begin(box.size, box.size), end(box.size, box.size), icon(box.size, box.size);
            begin.fillEllipse(0, 0, box.size, box.size, dashInk);
            icon.fillEllipse(0, 0, box.size, box.size, solidInk);
            end.fillRect(0, 0, box.size, box.size, fillInk);
            sheet.sprites.push_back(sheetSprite(prefix + "_begin.png", begin, box.x, box.y, recipe.height));
            sheet.sprites.push_back(sheetSprite(prefix + "_end.png", end, box.x, box.y + box.winY, recipe.height));
            sheet.sprites.push_back(sheetSprite(prefix + "_icon.png", icon, -box.size / 2, recipe.height - box.size / 2,
                                                recipe.height));
            line["pickup_icon"] = prefix + "_icon.png";
            line["pickup_begin"] = prefix + "_begin.png";
            line["pickup_end"] = prefix + "_end.png";
            line["pickup_bb_x"] = box.x;
            line["pickup_bb_y"] = box.y;
            line["pickup_bb_w"] = box.size;
            line["pickup_bb_h"] = box.size;
            line["pickup_win_y"] = box.winY;
        }
        root["lines"].append(line);
    }
    for (const SpriteEntry& sprite : sheet.sprites)
        claim("sprite " + sprite.name);
    manifest.sheets.push_back(sheet);

    Json::StreamWriterBuilder writer;
    writer["indentation"] = " ";
    manifest.jsonFiles.push_back({file, Json::writeString(writer, root) + "\n"});
    return true;
}
}
