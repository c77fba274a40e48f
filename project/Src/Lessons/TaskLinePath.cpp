// The stroke along a traceable line: where it may begin, whether it stays on
// the line, how far it has come, and where a lifted stroke goes on.
#include "Resources/Lessons/TaskLine.h"

#include "Resources/Lessons/Task.h"
#include "Tovrane/Assert.h"

#include <cstdint>
#include <iostream>

namespace Tovrane
{
namespace
{
// A best squared distance no candidate reaches.
const std::int64_t noDistance = 100000;
}

bool TaskLine::near(const Vector2<tFixed>& a, const Vector2<tFixed>& b) const
{
    return Task::vVerifyDist(a, b, radius);
}

bool TaskLine::inSomeSegment(int index) const
{
    for (const SegmentInfo& info : segmentInfo)
        if (index >= info.first && index <= info.last)
            return true;
    return false;
}

int TaskLine::wrap(int index) const
{
    const unsigned int n = static_cast<unsigned int>(allPoints.size());
    TOVRANE_ASSERT(n > 0 && "A path needs sample points");
    return static_cast<int>((static_cast<unsigned int>(index) + n) % n);
}

void TaskLine::setPath(const Vector2<tFixed>& pos, const int& segmentIndex, const int& start, const int& dir,
                       const int& end)
{
    beginPoint = pos;
    segment = segmentIndex;
    pathStart = current = start;
    direction = dir;
    pathEnd = end;
    std::cout << "PATH: Point[" << start << "] -> Point[" << end << "] - DIR[" << dir << "]" << std::endl;
}

bool TaskLine::verifyBegin(const Vector2<tFixed>& pos)
{
    const int n = static_cast<int>(allPoints.size());
    if (n == 0)
        return false;
    const int lastSegment = static_cast<int>(segments.size()) - 1;
    const bool atStart = pathStart >= 0 && pathStart < n && near(pos, allPoints[pathStart]);
    const bool atEnd = pathEnd >= 0 && pathEnd < n && near(pos, allPoints[pathEnd]);
    switch (startAt)
    {
    case StartAt::EitherEnd:
        if (atStart)
            setPath(pos, 0, 0, 1, n - 1);
        else if (atEnd)
            setPath(pos, lastSegment, n - 1, -1, 0);
        return atStart || atEnd;
    case StartAt::StartPoint:
        if (atStart)
            setPath(pos, 0, 0, 1, n - 1);
        return atStart;
    case StartAt::EndPoint:
        if (atEnd)
            setPath(pos, lastSegment, n - 1, -1, 0);
        return atEnd;
    case StartAt::Anywhere:
    {
        const int id = getClosestPointID(pos);
        if (id < 0)
            return false;
        int found = 0;
        for (size_t s = 0; s < segmentInfo.size(); ++s)
            if (id >= segmentInfo[s].first && id <= segmentInfo[s].last)
            {
                found = static_cast<int>(s);
                break;
            }
        setPath(pos, found, id, 0, id);
        return true;
    }
    default:
        return false;
    }
}

bool TaskLine::isNearLine(const Vector2<tFixed>& pos)
{
    const int n = static_cast<int>(allPoints.size());
    if (n == 0)
        return false;
    const int d = direction;
    if (d != 0)
    {
        const int from = current;
        bool result = false;
        for (int k = -2; k <= 2; ++k)
        {
            const int i = wrap(from + k * d);
            if (!inSomeSegment(i) || !near(allPoints[i], pos))
                continue;
            result = true;
            // Only points ahead move the stroke on and count as passed.
            if (k > 0)
            {
                if (!visited[i])
                {
                    visited[i] = true;
                    ++visitedCount;
                }
                current = i;
            }
        }
        return result;
    }

    bool ahead = false, behind = false, here = false;
    for (int k = -10; k <= 10; ++k)
    {
        const int unwrapped = current + k;
        if (!near(allPoints[wrap(unwrapped)], pos))
            continue;
        if (unwrapped > current)
            ahead = true;
        else if (unwrapped < current)
            behind = true;
        else
            here = true;
    }
    if (ahead != behind)
    {
        direction = ahead ? 1 : -1;
        current = wrap(current + 3 * direction);
        std::cout << "ADJUST PATH: Point[" << pathStart << "] -> Point[" << pathEnd << "] - DIR[" << direction << "]"
                  << std::endl
                  << "DIRECTION CHOSEN: " << direction << std::endl
                  << "SEGMENT CHOSEN: " << segment << std::endl;
    }
    return ahead || behind || here;
}

int TaskLine::getClosestPointID(const Vector2<tFixed>& pos) const
{
    std::int64_t best = noDistance;
    int found = -1;
    for (size_t i = 0; i < allPoints.size(); ++i)
    {
        if (!near(allPoints[i], pos))
            continue;
        const std::int64_t distance = Task::vDist(allPoints[i], pos);
        if (distance < best)
        {
            best = distance;
            found = static_cast<int>(i);
        }
    }
    return found;
}

int TaskLine::getClosestPointIDToCurrent(const Vector2<tFixed>& pos) const
{
    if (allPoints.empty())
        return -1;
    std::int64_t best = noDistance;
    int found = -1;
    for (int k = -2; k <= 2; ++k)
    {
        const int i = wrap(current + k * direction);
        const std::int64_t distance = Task::vDist(allPoints[i], pos);
        if (distance < best)
        {
            best = distance;
            found = i;
        }
    }
    return found;
}

bool TaskLine::isComplete() const { return visitedCount >= static_cast<int>(allPoints.size()) / 2; }

void TaskLine::newAnswer()
{
    if (resumable)
        return;
    pathEnd = static_cast<int>(allPoints.size()) - 1;
    pathStart = current = restorePoint = direction = segment = visitedCount = 0;
    visited.assign(visited.size(), false);
}

void TaskLine::saveRestorePoint(const Vector2<tFixed>& pos)
{
    if (allPoints.empty())
        return;
    int i = getClosestPointIDToCurrent(pos);
    // A lift far from every point around the current one goes on from there.
    if (i < 0)
        i = wrap(current);
    current = pathStart = restorePoint = i;
    placeRestoreDots(i, "SAVE_RESTORE_PT[");
}

void TaskLine::loadRestorePoint()
{
    if (allPoints.empty())
        return;
    pathStart = current = restorePoint;
    placeRestoreDots(restorePoint, "LOAD_RESTORE_PT[");
}
}
