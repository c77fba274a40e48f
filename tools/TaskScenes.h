#ifndef TOVRANE_TOOLS_TASKSCENES_H
#define TOVRANE_TOOLS_TASKSCENES_H

#include <string>
#include <vector>

namespace TovraneTools
{
// A town location's task: two townsfolk who talk in turn, three traced lines
// on a 640 x 480 picture (the second zoomed once, the third twice, and that
// one named by an art lesson's code so that the lesson is launched), a dot,
// and a line that runs a writing sub-lesson.
struct LocationScene
{
    std::string stem;
    std::string artCode;
    char subLesson;
    std::string dot;                // "D x y"
    std::vector<std::string> paths; // picture pixels
    int firstTalker;                // index into townsfolk(); the other is the next one
};

// An area of an art lesson that the child colours: an ellipse or rectangle
// of the 320 x 240 picture and the colour it asks for.
struct ColourArea
{
    bool ellipse;
    int x, y, w, h;
    int colour;
    int colourEx;
};

// An advanced lesson's task on a 320 x 240 picture: lines forming the
// lesson's shapes, and for some lessons areas to colour.
struct ArtLesson
{
    std::string stem;
    int location;
    std::string code;
    std::vector<std::string> paths;
    std::vector<ColourArea> areas;
    // The horizon lesson: once its line is drawn the task shows a finished
    // picture in its place, sky above this row and ground below; 0 for none.
    int horizonRow = 0;
};

const std::vector<LocationScene>& locationScenes();
const std::vector<ArtLesson>& artLessons();
// The characters of the town's tasks, all in the scene "townsfolk".
const std::vector<std::string>& townsfolk();
}

#endif
