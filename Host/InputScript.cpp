#include "InputScript.h"

#include "RegularFile.h"
#include "EscapeControls.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace TovraneHost
{
namespace
{
bool parseUnsigned(const std::string& text, unsigned int& value)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    unsigned long parsed = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || parsed > 0xFFFFFFFFul)
        return false;
    value = static_cast<unsigned int>(parsed);
    return true;
}

bool parseCoordinate(const std::string& text, std::int16_t& value)
{
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || parsed < -32768 || parsed > 32767)
        return false;
    value = static_cast<std::int16_t>(parsed);
    return true;
}
}

bool InputScript::parseButton(const std::string& text, std::uint32_t& mask)
{
    static const struct
    {
        const char* name;
        std::uint32_t mask;
    } names[] = {{"up", 0x1}, {"down", 0x2}, {"left", 0x4}, {"right", 0x8}, {"enter", 0x10},
        {"backspace", 0x20}, {"f7", 0x40}, {"f8", 0x80}, {"escape", 0x100}, {"h", 0x200}};
    for (const auto& entry : names)
        if (text == entry.name)
        {
            mask = entry.mask;
            return true;
        }
    unsigned int value = 0;
    if (!parseUnsigned(text, value) || value == 0)
        return false;
    mask = value;
    return true;
}

bool InputScript::load(const std::string& path)
{
    // Only a regular file, opened without waiting, and of a size a script can
    // have: a pipe or a device would never end.
    std::string text, why;
    if (!readRegularFile(path.c_str(), text, MaximumBytes, &why))
    {
        std::printf("Could not read the script %s: %s\n", Tovrane::escapeControls(path).c_str(), why.c_str());
        return false;
    }
    parse(text, path);
    return true;
}

bool InputScript::parse(const std::string& text, const std::string& name)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool allRead = true;
    while (std::getline(lines, line))
    {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty())
            continue;

        auto complain = [&](const std::string& why) {
            std::printf("%s:%d: %s; line skipped\n", Tovrane::escapeControls(name).c_str(), number,
                        Tovrane::escapeControls(why).c_str());
            allRead = false;
        };

        if (w[0] == "after")
        {
            if (w.size() < 2)
            {
                complain("after needs a trace event such as \"enter\"");
                continue;
            }
            Anchor anchor;
            anchor.event = w[1];
            for (size_t i = 2; i < w.size(); ++i)
                anchor.part += (i > 2 ? " " : "") + w[i];
            anchors.push_back(anchor);
            byAnchor.emplace_back();
            continue;
        }

        Entry entry;
        std::string when = w[0];
        if (when[0] == '+')
        {
            entry.anchor = static_cast<int>(anchors.size()) - 1;
            when.erase(0, 1);
        }
        else if (when.size() > 2 && when.compare(when.size() - 2, 2, "ms") == 0)
        {
            entry.inMilliseconds = true;
            when.resize(when.size() - 2);
        }
        if (!parseUnsigned(when, entry.when) || (entry.anchor < 0 && !entry.inMilliseconds && entry.when == 0))
        {
            complain("the time \"" + w[0] + "\" is neither a frame from 1, milliseconds such as 500ms nor +N frames");
            continue;
        }
        if (w[0][0] == '+' && entry.anchor < 0)
        {
            complain("+N needs an \"after\" line before it");
            continue;
        }

        const std::string& action = w.size() > 1 ? w[1] : std::string();
        if (action == "down" || action == "move" || action == "up" || action == "tap")
        {
            std::int16_t x = 0, y = 0;
            if (w.size() != 4 || !parseCoordinate(w[2], x) || !parseCoordinate(w[3], y))
            {
                complain(action + " needs X and Y in screen pixels");
                continue;
            }
            entry.event.kind = ScriptEvent::Touch;
            entry.event.x = x;
            entry.event.y = y;
            entry.event.touchState = action == "up" ? 0 : 1;
            if (action == "tap")
            {
                entry.hasFollowUp = true;
                entry.followUp = entry.event;
                entry.followUp.touchState = 0;
            }
        }
        else if (action == "press" || action == "release" || action == "click")
        {
            std::uint32_t mask = 0;
            if (w.size() != 3 || !parseButton(w[2], mask))
            {
                complain(action + " needs a button: up, down, left, right, enter, backspace, f7, f8, escape, h "
                                  "or a mask such as 0x10");
                continue;
            }
            entry.event.kind = action == "release" ? ScriptEvent::ButtonRelease : ScriptEvent::ButtonPress;
            entry.event.buttons = mask;
            if (action == "click")
            {
                entry.hasFollowUp = true;
                entry.followUp = entry.event;
                entry.followUp.kind = ScriptEvent::ButtonRelease;
            }
        }
        else if (action == "quit" && w.size() == 2)
            entry.event.kind = ScriptEvent::Quit;
        else if (action == "shot" && w.size() == 3)
        {
            entry.event.kind = ScriptEvent::Screenshot;
            entry.event.path = w[2];
        }
        else
        {
            complain("unknown action \"" + action + "\" (down, move, up, tap, press, release, click, quit, shot FILE)");
            continue;
        }
        entries.push_back(entry);
        enqueue(entry.anchor >= 0 ? byAnchor[static_cast<size_t>(entry.anchor)]
                                  : entry.inMilliseconds ? byTime : byFrame,
            entries.size() - 1);
    }
    return allRead;
}

