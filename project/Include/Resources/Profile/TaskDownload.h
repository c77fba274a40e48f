#ifndef RESOURCES_TASKDOWNLOAD_H
#define RESOURCES_TASKDOWNLOAD_H

#include "Tovrane/MicroDownload.h"

#include <boost/shared_ptr.hpp>

#include <string>

namespace Tovrane
{
// A downloaded town task: the package folder holds "dlc.task" and the
// "images/", "metadata/" and "audio/" folders searched before the title's.
//
// What a download reads must come from its own folder or from the title: the
// file names it gives are relative and have no ".." part, and no file of the
// folder is a symbolic link leading out of it.
class TaskDownload : public MicroDownload
{
public:
    explicit TaskDownload(const std::string& folder);
    ~TaskDownload() override;

    // A name a download may give for one of its files: not absolute and
    // without a ".." part.
    static bool isInsideName(const std::string& name);
    // The first file under the folder (relative to it) that is a symbolic
    // link leading out of the folder or to nothing; empty when there is none.
    // The game searches the download's folders first also for names of its
    // own, so every file there is checked, not only the ones the task names.
    static std::string linkLeavingFolder(const std::string& folder);
};

typedef boost::shared_ptr<TaskDownload> TaskDownloadPtr;
}

#endif
