#ifndef TOVRANE_TOOLS_TASKGLYPHS_H
#define TOVRANE_TOOLS_TASKGLYPHS_H

#include "TaskPaths.h"

#include <string>
#include <vector>

namespace TovraneTools
{
// The strokes of a writing lesson's glyph in the order they are taught, in
// glyph units: capitals and digits from y 0 to the baseline at 100, small
// letters from 50 (ascenders from 0) with descenders down to 145. The dots of
// i and j are dot strokes. False for a stem that is no writing lesson.
bool glyphStrokes(const std::string& stem, std::vector<Stroke>& strokes, std::string& why);
// Every writing-lesson stem: digits, capitals, small letters, the UK forms.
std::vector<std::string> writingStems();
}

#endif
