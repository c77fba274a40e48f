#include "Resources/Profile/ScrivletPlayer.h"

#include "Tovrane/Assert.h"
#include "Tovrane/System.h"

#include "CJSonFile.h"

#include <iostream>

namespace Tovrane
{
namespace
{
// A sub-folder of a bundle must stay inside the bundle's folder.
bool isSafeSubfolder(const std::string& entry)
{
    if (entry.empty() || entry[0] == '/' || entry.find('\\') != std::string::npos)
        return false;
    if (entry.find("..") != std::string::npos)
        return false;
    // "." components would load the same package again.
    size_t start = 0;
    while (start <= entry.size())
    {
        size_t end = entry.find('/', start);
        if (end == std::string::npos)
            end = entry.size();
        if (entry.compare(start, end - start, ".") == 0)
            return false;
        start = end + 1;
    }
    return true;
}
}

void ScrivletPlayer::onLoadMicroDownloads()
{
    unlockedFrames.assign(frameCount, false);
    unlockedFrames[0] = unlockedFrames[1] = true;
    unlockedStamps.assign(stampCount, false);
    for (int i = 0; i < 16; ++i)
        unlockedStamps[i] = true;
    // Loading again starts the lists again rather than adding the same books
    // and tasks a second time.
    coloringBooks.clear();
    taskDownloads.clear();
    downloadDepth = 0;
    downloadPackages = 0;
    loadMicroDownload(System::getPath() + "coloring_book/");
}

// A package that cannot be used is skipped with a message: a broken download
// must not keep the game from starting.
void ScrivletPlayer::loadMicroDownload(const std::string& folder)
{
    std::string path = folder + "download.json";
    if (++downloadPackages > maxDownloadPackages)
    {
        std::cout << "Too many downloads; skipping " << path << std::endl;
        return;
    }
    XQM::CJSonFile file(path, 0);
    if (!file.Load())
    {
        std::cout << "Could not load download " << path << " (" << file.GetError() << ")" << std::endl;
        return;
    }
    XQM::Value root = file.GetRoot();
    std::string type = root["type"].asString();

    if (type == "Frame")
    {
        int frame = root["frame"].asInt();
        if (frame >= 0 && frame < frameCount)
            unlockedFrames[frame] = true;
        else
            std::cout << "Ignoring frame " << frame << " of download " << path << std::endl;
    }
    else if (type == "Stamp")
    {
        int stamp = root["stamp"].asInt();
        if (stamp >= 0 && stamp < stampCount)
            unlockedStamps[stamp] = true;
        else
            std::cout << "Ignoring stamp " << stamp << " of download " << path << std::endl;
    }
    else if (type == "Frandel")
    {
        XQM::Value subfolders = root["subdirectories"];
        if (!subfolders.isArray())
            return;
        if (downloadDepth >= maxDownloadDepth)
        {
            std::cout << "Downloads nested too deeply; skipping the contents of " << path << std::endl;
            return;
        }
        for (int i = 0; i < subfolders.size(); ++i)
        {
            std::string entry = subfolders[i].asString();
            if (!isSafeSubfolder(entry))
            {
                std::cout << "Refusing sub-folder \"" << entry << "\" of download " << path << std::endl;
                continue;
            }
            ++downloadDepth;
            loadMicroDownload(folder + entry);
            --downloadDepth;
        }
    }
    else if (type == "ColoringBook")
    {
        int pageCount = root["pageCount"].asInt();
        if (pageCount > 0)
            coloringBooks.push_back(ColoringBookDownloadPtr(new ColoringBookDownload(folder, pageCount)));
        else
            std::cout << "Ignoring colouring book " << path << " with " << pageCount << " pages" << std::endl;
    }
    else if (type == "Task")
    {
        taskDownloads.push_back(TaskDownloadPtr(new TaskDownload(folder)));
    }
    else
    {
        std::cout << "Unknown download type \"" << type << "\" in " << path << std::endl;
    }
}

bool ScrivletPlayer::isFrameUnlocked(int frame) const
{
    return frame >= 0 && frame < static_cast<int>(unlockedFrames.size()) && unlockedFrames[frame];
}

bool ScrivletPlayer::isStampUnlocked(int stamp) const
{
    return stamp >= 0 && stamp < static_cast<int>(unlockedStamps.size()) && unlockedStamps[stamp];
}

ColoringBookDownloadPtr ScrivletPlayer::getColoringBookPage(int index) const
{
    TOVRANE_ASSERT((index >= 0) && (index < getColoringBookCount()) && "Invalid colouring book index");
    return coloringBooks[index];
}

TaskDownloadPtr ScrivletPlayer::getTaskDownload(int index) const
{
    TOVRANE_ASSERT((index >= 0) && (index < getLocationCount()) && "Invalid task download index");
    return taskDownloads[index];
}
}
