#include "Tovrane/MicroDownload.h"

namespace Tovrane
{
MicroDownload::~MicroDownload() = default;
}
