#include "HostOptions.h"

#include <cerrno>
#include <cstdlib>

namespace TovraneHost
{
namespace
{
std::string withSlash(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

bool parseNumber(const std::string& text, unsigned int& value)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    unsigned long parsed = std::strtoul(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed > 0xFFFFFFFFul)
        return false;
    value = static_cast<unsigned int>(parsed);
    return true;
}
}

std::string HostOptions::usage()
{
    return "usage: tovrane-host [options]\n"
           "  --headless             no window and no sound device\n"
           "  --title DIR            title directory (default: the generated test title)\n"
           "  --data DIR             player data root\n"
           "  --locale CODE          locale of the device, e.g. en-gb (default en-us)\n"
           "  --player N             current player id (default 0)\n"
           "  --cheats               developer cheats on\n"
           "  --fixed-step MS        virtual clock: every frame advances MS milliseconds\n"
           "  --frames N             stop after N frames\n"
           "  --script FILE          timed touches and buttons (see Host/README.md)\n"
           "  --screenshot FRAME:FILE  write the picture after frame FRAME as PNG (repeatable)\n"
           "  --trace FILE           one line per state, audio, movie and suspend event\n"
           "  --module PATH          the game module to load\n"
           "  --start WHAT           begin in the state WHAT names (studio, studio:FILE, ...)\n";
}

bool HostOptions::parse(int argc, char** argv, const std::string& hostDirectory, std::string& error)
{
    std::string base = withSlash(hostDirectory);
    titlePath = base + "../title/";
    dataPath = base + "../data/";
    modulePath = base + "libtovrane-game.so";

    for (int i = 1; i < argc; ++i)
    {
        std::string option = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc)
            {
                error = option + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        auto number = [&](unsigned int& into) {
            std::string text;
            if (!value(text))
                return false;
            if (!parseNumber(text, into))
            {
                error = option + " needs a whole number, not \"" + text + "\"";
                return false;
            }
            return true;
        };

        if (option == "--headless")
            headless = true;
        else if (option == "--cheats")
            cheats = true;
        else if (option == "--help" || option == "-h")
            help = true;
        else if (option == "--title")
        {
            if (!value(titlePath))
                return false;
            titlePath = withSlash(titlePath);
        }
        else if (option == "--data")
        {
            if (!value(dataPath))
                return false;
            dataPath = withSlash(dataPath);
        }
        else if (option == "--locale")
        {
            if (!value(locale))
                return false;
        }
        else if (option == "--player")
        {
            if (!number(player))
                return false;
        }
        else if (option == "--fixed-step")
        {
            if (!number(fixedStep))
                return false;
            if (fixedStep == 0)
            {
                error = "--fixed-step needs at least 1 millisecond";
                return false;
            }
        }
        else if (option == "--frames")
        {
            if (!number(frames))
                return false;
        }
        else if (option == "--script")
        {
            if (!value(scriptPath))
                return false;
        }
        else if (option == "--trace")
        {
            if (!value(tracePath))
                return false;
        }
        else if (option == "--start")
        {
            if (!value(start))
                return false;
            if (start.empty())
            {
                error = "--start needs the name of a state";
                return false;
            }
        }
        else if (option == "--module")
        {
            if (!value(modulePath))
                return false;
        }
        else if (option == "--screenshot")
        {
            std::string text;
            if (!value(text))
                return false;
            size_t colon = text.find(':');
            Screenshot shot;
            if (colon == std::string::npos || !parseNumber(text.substr(0, colon), shot.frame) || shot.frame == 0 ||
                colon + 1 >= text.size())
            {
                error = "--screenshot needs FRAME:FILE with a frame from 1 on, not \"" + text + "\"";
                return false;
            }
            shot.path = text.substr(colon + 1);
            screenshots.push_back(shot);
        }
        else
        {
            error = "unknown option " + option;
            return false;
        }
    }
    if (titlePath.empty() || dataPath.empty())
    {
        error = "the title and data directories must not be empty";
        return false;
    }
    return true;
}
}
