#ifndef TOVRANE_HOST_INPUTSCRIPT_H
#define TOVRANE_HOST_INPUTSCRIPT_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
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
        Quit,
        Screenshot  // the picture of this frame, written to `path`
    };

    Kind kind = Touch;
    std::uint16_t touchState = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint32_t buttons = 0;
    std::string path;
};

// Timed touches and buttons read from a text file (format in Host/README.md):
//   <when> <action> [arguments]
// where <when> is a frame number from 1, a time such as "1500ms" measured on
// the clock from the first frame, or "+N": N frames after the trace event that
// the last "after <event> [detail]" line waits for. Lines that cannot be read
// are reported on standard output and skipped.
class InputScript
{
public:
    // The largest script read: far more than any run's events.
    static const std::size_t MaximumBytes = 4 * 1024 * 1024;

    // False, with a message, when the file cannot be read, is not a regular
    // file or is larger than MaximumBytes; lines that cannot be read are
    // reported and skipped.
    bool load(const std::string& path);
    // False when a line was skipped.
    bool parse(const std::string& text, const std::string& name);

    // The events due at this frame, in file order; follow-ups of "tap" and
    // "click" come one frame after their first half.
    std::vector<ScriptEvent> take(unsigned int frame, unsigned int elapsedMilliseconds);

    // The trace events written in a frame; they may satisfy the "after" line
    // the script is waiting on.
    void observe(unsigned int frame, const std::vector<std::pair<std::string, std::string>>& events);
    bool waitsOnTrace() const { return !anchors.empty(); }

    bool empty() const;

    // Button names of scripts: the host's key names or a number (0x10).
    static bool parseButton(const std::string& text, std::uint32_t& mask);

private:
    struct Anchor
    {
        std::string event;
        std::string part;  // the detail must contain it
        bool matched = false;
        unsigned int frame = 0;
    };
    struct Entry
    {
        bool inMilliseconds = false;
        int anchor = -1;  // `when` counts frames after this anchor
        unsigned int when = 0;
        ScriptEvent event;
        bool hasFollowUp = false;
        ScriptEvent followUp;
    };

    // Entries in the order they come due: indices into `entries`, sorted by
    // `when` and then by file order, and how many of them have been given.
    struct Queue
    {
        std::vector<size_t> order;
        size_t next = 0;
        bool done() const { return next == order.size(); }
    };

    // An anchor waits once the anchor before it has been met and every entry
    // of that one has been given.
    bool armed(size_t anchor) const;
    void enqueue(Queue& queue, size_t entry);

    std::vector<Entry> entries;  // in file order
    Queue byFrame;               // "<frame>" entries
    Queue byTime;                // "<ms>ms" entries
    std::vector<Anchor> anchors;
    std::vector<Queue> byAnchor;  // "+N" entries of each anchor
    size_t waiting = 0;           // the first anchor not met yet
    std::deque<std::pair<unsigned int, ScriptEvent>> followUps;  // in the frame order they come due
};
}

#endif
