#ifndef TOVRANE_HOST_INPUTSCRIPT_H
#define TOVRANE_HOST_INPUTSCRIPT_H

#include <cstdint>
#include <string>
#include <vector>

namespace TovraneHost
{
// One input event of a script, due at a frame or at a clock time.
struct ScriptEvent
{
    enum Kind : int
    {
        Touch,
        ButtonPress,
        ButtonRelease,
        Quit
    };

    Kind kind = Touch;
    std::uint16_t touchState = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint32_t buttons = 0;
};

// Timed touches and buttons read from a text file (format in Host/README.md):
//   <when> <action> [arguments]
// where <when> is a frame number from 1, or a time such as "1500ms" measured
// on the clock from the first frame. Lines that cannot be read are reported on
// standard output and skipped.
class InputScript
{
public:
    bool load(const std::string& path);
    bool parse(const std::string& text, const std::string& name);

    // The events due at this frame, in file order; follow-ups of "tap" and
    // "click" come one frame after their first half.
    std::vector<ScriptEvent> take(unsigned int frame, unsigned int elapsedMilliseconds);

    bool empty() const { return entries.empty(); }

    // Button names of scripts: the host's key names or a number (0x10).
    static bool parseButton(const std::string& text, std::uint32_t& mask);

private:
    struct Entry
    {
        bool inMilliseconds = false;
        unsigned int when = 0;
        ScriptEvent event;
        bool hasFollowUp = false;
        ScriptEvent followUp;
    };

    std::vector<Entry> entries;  // in file order; removed when delivered
    std::vector<std::pair<unsigned int, ScriptEvent>> followUps;
};
}

#endif
