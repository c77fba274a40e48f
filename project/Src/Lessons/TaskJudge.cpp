// Judging the touches of a traceable line: one answer code per attempt.
#include "Resources/Lessons/Task.h"

#include "Resources/Lessons/TaskStudioState.h"
#include "Tovrane/AudioPlayer.h"

#include <cmath>
#include <iostream>

namespace Tovrane
{
namespace
{
// Whole-pixel differences of two 16.16 points.
std::int64_t wholeDx(const Vector2<tFixed>& a, const Vector2<tFixed>& b)
{
    return static_cast<std::int64_t>(b.x.toInt()) - a.x.toInt();
}

std::int64_t wholeDy(const Vector2<tFixed>& a, const Vector2<tFixed>& b)
{
    return static_cast<std::int64_t>(b.y.toInt()) - a.y.toInt();
}

// A touch this close to the restore point goes on from it: within 9 pixels
// on each axis and a squared distance below 82.
const int restoreReach = 9;
const std::int64_t restoreSquare = 82;
}

bool Task::vVerifyDist(const Vector2<tFixed>& a, const Vector2<tFixed>& b, const int& radius)
{
    const std::int64_t dx = wholeDx(a, b), dy = wholeDy(a, b);
    if (dx > radius || dx < -radius || dy > radius || dy < -radius)
        return false;
    return dx * dx + dy * dy <= static_cast<std::int64_t>(radius) * radius;
}

std::int64_t Task::vDist(const Vector2<tFixed>& a, const Vector2<tFixed>& b)
{
    const std::int64_t dx = wholeDx(a, b), dy = wholeDy(a, b);
    return dx * dx + dy * dy;
}

float Task::angleBetween(const Vector2<float>& a, const Vector2<float>& b)
{
    const float cosine = (a.x * b.x + a.y * b.y) / (std::sqrt(a.x * a.x + a.y * a.y) * std::sqrt(b.x * b.x + b.y * b.y));
    return std::acos(cosine) * 180.0f / 3.14159f;
}

bool Task::isAtEndPoint(const int& line, const Vector2<tFixed>& pos, const bool&) const
{
    if (line < 0 || line >= static_cast<int>(lines.size()) || lines[line].allPoints.empty())
        return false;
    const TaskLine& target = lines[line];
    return vVerifyDist(target.allPoints[target.pathEnd], pos, target.radius);
}

bool Task::isAtRestorePoint(const int& line, const Vector2<tFixed>& pos) const
{
    if (line < 0 || line >= static_cast<int>(lines.size()) || lines[line].allPoints.empty())
        return false;
    const TaskLine& target = lines[line];
    const Vector2<tFixed>& point = target.allPoints[target.restorePoint];
    const std::int64_t dx = wholeDx(pos, point), dy = wholeDy(pos, point);
    if (dx > restoreReach || dx < -restoreReach || dy > restoreReach || dy < -restoreReach)
        return false;
    return dx * dx + dy * dy < restoreSquare;
}

void Task::verifyTouch(const int& lineIndex, const eTouchType& type, const Vector2<tFixed>& pos)
{
    if (answer != 0 || lineIndex < 0 || lineIndex >= static_cast<int>(lines.size()))
        return;
    TaskLine& line = lines[lineIndex];
    const int n = static_cast<int>(line.allPoints.size());
    if (n == 0)
        return;

    int verdict = 0;
    bool asMove = type == TouchType::Move;
    if (type == TouchType::Down)
    {
        if (!line.resumable)
        {
            if (line.verifyBegin(pos))
                return;
            verdict = line.isDotLine() ? 5 : 2;
        }
        else if (isAtRestorePoint(lineIndex, pos))
        {
            asMove = true;
        }
        else
        {
            line.loadRestorePoint();
            verdict = 4;
        }
    }
    if (asMove)
    {
        if (line.isNearLine(pos))
            return;
        if (line.isDotLine())
        {
            verdict = 5;
        }
        else
        {
            line.loadRestorePoint();
            verdict = 4;
        }
    }
    else if (type == TouchType::Up)
    {
        if (vVerifyDist(line.allPoints[line.pathEnd], pos, line.radius) && (line.isComplete() || n < 3))
        {
            answer = 1;
            return;
        }
        const eTaskType kind = owner->getTaskType();
        if (kind != TaskType::WritingLesson && kind != TaskType::LetterTask && kind != TaskType::WritingSubLesson)
        {
            // Location tasks and advanced lessons let the child go on from here.
            line.saveRestorePoint(pos);
            line.resumable = true;
            return;
        }
        verdict = 3;
    }
    if (verdict == 0)
        return;

    answer = verdict;
    if (audio)
        audio->playSfx(BaseAudio::WrongAnswer);
    playWASpeech(lineIndex, false);
    switch (verdict)
    {
    case 2:
        std::cout << "INVALID - TRIGGER: WRONG START PT" << std::endl;
        break;
    case 4:
        std::cout << "INVALID - TRIGGER: OFF LINE" << std::endl;
        break;
    case 5:
        std::cout << "INVALID - TRIGGER: WRONG ZAD PT" << std::endl;
        break;
    default:
        break;
    }
}
}
