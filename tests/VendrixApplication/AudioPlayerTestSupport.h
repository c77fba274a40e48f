#ifndef TESTS_VENDRIXAPPLICATION_AUDIOPLAYERTESTSUPPORT_H
#define TESTS_VENDRIXAPPLICATION_AUDIOPLAYERTESTSUPPORT_H

// Callbacks that write what they hear into a journal, for the audio player's
// tests.

#include "Tovrane/AudioPlayer.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace AudioPlayerTestSupport
{
// Lines written by the fake service and the callbacks, in the order they
// happened.
class Journal
{
public:
    void add(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(mutex);
        lines.push_back(line);
    }

    std::vector<std::string> take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::string> result;
        result.swap(lines);
        return result;
    }

private:
    std::mutex mutex;
    std::vector<std::string> lines;
};

// A one-shot callback: writes "<name> <channel> <notification>" when called
// and "<name> released" when the player frees it.
class Callback : public Tovrane::AudioPlayer::BaseDelegate
{
public:
    typedef std::function<void(const Tovrane::AudioEventArgs&)> Action;

    Callback(Journal& journal, const std::string& name, Action action = Action())
        : journal(journal), name(name), action(action)
    {
    }

    ~Callback() override { journal.add(name + " released"); }

    void operator()(const Tovrane::AudioEventArgs& args) override
    {
        journal.add(name + " " + std::to_string(args.type) + " " + std::to_string(args.notification));
        if (action)
            action(args);
    }

private:
    Journal& journal;
    std::string name;
    Action action;
};
}

#endif
