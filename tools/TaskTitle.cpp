#include "TaskTitle.h"

#include "TaskAssets.h"
#include "TaskGlyphs.h"
#include "TitleFiles.h"

#include <cctype>

namespace TovraneTools
{
namespace
{
// Hints, instructions and praise the task code picks from.
const char* const commonSpeech[] = {
    "h_DIZAVODUV_IDigIt_5.ogg", "h_DIZAVODUV_Amazing_3.ogg", "h_DIZAVODUV_Fantastical_3.ogg",
    "h_DIZAVODUV_Superb_3.ogg", "h_DIZAVODUV_SuperFine_3.ogg", "h_DIZAVODUV_NowYoureCookin_3.ogg",
    "h_DIZAVODUV_YouGotIt_3.ogg", "h_DIZAVODUV_NiceWork_5.ogg", "h_SCRIVLET_StartHrAndDrwALnTHr_3_v0.ogg",
    "h_SCRIVLET_StartHrAndKpYrStyls_3.ogg", "h_SCRIVLET_PutTheDotHere_3.ogg", "h_VIDORIV_StartHrAndDrwALnTHr_3.ogg",
    "h_VIDORIV_StartHrAndKpYrStylsR_3.ogg", "h_REVAD_StartHrAndDrwALnTHr_3.ogg", "h_REVAD_StartHrAndKpYrStylsRgh_3.ogg",
    "h_SCRIVLET_StartHrAndDrwALnTHr_3.ogg", "h_SCRIVLET_StartHrAndKpYrStyls_1.ogg", "h_ZUDARAZE_Oops_5.ogg",
    "h_ZUDARAZE_TryAgain_3.ogg", "h_ZUDARAZE_NotQuite_3.ogg", "h_VIDORIV_ThatsNtQtClmClrWrLkn_3.ogg",
    "h_VIDORIV_TapPrplOrGrnOnThWhl_3.ogg", "h_VIDORIV_ThatsNtQtWldClrWrLkn_3.ogg", "h_VIDORIV_TapGreenOnTheWheel_3.ogg",
    "h_SCRIVLET_LetsUsThsFnkyGlsssT_5.ogg", "h_SCRIVLET_DrawACrclStrtngHr_3.ogg", "h_DIZAVODUV_LetMeHelpYouOut_3.ogg",
    "h_DIZAVODUV_TakeYrTmAndTkItEsy_3.ogg", "h_DIZAVODUV_IKnowYouCanDoIt_3.ogg", "h_SCRIVLET_NotQuite_3.ogg",
    "h_SCRIVLET_TryAgain_3.ogg", "h_SCRIVLET_LetsTryAgain_3.ogg", "h_SCRIVLET_Oops_5.ogg",
    "h_SCRIVLET_LetsGvItAnthrTry_3.ogg", "h_VIDORIV_NotQuite_3.ogg", "h_VIDORIV_TryAgain_3.ogg",
    "h_VIDORIV_LetsGiveItAnotherTry_3.ogg", "h_VIDORIV_GoodTryLetsTryAgain_3.ogg", "h_VIDORIV_Oops_5.ogg",
    "h_ZUDARAZE_LetsGvItAnthrTry_3.ogg", "h_ZUDARAZE_GoodTryLetsTryAgain_3.ogg", "h_SCRIVLET_ThatsRight_5.ogg",
    "h_SCRIVLET_NiceWork_5.ogg", "h_SCRIVLET_GreatWriting_5.ogg", "h_SCRIVLET_Scrivtastic_5.ogg",
    "h_VIDORIV_TapRedOnTheWheel_3.ogg", "h_VIDORIV_TapBlueOnTheWheel_3.ogg", "h_VIDORIV_TapYellowOnTheWheel_3.ogg",
    "h_VIDORIV_TapPurpleOnTheWheel_3.ogg", "h_VIDORIV_TapOrangeOnTheWheel_3.ogg",
    "h_SCRIVLET_WarmClrsArRdYllwAnd_3.ogg", "h_SCRIVLET_CoolClrsArBlGrnAndP_3.ogg",
    "h_VIDORIV_ThatsNtClrWrLkngFrTr_3.ogg", "h_VIDORIV_ThatsNtAClClrTryAgn_3.ogg",
    "h_VIDORIV_ThatsNtAWrmClrTryAgn_3.ogg"};

std::string camel(const std::string& stem)
{
    std::string name;
    bool upper = true;
    for (char c : stem)
    {
        if (c == '_')
            upper = true;
        else
        {
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        }
    }
    return name;
}

std::string shout(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

// Dots, backgrounds and speech that every task shares.
void addCommons(TaskAssets& assets)
{
    Picture redDot(30, 30), green(18, 18), red(18, 18);
    redDot.fillEllipse(0, 0, 30, 30, Colour{220, 30, 30, 255});
    green.fillEllipse(0, 0, 18, 18, Colour{40, 190, 60, 255});
    red.fillEllipse(0, 0, 18, 18, Colour{220, 40, 40, 255});
    assets.addPicture("task/red_dot.png", redDot);
    assets.addPicture("task/dot_green.png", green);
    assets.addPicture("task/dot_red.png", red);

    // Writing paper: the top, middle and base lines of the glyphs, and the
    // descender line.
    Picture paper(320, 240, Colour{252, 250, 240, 255});
    for (int y : {40, 100, 160})
        paper.fillRect(0, y, 320, 2, Colour{120, 160, 230, 255});
    paper.fillRect(0, 214, 320, 1, Colour{230, 120, 120, 255});
    assets.addPicture("task/writing_paper.png", paper);
    assets.addPicture("task/art_paper.png", Picture(320, 240, Colour{250, 244, 226, 255}));

    for (const char* name : commonSpeech)
        assets.addSound(name);
    assets.addTownsfolk();
}

bool writingTask(TaskAssets& assets, const std::string& stem, std::string& why)
{
    std::vector<Stroke> strokes;
    if (!glyphStrokes(stem, strokes, why))
        return false;
    // Glyph units to picture pixels: 1.2 each, the glyph's top line at y 40,
    // centred across.
    double minX = 1e9, maxX = -1e9;
    for (const Stroke& stroke : strokes)
    {
        double x0, y0, x1, y1;
        bounds(stroke, x0, y0, x1, y1);
        minX = std::min(minX, x0);
        maxX = std::max(maxX, x1);
    }
    const double scale = 1.2;
    const double dx = 160.0 - scale * (minX + maxX) / 2.0;

    TaskRecipe recipe;
    recipe.stem = stem;
    recipe.background = "task/writing_paper.png";
    recipe.music = "m_WritingLesson_1.ogg";
    recipe.loggingIDs[0] = "WRITING_" + stem;
    recipe.loggingIDs[1] = stem;
    recipe.loggingIDs[2] = "Writing";
    recipe.loggingIDs[3] = "WL_" + stem;
    recipe.prologue = {"h_SCRIVLET_LetsPracticeWriting_3.ogg", "h_SCRIVLET_FollowTheDots_3.ogg",
                     "h_SCRIVLET_Write_" + stem + "_3.ogg"};
    recipe.epilogue = {"h_SCRIVLET_ThatsRight_5.ogg"};
    recipe.thickness = 12;
    for (size_t i = 0; i < strokes.size(); ++i)
    {
        LineRecipe line;
        line.stroke = placed(strokes[i], scale, dx, 40.0);
        line.loggingID = stem + "_" + std::to_string(i + 1);
        line.prompt = {isDot(strokes[i]) ? "h_SCRIVLET_PutTheDotHere_3.ogg" : "h_SCRIVLET_StartAtTheGreenDot_3.ogg"};
        recipe.lines.push_back(line);
    }
    return assets.addTask(recipe, why);
}

bool parsed(const std::string& path, Stroke& stroke, std::string& why) { return parsePath(path, stroke, why); }

bool locationTask(TaskAssets& assets, const LocationScene& scene, std::string& why)
{
    TaskRecipe recipe;
    recipe.stem = scene.stem;
    recipe.width = 640;
    recipe.height = 480;
    recipe.background = "task/" + scene.stem + "_background.png";
    Look look;
    look.width = 640;
    look.height = 480;
    look.shape = "rect";
    look.colour = Colour{170, 205, 235, 255};
    assets.addPicture(recipe.background, drawPlaceholder(look, scene.stem));
    recipe.music = "m_Town_1.ogg";
    recipe.loggingIDs[0] = scene.stem;
    recipe.loggingIDs[1] = "LOC_" + scene.stem;
    recipe.loggingIDs[2] = "Location";
    recipe.loggingIDs[3] = scene.stem;
    const std::string first = townsfolk()[scene.firstTalker % townsfolk().size()];
    const std::string second = townsfolk()[(scene.firstTalker + 1) % townsfolk().size()];
    recipe.characters = {{first, 100, 140, true}, {second, 540, 140, false}};
    // The two speak in turn, the first one first.
    for (int i = 1; i <= 4; ++i)
        recipe.prologue.push_back("h_" + shout(i % 2 ? first : second) + "_" + camel(scene.stem) + "Prologue" +
                                std::to_string(i) + "_3.ogg");
    for (int i = 1; i <= 2; ++i)
        recipe.epilogue.push_back("h_" + shout(i % 2 ? first : second) + "_" + camel(scene.stem) + "Epilogue" +
                                std::to_string(i) + "_3.ogg");
    recipe.thickness = 14;

    const std::vector<std::string> praise = {"h_SCRIVLET_GreatJob_3.ogg"};
    const std::string code = shout(scene.stem.substr(0, 3));
    LineRecipe traced, zoomed, dot, subLesson, launching;
    if (!parsed(scene.paths.at(0), traced.stroke, why) || !parsed(scene.paths.at(1), zoomed.stroke, why) ||
        !parsed(scene.dot, dot.stroke, why) || !parsed(scene.paths.at(2), launching.stroke, why))
        return false;
    traced.loggingID = code + "1";
    zoomed.loggingID = code + "2";
    zoomed.zoom = 1;
    dot.loggingID = code + "3";
    subLesson.loggingID = code + "4";
    subLesson.lessonID = std::string(1, scene.subLesson);
    subLesson.prompt = {"h_SCRIVLET_LetsWriteALetter_3.ogg"};
    launching.loggingID = scene.artCode;
    launching.zoom = 2;
    for (LineRecipe* line : {&traced, &zoomed, &launching})
        line->prompt = {"h_SCRIVLET_TraceThisLine_3.ogg"};
    dot.prompt = {"h_SCRIVLET_TapTheDot_3.ogg"};
    // Most places add a line to drag or one to colour, in turns; the colour
    // lines ask for every requirement of the pie between them.
    static const int requirements[] = {0, 1, 2, 3, 4, 5, 7, 8, 9};
    const int index = static_cast<int>(&scene - &locationScenes()[0]);
    const bool plain = scene.stem == "firehouse";
    LineRecipe extra;
    ColourArea area{index % 4 == 1, 440, 300, 120, 100, requirements[(index / 2) % 9], 0};
    extra.loggingID = code + "5";
    if (!plain && index % 2 == 0)
    {
        extra.pickup = LineRecipe::Pickup{80, 60, 64, 300};
        extra.prompt = {"h_SCRIVLET_DragItHere_3.ogg"};
    }
    else if (!plain)
    {
        extra.area = &area;
        extra.prompt = {"h_VIDORIV_ColorTheShape_3.ogg"};
    }
    for (LineRecipe* line : {&traced, &zoomed, &dot, &subLesson, &launching, &extra})
    {
        if (line == &extra && plain)
            continue;
        line->praise = praise;
        recipe.lines.push_back(*line);
    }
    return assets.addTask(recipe, why);
}

bool artTask(TaskAssets& assets, const ArtLesson& lesson, std::string& why)
{
    TaskRecipe recipe;
    recipe.stem = lesson.stem;
    recipe.background = "task/art_paper.png";
    recipe.music = "m_ArtLesson_1.ogg";
    recipe.loggingIDs[0] = lesson.stem;
    recipe.loggingIDs[1] = lesson.code;
    recipe.loggingIDs[2] = "Lesson";
    recipe.loggingIDs[3] = lesson.stem;
    recipe.prologue = {"h_SCRIVLET_" + camel(lesson.stem) + "Intro_3.ogg"};
    recipe.thickness = 10;
    for (const std::string& path : lesson.paths)
    {
        LineRecipe line;
        if (!parsed(path, line.stroke, why))
            return false;
        line.loggingID = lesson.code;
        line.prompt = {"h_SCRIVLET_TraceTheShape_3.ogg"};
        line.praise = {"h_SCRIVLET_WellDone_3.ogg"};
        if (lesson.horizonRow > 0)
        {
            line.finished = Picture(320, 240, Colour{150, 200, 245, 255});
            line.finished.fillRect(0, lesson.horizonRow, 320, 240 - lesson.horizonRow, Colour{90, 170, 80, 255});
            line.finished.fillEllipse(240, 30, 40, 40, Colour{250, 210, 60, 255});
        }
        recipe.lines.push_back(line);
    }
    // A lesson with areas to colour shows its outlines in front of the
    // child's picture, so paint goes under the lines: the background is
    // see-through but for the areas' borders.
    if (!lesson.areas.empty())
    {
        Picture outlines(320, 240, Colour{0, 0, 0, 0});
        for (const ColourArea& area : lesson.areas)
        {
            const int border = 3;
            const Colour ink{40, 40, 40, 255}, clear{0, 0, 0, 0};
            auto shape = [&](int inset, Colour colour) {
                if (area.ellipse)
                    outlines.fillEllipse(area.x + inset, area.y + inset, area.w - 2 * inset, area.h - 2 * inset, colour);
                else
                    outlines.fillRect(area.x + inset, area.y + inset, area.w - 2 * inset, area.h - 2 * inset, colour);
            };
            shape(-border, ink);
            shape(0, clear);
        }
        recipe.background = "task/" + lesson.stem + "_outlines.png";
        assets.addPicture(recipe.background, outlines);
    }
    for (const ColourArea& area : lesson.areas)
    {
        LineRecipe line;
        line.area = &area;
        line.loggingID = lesson.code;
        line.prompt = {"h_VIDORIV_ColorTheShape_3.ogg"};
        recipe.lines.push_back(line);
    }
    return assets.addTask(recipe, why);
}
}

bool addTask(TitleManifest& manifest, std::set<std::string>& names, const std::string& stem, std::string& why)
{
    TaskAssets assets(manifest, names);
    addCommons(assets);
    for (const LocationScene& scene : locationScenes())
        if (scene.stem == stem)
            return locationTask(assets, scene, why);
    for (const ArtLesson& lesson : artLessons())
        if (lesson.stem == stem)
            return artTask(assets, lesson, why);
    return writingTask(assets, stem, why);
}
}
