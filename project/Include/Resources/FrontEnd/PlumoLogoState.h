#ifndef RESOURCES_FRONTEND_PLUMOLOGOSTATE_H
#define RESOURCES_FRONTEND_PLUMOLOGOSTATE_H

#include "Tovrane/CharacterController.h"
#include "Tovrane/GameState.h"

namespace Tovrane
{
// The first screen: the developer's logo plays its "on" and "off"
// animations while the jingle sounds, and the title screen follows when the
// jingle ends. A returning player may skip it with a tap. White while it
// loads; not kept on the stack, so once covered it never returns.
class PlumoLogoState : public GameState
{
public:
    // The jingle; its end hands over to the title.
    static const char* const JingleFile;

    PlumoLogoState();
    ~PlumoLogoState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;

    // Pushes the title screen, once per entry.
    void pushGameState();

    bool isSoundStarted() const { return soundStarted; }
    CharacterControllerPtr getCharacterController() const { return characterController; }

private:
    bool soundStarted;
    CharacterControllerPtr characterController;
    bool handedOver;
};
}

#endif
