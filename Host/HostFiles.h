#ifndef TOVRANE_HOST_HOSTFILES_H
#define TOVRANE_HOST_HOSTFILES_H

// The folders and files the host uses besides the module: the title and data
// folders it checks before the start, and the pictures and trace it writes.
#include "Picture.h"

#include <string>

namespace TovraneHost
{
// Why the title folder cannot be used, in a line that names it with its
// control characters written out; empty when it can.
std::string titleFolderProblem(const std::string& path);

// mkdir -p of the folder that will hold the file.
void makeParentFolders(const std::string& path);

// Why the player data folder cannot be used, named as the title folder is;
// empty when it can. The folder is made when it is missing; one that cannot
// be made for want of rights or on a read-only disk starts all the same, as a
// device whose saves fail.
std::string dataFolderProblem(const std::string& path);

// Why the host must not write a picture or trace at `path`: only a regular
// file or a new name is written (the screenshot writer also puts a ".tmp"
// file beside it, which is checked the same way); empty when it may.
std::string outputProblem(const std::string& path, bool withTemporary);

// Writes a screenshot unless something other than a regular file has its
// name; false (and said, in one line) when it is not written.
bool writeScreenshot(const std::string& path, const TovraneTools::Picture& picture);
}

#endif
