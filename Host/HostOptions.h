#ifndef TOVRANE_HOST_HOSTOPTIONS_H
#define TOVRANE_HOST_HOSTOPTIONS_H

#include <string>
#include <vector>

namespace TovraneHost
{
struct Screenshot
{
    unsigned int frame;
    std::string path;
};

// The host's command line.
struct HostOptions
{
    bool headless = false;
    std::string titlePath;  // ends in "/"
    std::string dataPath;   // ends in "/"
    std::string locale = "en-us";
    unsigned int player = 0;
    bool cheats = false;
    unsigned int fixedStep = 0;  // milliseconds per frame; 0: the real clock
    unsigned int frames = 0;     // 0: no limit
    std::string scriptPath;
    std::vector<Screenshot> screenshots;
    std::string tracePath;
    std::string modulePath;
    std::string start;  // the state to start in; empty: the module's own first state
    bool help = false;

    // Parses the arguments after the program name. Defaults for the title,
    // data and module paths lie next to the host program (hostDirectory).
    // Returns false with a message in error on a bad command line.
    bool parse(int argc, char** argv, const std::string& hostDirectory, std::string& error);

    static std::string usage();
};
}

#endif
