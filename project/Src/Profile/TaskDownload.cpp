#include "Resources/Profile/TaskDownload.h"

namespace Tovrane
{
TaskDownload::TaskDownload(const std::string& folder) : MicroDownload(folder) {}

TaskDownload::~TaskDownload() = default;
}
