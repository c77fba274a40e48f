#ifndef RESOURCES_TASKDOWNLOAD_H
#define RESOURCES_TASKDOWNLOAD_H

#include "Tovrane/MicroDownload.h"

#include <boost/shared_ptr.hpp>

#include <string>

namespace Tovrane
{
// A downloaded town task: the package folder holds "dlc.task".
class TaskDownload : public MicroDownload
{
public:
    explicit TaskDownload(const std::string& folder);
    ~TaskDownload() override;
};

typedef boost::shared_ptr<TaskDownload> TaskDownloadPtr;
}

#endif
