// Reading a task file into the task record. Keys are looked up by exact name;
// a missing key reads as empty, 0 or false. A value of the wrong JSON type
// also reads as missing, with a message; so do the other defects a task can
// still be run with. Faults that would keep the task from running refuse it,
// and so does a downloaded task naming a file outside its folder.
#include "Resources/Lessons/Task.h"

#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Profile/TaskDownload.h"
#include "EscapeControls.h"

#include "CJSonFile.h"
#include "RegularFile.h"
#include "XQMValue.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>

namespace Tovrane
{
namespace
{
// Reads the values of one file, reporting each playable defect on one line.
class FileReader
{
public:
    explicit FileReader(const std::string& file) : file(file) {}

    void note(const std::string& where, const std::string& what) const
    {
        std::cout << "Task file " << escapeControls(file) << ": " << escapeControls(where + what) << std::endl;
    }

    std::string text(const XQM::Value& object, const char* key, const std::string& where = std::string()) const
    {
        const XQM::Value value = object[key];
        if (!value.isNull() && !value.isString())
            note(where, quoted(key) + " is not text; read as empty");
        return value.asString();
    }

    int integer(const XQM::Value& object, const char* key, const std::string& where = std::string()) const
    {
        return integer(object[key], where + quoted(key));
    }

    int integer(const XQM::Value& value, const std::string& what) const
    {
        if (!value.isNull() && !value.isInt())
            note(std::string(), what + " is not a whole number; read as 0");
        return value.asInt();
    }

    double number(const XQM::Value& value, const std::string& what) const
    {
        if (!value.isNull() && !value.isNumber())
            note(std::string(), what + " is not a number; read as 0");
        return value.asDouble();
    }

    bool flag(const XQM::Value& object, const char* key, const std::string& where = std::string()) const
    {
        const XQM::Value value = object[key];
        if (!value.isNull() && !value.isBool())
            note(where, quoted(key) + " is not true or false; read as false");
        return value.asBool();
    }

    // An array read by index; anything else reads as an empty one.
    XQM::Value array(const XQM::Value& object, const char* key, const std::string& where = std::string()) const
    {
        const XQM::Value value = object[key];
        if (!value.isNull() && !value.isArray())
            note(where, quoted(key) + " is not a list; read as empty");
        return value;
    }

    // An object holding a key; anything else reads as empty.
    XQM::Value object(const XQM::Value& parent, const char* key, const std::string& where) const
    {
        const XQM::Value value = parent[key];
        if (!value.isNull() && !value.isObject())
            note(where, quoted(key) + " is not an object; read as empty");
        return value;
    }

    void texts(const XQM::Value& object, const char* key, std::vector<std::string>& into,
               const std::string& where = std::string()) const
    {
        const XQM::Value list = array(object, key, where);
        for (int i = 0; i < list.size(); ++i)
        {
            if (!list[i].isString())
                note(where, quoted(key) + " entry " + std::to_string(i) + " is not text; read as empty");
            into.push_back(list[i].asString());
        }
    }

