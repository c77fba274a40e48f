#ifndef RESOURCES_AUDIOLIST_H
#define RESOURCES_AUDIOLIST_H

#include <string>
#include <vector>

namespace Tovrane
{
class AudioPlayer;

// Speaks a list of files one after another, driven by the owner's update
// every frame. Between two files there is always one update that plays
// nothing. Other speech that replaces a file is waited out, and the file is
// not played again; a file that does not start counts as ended.
class AudioList
{
public:
    AudioList();
    ~AudioList();

    // A new list, from its first file.
    void init(const std::vector<std::string>& files);
    void update();
    // True once the end of the last file has been noticed (at once when empty).
    bool isDone() const;
    // The same list again, from its first file.
    void reset();

    // Not owned; set by the owner. Nothing plays while it is null.
    AudioPlayer* audioPlayer;
    std::vector<std::string> speechFiles;
    int index;
    bool started;
};
}

#endif
