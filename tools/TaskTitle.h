#ifndef TOVRANE_TOOLS_TASKTITLE_H
#define TOVRANE_TOOLS_TASKTITLE_H

#include "TitleManifest.h"

#include <set>
#include <string>

namespace TovraneTools
{
// The manifest's "task STEM": writes "tasks/STEM.task" from the generator's
// own tables (a writing lesson's glyph strokes, a town location's scene or an
// art lesson's shapes) with everything the file names, and once the pictures
// and speech every task uses. False, with the reason, for an unknown stem.
bool addTask(TitleManifest& manifest, std::set<std::string>& names, const std::string& stem, std::string& why);
}

#endif