    static std::string quoted(const std::string& key) { return "\"" + key + "\""; }

private:
    std::string file;
};

// A whole-pixel coordinate that 16.16 arithmetic can carry.
bool inRange(int value) { return value >= -TaskLineSegment::MaxCoordinate && value <= TaskLineSegment::MaxCoordinate; }

const char* const linkRefusal = "it is a link, which is not followed";

std::string loadFault(const XQM::CJSonFile& json, const std::string& path)
{
    const std::string& error = json.GetError();
    std::error_code why;
    if (error.compare(0, 11, "cannot open") == 0)
        return std::filesystem::status(path, why).type() == std::filesystem::file_type::not_found ? "missing"
                                                                                                : "unreadable";
    if (error.compare(0, 11, "cannot read") == 0)
        return "unreadable";
    if (error.find(" is a link") != std::string::npos)
        return linkRefusal;
    // A folder, pipe or device under the task's name.
    struct stat info;
    if (error.find("not a regular file") != std::string::npos && ::stat(path.c_str(), &info) == 0)
        return std::string("it is ") + describeFileType(info.st_mode) + ", not a file";
    if (error.size() >= 12 && error.compare(error.size() - 12, 12, "is too large") == 0)
        return "too large";
    return "not JSON";
}
}

bool Task::read(const std::string& path)
{
    XQM::CJSonFile json(path, 0);
    if (!json.Load())
    {
        fault = loadFault(json, path);
        // A download's task file that is a link: say where it leads.
        const std::string& download = owner->getDownloadFolder();
        if (!download.empty() && fault == linkRefusal)
        {
            const std::string leads = folderFault(download);
            fault = leads.empty() ? fault : leads;
        }
        // Nothing in a download's folder can be opened while the folder
        // may not be searched: that is the fault, not a missing file.
        std::error_code why;
        if (!download.empty() && (fault == "missing" || fault == "unreadable") &&
            TaskDownload::unreadableEntry(download, why) == ".")
            fault = folderFault(download);
        return false;
    }
    const XQM::Value root = json.GetRoot();
    if (!root.isObject())
    {
        fault = "the root is not an object";
        return false;
    }
    const FileReader in(path);
    const eTaskType type = owner->getTaskType();

    for (int i = 0; i < 4; ++i)
        loggingIDs[i] = in.text(root, ("logging_ID" + std::to_string(i)).c_str());
    taskQuestionID = in.integer(root, "question_ID");
    bgMusic = in.text(root, "bg_music");
    background = in.text(root, "background");
    canvasImage = in.text(root, "canvas");
    metadataID = in.text(root, "metadata_id");
    if (background.empty() || metadataID.empty())
    {
        fault = background.empty() ? "empty \"background\"" : "empty \"metadata_id\"";
        return false;
    }

    in.texts(root, "prologue", prologue);
    in.texts(root, "epilogue", epilogue);
    initCASpeech();
    initWASpeech(type);
    initEpilogueSpeech(type);

    const XQM::Value characterData = in.array(root, "character_data");
    if (characterData.size() > MaxCharacters)
    {
        fault = "more than " + std::to_string(MaxCharacters) + " characters";
        return false;
    }
    for (int c = 0; c < characterData.size(); ++c)
    {
        const XQM::Value entry = characterData[c];
        const std::string where = "character " + std::to_string(c) + ": ";
        DoodleStruct character;
        character.directory = in.text(entry, "directory", where);
        character.name = in.text(entry, "name", where);
        const XQM::Value pos = in.array(entry, "pos", where);
        const XQM::Value scale = in.array(entry, "scale", where);
        if (pos.isArray() && pos.size() < 3)
            in.note(where, "\"pos\" has fewer than 3 values; the rest read as 0");
        if (scale.isArray() && scale.size() < 3)
            in.note(where, "\"scale\" has fewer than 3 values; the rest read as 0");
        for (int i = 0; i < 3; ++i)
        {
            character.pos[i] = in.integer(pos[i], where + "\"pos\" value");
            character.scale[i] = static_cast<float>(in.number(scale[i], where + "\"scale\" value"));
            if (!inRange(character.pos[i]))
            {
                fault = where + "a \"pos\" value lies outside " + std::to_string(TaskLineSegment::MaxCoordinate) +
                        " pixels";
                return false;
            }
        }
        character.talkPose = in.text(entry, "talk_pose", where);
        character.listenPose = in.text(entry, "listen_pose", where);
        character.initialMood = in.text(entry, "initial_mood", where);
        character.talkerPrologue = in.flag(entry, "initial_talker_prologue", where);
        character.talkerEpilogue = in.flag(entry, "initial_talker_epilogue", where);
        characters.push_back(character);
    }

    debugDraw = in.integer(root, "debug_draw");

    const XQM::Value lineData = root["lines"];
    if (lineData.size() == 0)
    {
        fault = lineData.isArray() ? "\"lines\" is empty" : "no \"lines\" list";
        return false;
    }
    if (lineData.size() > MaxLines)
    {
        fault = "more than " + std::to_string(MaxLines) + " lines";
        return false;
    }
    int samplesInAll = 0;
    for (int l = 0; l < lineData.size(); ++l)
    {
        const XQM::Value entry = lineData[l];
        const std::string where = "line " + std::to_string(l) + ": ";
        auto refuse = [&](const std::string& why) {
            fault = where + why;
            return false;
        };

        const int box[4] = {in.integer(entry, "fill_bb_x", where), in.integer(entry, "fill_bb_y", where),
                            in.integer(entry, "fill_bb_w", where), in.integer(entry, "fill_bb_h", where)};
        const int zoomX = in.integer(entry, "zoom_point_x", where);
        const int zoomY = in.integer(entry, "zoom_point_y", where);
        if (!inRange(box[0]) || !inRange(box[1]) || !inRange(box[2]) || !inRange(box[3]) || !inRange(zoomX) ||
            !inRange(zoomY))
            return refuse("a fill box or zoom coordinate lies outside " +
                          std::to_string(TaskLineSegment::MaxCoordinate) + " pixels");

        TaskLine line;
        line.pickup.icon = in.text(entry, "pickup_icon", where);
        if (!line.pickup.icon.empty())
        {
            line.pickup.present = true;
            line.pickup.begin = in.text(entry, "pickup_begin", where);
            line.pickup.end = in.text(entry, "pickup_end", where);
            line.pickup.boxX = in.integer(entry, "pickup_bb_x", where);
            line.pickup.boxY = in.integer(entry, "pickup_bb_y", where);
            line.pickup.boxW = in.integer(entry, "pickup_bb_w", where);
            line.pickup.boxH = in.integer(entry, "pickup_bb_h", where);
            line.pickup.winY = in.integer(entry, "pickup_win_y", where);
        }
        line.animation.characterName = in.text(entry, "animation_name", where);
        if (!line.animation.characterName.empty())
        {
            line.animation.present = true;
            line.animation.animationID = in.text(entry, "animation_ID", where);
        }

        line.loggingID = in.text(entry, "logging_ID", where);
        line.questionID = in.integer(entry, "question_ID", where);
        line.noActivityStart = in.flag(entry, "no_activity_start", where);
        line.noActivityEnd = in.flag(entry, "no_activity_end", where);
        line.loggingAnim = in.text(entry, "logging_anim", where);
        line.loggingAnimFrame = in.text(entry, "logging_anim_frame", where);
        line.advLessonType = in.integer(entry, "adv_lesson_type", where);
        line.undoStroke = in.flag(entry, "undo_stroke", where);
        line.solidOverlayImage = in.text(in.object(entry, "overlay", where), "image", where + "\"overlay\" ");
        line.solidOverlay2Image = in.text(entry, "overlay2", where);
        line.dashedOverlayImage = in.text(in.object(entry, "dashed_overlay", where), "image",
                                          where + "\"dashed_overlay\" ");
        line.fixedOverlayImage = in.text(entry, "fixed_overlay", where);
        line.fillMaskImage = in.text(entry, "fill_mask", where);
        line.fillOverlayImage = in.text(entry, "fill_overlay", where);
        // Zooming in further than the canvas can changes nothing.
        line.zoom = in.integer(entry, "zoom", where);
        line.zoomPoint = Vector2<tFixed>(tFixed(zoomX), tFixed(zoomY));
        line.radius = in.integer(entry, "radii", where);
        line.useThinBrush = in.flag(entry, "use_thin_brush", where);
        line.noIntro = in.flag(entry, "no_intro", where);

        if (line.radius < 1)
        {
            if (type == TaskType::WritingLesson || type == TaskType::LetterTask || type == TaskType::WritingSubLesson)
                line.radius = 18;
            else if (type == TaskType::AdvancedLesson)
                line.radius = 12;
            else
                line.radius = line.zoom == 1 ? 18 : line.zoom == 2 ? 10 : 26;
        }
        if (line.radius > MaxRadius)
            return refuse("\"radii\" is above " + std::to_string(MaxRadius));

        // A box of no size covers the task's picture once the picture is known.
        line.fillBox = TaskLine::Box{tFixed(box[0]), tFixed(box[1]), tFixed(box[2]), tFixed(box[3])};
        line.fillColorReq = in.integer(entry, "fill_color_req", where);
        line.fillColorReqEx = in.integer(entry, "fill_color_req_ex", where);
        line.setValidStartPt(static_cast<eStartAt>(in.integer(entry, "start_at_point", where)));
        line.setSubLesson(in.text(entry, "lesson_ID", where));
        in.texts(entry, "prompt_audio", line.promptAudio, where);
        in.texts(entry, "ca_audio", line.caAudio, where);

        const XQM::Value segmentData = in.array(entry, "segments", where);
        for (int s = 0; s < segmentData.size(); ++s)
        {
            const XQM::Value data = segmentData[s];
            const std::string at = where + "segment " + std::to_string(s) + ": ";
            const int x0 = in.integer(data, "x0", at), y0 = in.integer(data, "y0", at);
            const int x1 = in.integer(data, "x1", at), y1 = in.integer(data, "y1", at);
            const XQM::Value xs = in.array(data, "control_points_x", at);
            const XQM::Value ys = in.array(data, "control_points_y", at);
            if (xs.size() < 1 || xs.size() > 2)
                return refuse("segment " + std::to_string(s) + " has " + std::to_string(xs.size()) +
                              " control points, not 1 or 2");
            if (ys.size() > xs.size())
                in.note(at, "surplus \"control_points_y\" values are ignored");

            TaskLineSegment piece;
            piece.controlPoints.push_back(Vector2<tFixed>(tFixed(x0), tFixed(y0)));
            piece.controlPoints.push_back(Vector2<tFixed>(tFixed(x1), tFixed(y1)));
            bool coordinatesOk = inRange(x0) && inRange(y0) && inRange(x1) && inRange(y1);
            for (int i = 0; i < xs.size(); ++i)
            {
                const int x = in.integer(xs[i], at + "\"control_points_x\" value");
                coordinatesOk = coordinatesOk && inRange(x);
                piece.controlPoints.push_back(Vector2<tFixed>(tFixed(x), tFixed(y0)));
            }
            for (int i = 0; i < xs.size() && i < ys.size(); ++i)
            {
                const int y = in.integer(ys[i], at + "\"control_points_y\" value");
                coordinatesOk = coordinatesOk && inRange(y);
                piece.controlPoints[2 + i].y = tFixed(y);
            }
            if (!coordinatesOk)
                return refuse("segment " + std::to_string(s) + " has a coordinate outside " +
                              std::to_string(TaskLineSegment::MaxCoordinate) + " pixels");
            piece.calcNumTestPoints(tFixed(line.radius));
            const int samples = TaskLineSegment::sampleCount(piece.numTestPoints);
            if (samples < 1 || samples > MaxSamplesPerSegment)
                return refuse("segment " + std::to_string(s) + " needs more than " +
                              std::to_string(MaxSamplesPerSegment) + " samples");
            samplesInAll += samples;
            if (samplesInAll > MaxSamplesPerTask)
                return refuse("the lines need more than " + std::to_string(MaxSamplesPerTask) + " samples in all");
            line.segments.push_back(piece);
        }
        if (line.isTracing() && line.segments.empty())
            return refuse("a tracing line without segments");

        line.initAllPoints();
        lines.push_back(line);
    }
    const std::string& download = owner->getDownloadFolder();
    return namesFit(download);
}
}
