#ifndef MODULE_STARTSTATES_H
#define MODULE_STARTSTATES_H

#include <string>

namespace Tovrane
{
class GameState;

// Every state the game can be started in by name (the host's start option),
// and the one it starts in without a name (the developer logo). A name is a
// fixed name ("studio", "game:warm_cool"), or a word, ":" and an argument
// ("studio:pictures/cat.png").
struct StartStates
{
    // The state the name asks for, made with new; null for a name not known.
    static GameState* make(const std::string& name);
    static bool isKnown(const std::string& name);
    // The names known, for a message: "studio, studio:FILE, ...".
    static std::string knownNames();
};
}

#endif
