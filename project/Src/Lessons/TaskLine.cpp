#include "Resources/Lessons/TaskLine.h"

#include "Resources/Lessons/TaskStudioState.h"
#include "Tovrane/Assert.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/SceneManager.h"

#include <iostream>

namespace Tovrane
{
const char* const TaskLine::GuideDotSprites[2] = {"task/dot_green.png", "task/dot_red.png"};

namespace
{
// Guide dots lie a little in front of the picture.
const tFixed guideDotDepth = tFixed::fromRaw(6553);
}

TaskLine::TaskLine()
    : questionID(0), noActivityStart(false), noActivityEnd(false), advLessonType(0), fillColorReq(0),
      fillColorReqEx(0), fillBox{tFixed(), tFixed(), tFixed(), tFixed()}, startAt(StartAt::EitherEnd), zoom(0),
      radius(26), undoStroke(false), subLessonChar(0), pathStart(0), pathEnd(0), current(0), restorePoint(0),
      direction(0), segment(0), visitedCount(0), resumable(false), useThinBrush(false), noIntro(false)
{
}

bool TaskLine::isTracing() const { return subLessonPath.empty() && !pickup.present && fillMaskImage.empty(); }

bool TaskLine::isDotLine() const
{
    if (allPoints.empty() || pathStart < 0 || pathEnd < 0 || pathStart >= static_cast<int>(allPoints.size()) ||
        pathEnd >= static_cast<int>(allPoints.size()))
        return false;
    return allPoints[pathStart] == allPoints[pathEnd] && allPoints.size() < 3;
}

void TaskLine::initAllPoints()
{
    allPoints.clear();
    visited.clear();
    segmentInfo.clear();
    for (const TaskLineSegment& piece : segments)
    {
        TOVRANE_ASSERT(TaskLineSegment::sampleCount(piece.numTestPoints) > 0 && "A segment has too many samples");
        const int first = static_cast<int>(allPoints.size());
        const std::int32_t step = 65536 / piece.numTestPoints;
        for (std::int32_t t = 0; t <= 65536; t += step)
        {
            allPoints.push_back(piece.func(tFixed::fromRaw(t)));
            visited.push_back(false);
        }
        const int last = static_cast<int>(allPoints.size()) - 1;
        segmentInfo.push_back(SegmentInfo{first, last, (first + last) / 2});
    }
    const int n = static_cast<int>(allPoints.size());
    pathStart = 0;
    resumable = false;
    pathEnd = n - 1;
    current = 0;
    direction = segment = visitedCount = 0;
}

void TaskLine::setValidStartPt(const eStartAt& rule) { startAt = rule == 2 ? StartAt::Anywhere : rule; }

void TaskLine::setSubLesson(const std::string& lessonID)
{
    subLessonPath.clear();
    if (lessonID.size() != 1)
    {
        subLessonChar = ' ';
        return;
    }
    const unsigned char c = static_cast<unsigned char>(lessonID[0]);
    subLessonChar = c;
    if (c >= 'A' && c <= 'Z')
        subLessonPath = "tasks/upper_" + lessonID;
    else if (c >= 'a' && c <= 'z')
        subLessonPath = "tasks/lower_" + lessonID;
    else if (c >= '0' && c <= '9')
        subLessonPath = "tasks/" + lessonID;
    if (!subLessonPath.empty())
        subLessonPath += ".task";
}

void TaskLine::initGuideDots(SceneManager& scene)
{
    const int n = static_cast<int>(allPoints.size());
    if (n < 2)
        return;
    const tFixed height = TaskStudioState::screenSize.y;
    for (int k = 0; k < 4; ++k)
    {
        GeometryPtr dot = scene.getSprite(GuideDotSprites[k % 2], PixelFormat::RGBA4444);
        TOVRANE_ASSERT(dot && "A guide dot sprite is missing");
        const Vector2<tFixed>& anchor = allPoints[(k == 0 || k == 2) ? pathStart : pathEnd];
        dot->movePosition(Vector3<tFixed>(anchor.x - tFixed(9), height - (anchor.y + tFixed(9)), guideDotDepth));
        dot->setTransformCurrent(false);
        dot->cullingMode = CullingMode::Hide;
        guideDots[k] = dot;
    }
}

GeometryPtr TaskLine::getStartGuideDot() const { return startAt != StartAt::StartPoint ? guideDots[1] : guideDots[0]; }

GeometryPtr TaskLine::getEndGuideDot() const { return startAt != StartAt::StartPoint ? guideDots[0] : guideDots[1]; }

void TaskLine::setGuideDotCullingMode(const int& index, const CullingMode::Type& mode)
{
    if (index >= 0 && index <= 3 && guideDots[index])
        guideDots[index]->cullingMode = mode;
}

void TaskLine::placeRestoreDots(int index, const char* label)
{
    const tFixed height = TaskStudioState::screenSize.y;
    const Vector2<tFixed>& restore = allPoints[index];
    const Vector2<tFixed>& end = allPoints[pathEnd];
    const Vector3<tFixed> endPosition(end.x, height - end.y, guideDotDepth);
    if (guideDots[2])
    {
        guideDots[2]->setPosition(Vector3<tFixed>(restore.x, height - restore.y, guideDotDepth));
        guideDots[2]->setTransformCurrent(false);
    }
    if (guideDots[3])
    {
        guideDots[3]->setPosition(endPosition);
        guideDots[3]->setTransformCurrent(false);
    }
    std::cout << label << index << "]: " << endPosition.x.toInt() << ", " << endPosition.y.toInt() << std::endl;
}

void TaskLine::addDebugDots(SceneManager& scene, CanvasPtr canvas)
{
    for (TaskLineSegment& piece : segments)
        piece.addDebugDots(scene, canvas, radius);
}

void TaskLine::toggleDebugDots(const bool& on)
{
    for (TaskLineSegment& piece : segments)
        piece.toggleDebugDots(on);
}

void TaskLine::enter()
{
    for (TaskLineSegment& piece : segments)
        piece.enter();
}

void TaskLine::exit()
{
    for (TaskLineSegment& piece : segments)
        piece.exit();
    solidOverlay.reset();
    solidOverlay2.reset();
    dashedOverlay.reset();
    fixedOverlay.reset();
    fillMask.reset();
    fillMaskTexture.reset();
    fillOverlay.reset();
    for (GeometryPtr& dot : guideDots)
        dot.reset();
    pickup.iconSprite.reset();
    pickup.beginSprite.reset();
    pickup.endSprite.reset();
    animation.character.reset();
    animation.characterController.reset();
}
}
