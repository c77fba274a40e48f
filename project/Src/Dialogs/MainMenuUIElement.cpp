#include "Resources/Dialogs/MainMenuUIElement.h"

#include "Tovrane/SpriteManager.h"

namespace Tovrane
{
int MainMenuUIElement::elementCount = 0;
boost::shared_ptr<SpriteManager> MainMenuUIElement::spriteManagerInstance;

MainMenuUIElement::MainMenuUIElement() { ++elementCount; }

MainMenuUIElement::~MainMenuUIElement()
{
    if (--elementCount == 0)
        spriteManagerInstance.reset();
}

SpriteManager* MainMenuUIElement::getSpriteManager()
{
    if (!spriteManagerInstance)
    {
        spriteManagerInstance.reset(new SpriteManager);
        spriteManagerInstance->addSpriteInfo("menu_slot.tex");
    }
    return spriteManagerInstance.get();
}
}