void InputScript::enqueue(Queue& queue, size_t entry)
{
    // Entries come in file order: the new one goes after every entry due no
    // later than it.
    auto later = std::upper_bound(queue.order.begin() + static_cast<std::ptrdiff_t>(queue.next), queue.order.end(),
        entries[entry].when, [this](unsigned int when, size_t other) { return when < entries[other].when; });
    queue.order.insert(later, entry);
}

bool InputScript::empty() const
{
    if (!byFrame.done() || !byTime.done())
        return false;
    for (const Queue& queue : byAnchor)
        if (!queue.done())
            return false;
    return true;
}

std::vector<ScriptEvent> InputScript::take(unsigned int frame, unsigned int elapsedMilliseconds)
{
    std::vector<ScriptEvent> due;
    while (!followUps.empty() && followUps.front().first <= frame)
    {
        due.push_back(followUps.front().second);
        followUps.pop_front();
    }

    // The entries due now, from the front of each queue; only the anchor met
    // last can have entries left, since the next one waits for them.
    std::vector<size_t> now;
    auto takeDue = [&](Queue& queue, unsigned int reached, unsigned int offset) {
        for (; !queue.done() && entries[queue.order[queue.next]].when + offset <= reached; ++queue.next)
            now.push_back(queue.order[queue.next]);
    };
    takeDue(byFrame, frame, 0);
    takeDue(byTime, elapsedMilliseconds, 0);
    if (waiting > 0)
        takeDue(byAnchor[waiting - 1], frame, anchors[waiting - 1].frame);

    std::sort(now.begin(), now.end());
    for (size_t index : now)
    {
        const Entry& entry = entries[index];
        due.push_back(entry.event);
        if (entry.hasFollowUp)
            followUps.emplace_back(frame + 1, entry.followUp);
    }
    return due;
}

bool InputScript::armed(size_t anchor) const
{
    return anchor == 0 || (anchors[anchor - 1].matched && byAnchor[anchor - 1].done());
}

void InputScript::observe(unsigned int frame, const std::vector<std::pair<std::string, std::string>>& events)
{
    for (const auto& event : events)
    {
        if (waiting >= anchors.size() || !armed(waiting))
            return;
        Anchor& anchor = anchors[waiting];
        if (event.first == anchor.event && event.second.find(anchor.part) != std::string::npos)
        {
            anchor.matched = true;
            anchor.frame = frame;
            ++waiting;
        }
    }
}
}
