#ifndef RESOURCES_TASKLINE_H
#define RESOURCES_TASKLINE_H

#include "Resources/Lessons/AnimationData.h"
#include "Resources/Lessons/PickupData.h"
#include "Resources/Lessons/StartAt.h"
#include "Resources/Lessons/TaskLineSegment.h"

#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector2.h"
#include "Tovrane/Spatial.h"
#include "Tovrane/Texture.h"

#include <string>
#include <vector>

namespace Tovrane
{
class SceneManager;

// One thing a task asks of the child: trace a path, run a writing sub-lesson,
// drag a picture, pick a colour or fill an area. A tracing line keeps its
// Bezier segments sampled into one list of points (picture pixels, y down,
// 16.16) and the judging state of the stroke along them. Copies share the
// scene objects.
class TaskLine
{
public:
    // The guide dots' sprites: green where a stroke starts, red where it ends.
    static const char* const GuideDotSprites[2];

    struct SegmentInfo
    {
        int first;
        int last;
        int centre;
    };

    struct Box
    {
        tFixed x, y, w, h;
    };

    TaskLine();

    // A line that is traced: no sub-lesson, no pick-up, no fill mask.
    bool isTracing() const;
    // The start and end of the path are one point, and it has fewer than 3 samples.
    bool isDotLine() const;

    // Samples every segment into allPoints and resets the path.
    void initAllPoints();
    void setValidStartPt(const eStartAt& rule);
    void setPath(const Vector2<tFixed>& pos, const int& segmentIndex, const int& start, const int& dir,
                 const int& end);
    // Whether a stroke may begin at pos; sets the path when it may.
    bool verifyBegin(const Vector2<tFixed>& pos);
    // Whether a move at pos is still on the line; advances the path.
    bool isNearLine(const Vector2<tFixed>& pos);
    // The nearest sample point within the radius, or -1.
    int getClosestPointID(const Vector2<tFixed>& pos) const;
    // The nearest of the five points around the current one, or -1.
    int getClosestPointIDToCurrent(const Vector2<tFixed>& pos) const;
    bool isComplete() const;
    // Resets the path for a new attempt, unless the line is resumable.
    void newAnswer();
    void saveRestorePoint(const Vector2<tFixed>& pos);
    void loadRestorePoint();
    void setSubLesson(const std::string& lessonID);

    // Guide dots: 0 green at the path start, 1 red at its end, 2 green at the
    // restore point, 3 red at the end; all hidden when made.
    void initGuideDots(SceneManager& scene);
    GeometryPtr getStartGuideDot() const;
    GeometryPtr getEndGuideDot() const;
    void setGuideDotCullingMode(const int& index, const CullingMode::Type& mode);

    void addDebugDots(SceneManager& scene, CanvasPtr canvas);
    void toggleDebugDots(const bool& on);
    void enter();
    // Releases every scene object of the line.
    void exit();

    std::string loggingID;
    int questionID;
    bool noActivityStart;
    bool noActivityEnd;
    std::string loggingAnim;
    std::string loggingAnimFrame;
    int advLessonType;
    PickupData pickup;
    int fillColorReq;
    int fillColorReqEx;
    Box fillBox;
    eStartAt startAt;
    int zoom;
    Vector2<tFixed> zoomPoint;
    // Tolerance in whole pixels.
    int radius;
    bool undoStroke;
    std::string solidOverlayImage;
    std::string solidOverlay2Image;
    std::string dashedOverlayImage;
    std::string fixedOverlayImage;
    std::vector<Vector2<tFixed>> allPoints;
    std::vector<bool> visited;
    std::vector<SegmentInfo> segmentInfo;
    Vector2<tFixed> beginPoint;
    std::string fillMaskImage;
    std::string fillOverlayImage;
    int subLessonChar;
    std::string subLessonPath;
    AnimationData animation;
    int pathStart;
    int pathEnd;
    int current;
    int restorePoint;
    // +1 forwards, -1 backwards, 0 not chosen yet.
    int direction;
    int segment;
    int visitedCount;
    // Lifted early; the stroke may go on from the restore point.
    bool resumable;
    bool useThinBrush;
    bool noIntro;
    std::vector<std::string> promptAudio;
    std::vector<std::string> caAudio;
    std::vector<TaskLineSegment> segments;
    SpatialPtr solidOverlay;
    SpatialPtr solidOverlay2;
    SpatialPtr dashedOverlay;
    SpatialPtr fixedOverlay;
    GeometryPtr guideDots[4];
    SpatialPtr fillMask;
    // The fill mask as the picture it names, read for the colouring judgement.
    TexturePtr fillMaskTexture;
    SpatialPtr fillOverlay;

private:
    bool near(const Vector2<tFixed>& a, const Vector2<tFixed>& b) const;
    bool inSomeSegment(int index) const;
    // (index + n) mod n as an unsigned sum, as the path wraps at its ends.
    int wrap(int index) const;
    // Places guide dots 2 and 3 at the restore point and the path end.
    void placeRestoreDots(int index, const char* label);
};
}

#endif
