// The desktop host: loads the game module and drives it as the device would.
#include "HostOptions.h"
#include "HostRunner.h"

#include "EscapeControls.h"

#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{
// The folder of this program, for the default title, data and module paths.
std::string programFolder(const char* argv0)
{
    char path[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string program = length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string(argv0);
    size_t slash = program.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : program.substr(0, slash);
}
}

int main(int argc, char** argv)
{
    TovraneHost::HostOptions options;
    std::string error;
    if (!options.parse(argc, argv, programFolder(argv[0]), error))
    {
        std::printf("%s\n%s", Tovrane::escapeControls(error).c_str(), TovraneHost::HostOptions::usage().c_str());
        return 2;
    }
    if (options.help)
    {
        std::printf("%s", TovraneHost::HostOptions::usage().c_str());
        return 0;
    }
    // Lines from the module and the host stay in order when the output is a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return TovraneHost::HostRunner(options).run();
}
