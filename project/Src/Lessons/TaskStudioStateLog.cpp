// The task studio's game area in the usage log, and its debug lines: the
// description of each line when its intro ends.
#include "Resources/Lessons/TaskStudioState.h"

#include "Tovrane/DebugLog.h"
#include "Tovrane/GameLog.h"

#include <sstream>

namespace Tovrane
{
namespace
{
const char* const colourNames[] = {"RED", "BLUE", "YELLOW", "PURPLE", "GREEN", "ORANGE", "NOTHING", "WARM", "COOL"};

void writeLine(const std::ostringstream& text) { DebugLog::writeString(text.str() + "\n"); }
}

void TaskStudioState::openGameArea()
{
    if (gameAreaOpen)
        return;
    if (taskType == TaskType::WritingLesson)
        GameLog::gameAreaStart(task->loggingIDs[3]);
    else if (taskType == TaskType::LocationTask)
        GameLog::gameAreaStart(task->loggingIDs[1]);
    else
        return;
    gameAreaOpen = true;
}

void TaskStudioState::closeGameArea()
{
    if (!gameAreaOpen)
        return;
    gameAreaOpen = false;
    GameLog::gameAreaEnd();
}

void TaskStudioState::debugLog_TaskIntro(TaskLine& line)
{
    std::ostringstream text;
    if (!line.subLessonPath.empty())
        return;
    if (line.pickup.present)
    {
        const PickupData& box = line.pickup;
        text << "PERSPECTIVE XY=[" << box.boxX << "," << box.boxY << "] W=" << box.boxW << " H=" << box.boxH
             << " MOVE_Y=" << box.winY;
        writeLine(text);
    }
    else if (!line.fillMaskImage.empty())
    {
        text << "COLOR_REQ=";
        if (line.fillColorReq >= 0 && line.fillColorReq < static_cast<int>(sizeof(colourNames) / sizeof(colourNames[0])))
            text << colourNames[line.fillColorReq];
        writeLine(text);
    }
    else
    {
        if (line.loggingID == "AFB")
        {
            text << "ANIMATION NAME=" << line.loggingAnim << " FRAME=" << line.loggingAnimFrame;
            writeLine(text);
        }
        debugLog_LinePath(line);
    }
}

void TaskStudioState::debugLog_LinePath(TaskLine& line)
{
    const int n = static_cast<int>(line.allPoints.size());
    if (n == 0 || line.pathStart < 0 || line.pathStart >= n || line.pathEnd < 0 || line.pathEnd >= n)
        return;
    std::ostringstream text;
    if (line.loggingID == "DSL")
        text << "STRAIGHT ";
    else if (line.loggingID == "DCL")
        text << "CURVED ";
    else if (line.loggingID == "DDT")
        text << "ZAD ";
    const Vector2<tFixed>& start = line.allPoints[line.pathStart];
    const Vector2<tFixed>& end = line.allPoints[line.pathEnd];
    text << "LINE START=[" << (start.x.getRaw() >> 16) << "," << (start.y.getRaw() >> 16) << "] END=["
         << (end.x.getRaw() >> 16) << "," << (end.y.getRaw() >> 16) << "]";
    writeLine(text);
}
}
